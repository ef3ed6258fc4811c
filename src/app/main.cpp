#include <QApplication>

#include "app/form1.h"
#include "app/quit_signals.h"

int main(int argc, char* argv[]) {
    // The browser engine shares its GL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quintavia"));
    QApplication::setOrganizationName(QStringLiteral("Quintavia"));
    QGuiApplication::setDesktopFileName(QStringLiteral("it.norvello.Quintavia"));

    quintavia::Form1 form;
    form.startUp();
    // Every way out closes the window, which runs the shutdown sequence once; quitting by any
    // other path still runs it before the window goes.
    quintavia::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &quintavia::QuitSignals::received, &form, &QWidget::close);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form, &quintavia::Form1::shutDown);
    form.show();
    const int status = QApplication::exec();
    return status != 0 ? status : (form.settingsSaved() ? 0 : 1);
}
