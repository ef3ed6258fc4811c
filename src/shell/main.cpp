#include <QApplication>
#include <cstdio>

#include "shell/engine_environment.h"
#include "shell/engine_profile.h"
#include "shell/main_window.h"
#include "shell/program_start.h"
#include "shell/quit_signals.h"
#include "shell/translations.h"
#include "shell/warn.h"
#include "store/settings_file.h"

int main(int argc, char* argv[]) {
    quintavia::PrepareEngineEnvironment();
    // The browser engine shares its GL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quintavia"));
    QApplication::setOrganizationName(QStringLiteral("Quintavia"));
    // The window, the tray and notifications map to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("it.norvello.Quintavia"));
    quintavia::InstallItalianTranslations();

    quintavia::SettingsFile store(quintavia::SettingsFile::UserPath());

    // The engine starts with its first profile and resets SIGTERM, SIGINT and SIGHUP to their
    // defaults as it does: our handlers go in after it, and before the window starts up, so a
    // signal from then on closes the window through its normal path. The profile outlives the
    // window, whose pages belong to it.
    quintavia::EngineProfile engine;
    if (!engine.notice().isEmpty()) std::fprintf(stderr, "%s\n", qUtf8Printable(engine.notice()));
    quintavia::QuitSignals quitSignals;

    const std::unique_ptr<quintavia::MainWindow> window =
        quintavia::StartProgram(store, engine.profile());
    QObject::connect(&quitSignals, &quintavia::QuitSignals::received, window.get(),
                     &QWidget::close);
    // Quitting by any other path still stores what outlives the run before the window goes.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, window.get(),
                     &quintavia::MainWindow::shutDown);
    window->show();
    const int status = QApplication::exec();
    return status != 0 ? status : (window->settingsSaved() ? 0 : 1);
}
