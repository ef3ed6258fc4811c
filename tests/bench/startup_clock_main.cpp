// Start-up time of the window to its four first pages read, for scripts/figures.sh.
// Starts as the program does (its proxy switch and folders come from the environment, as they
// would for the program), and when the last of the four panes has read its first page prints the
// wall-clock time in nanoseconds since the epoch, then leaves:
//   downloads_complete_ns=N  from_main_ms=N
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <array>
#include <cstdio>
#include <ctime>
#include <memory>
#include <utility>

#include "core/layout/panes.h"
#include "shell/app/application_names.h"
#include "shell/app/engine_environment.h"
#include "shell/browser/engine_profile.h"
#include "shell/window/main_window.h"
#include "store/settings_file.h"

namespace {

long long RealtimeNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

}  // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    quintavia::PrepareEngineEnvironment();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    quintavia::NameTheApplication();

    quintavia::SettingsFile store(quintavia::SettingsFile::UserPath());
    quintavia::EngineProfile engine;
    auto keeper = std::make_unique<quintavia::Keeper>(store);
    const quintavia::Kept kept = keeper->loadKept();
    quintavia::MainWindow window(std::move(keeper), engine.profile());
    std::array<bool, quintavia::kPaneCount> complete{};
    bool told = false;
    for (int i = 0; i < quintavia::kPaneCount; ++i)
        QObject::connect(window.pane(i), &quintavia::WebPane::pageCaptured, &app, [&](int site) {
            complete[static_cast<std::size_t>(site)] = true;
            for (bool done : complete)
                if (!done) return;
            if (std::exchange(told, true)) return;
            std::printf("downloads_complete_ns=%lld from_main_ms=%lld\n", RealtimeNs(),
                        static_cast<long long>(sinceMain.elapsed()));
            std::fflush(stdout);
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        });
    window.startUp(kept);
    window.show();
    // A page that never finishes loading leaves the figure out rather than the script waiting.
    QTimer::singleShot(120000, &app, [] { QCoreApplication::exit(1); });
    return QApplication::exec();
}
