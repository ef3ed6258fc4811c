#include "shell/app/program_start.h"

#include <QFileInfo>

#include "shell/app/warn.h"
#include "shell/browser/request_blocker.h"
#include "store/site_catalogue.h"

namespace quintavia {

QString SitesPathBeside(const QString& settingsPath) {
    if (settingsPath.isEmpty()) return {};
    return QFileInfo(settingsPath).absolutePath() + u'/' + QLatin1String(kSitesFileName);
}

std::unique_ptr<MainWindow> StartProgram(SettingsFile& store, QWebEngineProfile& profile,
                                         Beep* beep) {
    // The one keeper of the kept files, for the window's whole life.
    auto keeper = std::make_unique<Keeper>(store);
    const Kept kept = keeper->loadKept();
    MergedCatalogue sites = LoadCatalogue(SitesPathBeside(store.path()));
    Warn(sites.errors);
    QList<BlockingSite> blocking;
    for (const SiteRule& rule : sites.catalogue.rules)
        blocking.append({rule.domain, rule.blocking});
    RequestBlocker::instance().setSites(blocking);
    auto window =
        std::make_unique<MainWindow>(std::move(keeper), profile, beep, kept.options.paneCount);
    window->setRefusedSections(sites.refused);
    window->startUp(kept, std::move(sites.catalogue));
    return window;
}

}  // namespace quintavia
