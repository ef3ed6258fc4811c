#include <QApplication>

#include "app/form1.h"

int main(int argc, char* argv[]) {
    // The browser engine shares its GL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quintavia"));
    QApplication::setOrganizationName(QStringLiteral("Quintavia"));

    quintavia::Form1 form;
    form.startUp();
    form.show();
    return QApplication::exec();
}
