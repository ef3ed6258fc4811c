#include "shell/app/program_start.h"

#include <QFileInfo>

#include "shell/app/warn.h"
#include "store/site_catalogue.h"

namespace quintavia {

QString SitesPathBeside(const QString& settingsPath) {
    if (settingsPath.isEmpty()) return {};
    return QFileInfo(settingsPath).absolutePath() + u'/' + QLatin1String(kSitesFileName);
}

std::unique_ptr<MainWindow> StartProgram(SettingsFile& store, QWebEngineProfile& profile,
                                         Beep* beep) {
    const SettingsFile::Loaded loaded = store.load();
    Warn(loaded.warnings);
    MergedCatalogue sites = LoadCatalogue(SitesPathBeside(store.path()));
    Warn(sites.errors);
    auto window = std::make_unique<MainWindow>(store, profile, beep);
    window->startUp(loaded.settings, std::move(sites.catalogue));
    return window;
}

}  // namespace quintavia
