#include "shell/app/site_check.h"

#include <QEventLoop>
#include <QTimer>
#include <QWebEngineProfile>
#include <cstdio>
#include <optional>

#include "core/watch/site_check.h"
#include "shell/app/warn.h"
#include "shell/browser/engine_profile.h"
#include "shell/browser/request_blocker.h"
#include "shell/browser/web_pane.h"
#include "shell/desktop/beep.h"
#include "store/public_suffix_file.h"
#include "store/site_catalogue.h"

namespace quintavia {
namespace {

// Nobody listens to a check's pane: a page that tries to open windows is stopped silently.
class SilentBeep final : public Beep {
  public:
    void beep() override {}
};

void Print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

}  // namespace

std::optional<SiteRule> SiteToCheck(const QString& sitesPath, const QString& id) {
    const MergedCatalogue sites = LoadCatalogue(sitesPath);
    Warn(sites.errors);
    if (const SiteRule* rule = sites.catalogue.find(id)) return *rule;
    for (const RefusedSection& refused : sites.refused) {
        if (refused.section != id) continue;
        Warn(QStringLiteral("la sezione [%1] è stata scartata per il motivo qui sopra").arg(id));
        return std::nullopt;
    }
    Warn(QStringLiteral("nessun sito ha l'id %1 (quintavia --siti li elenca)").arg(id));
    return std::nullopt;
}

namespace {

// The page a load of `address` ends at, as a pane would read it, and when `twice`, the one a
// second load ends at (for a site read by its cards, whose links may not stay). None within
// the time a check waits.
struct Captured {
    std::optional<PageCapture> first;
    std::optional<PageCapture> again;
};

Captured CapturePages(const SiteRule& rule, const QString& address, bool twice) {
    StartEngine();
    QWebEngineProfile profile;  // off the record: no cookie or cache reaches the disk
    GuardProfile(profile);
    RequestBlocker::instance().setSites({{rule.domain, rule.blocking}});

    SilentBeep beep;
    Captured captured;
    WebPane pane(0, beep, &profile, nullptr);
    pane.showSite(rule);
    // The first page a load ends at is the one the program would read.
    const auto load = [&](std::optional<PageCapture>& into) {
        QEventLoop loop;
        QObject::connect(&pane, &WebPane::pageCaptured, &loop,
                         [&](int, const PageCapture& capture) {
                             if (into) return;
                             into = capture;
                             loop.quit();
                         });
        QTimer::singleShot(kSiteCheckSeconds * 1000, &loop, &QEventLoop::quit);
        if (!pane.navigate(address)) return;
        loop.exec();
    };
    load(captured.first);
    if (twice && captured.first && captured.first->listings && !captured.first->listings->isEmpty())
        load(captured.again);
    return captured;
}

}  // namespace

std::optional<PageCapture> CapturePage(const SiteRule& rule, const QString& address) {
    return CapturePages(rule, address, false).first;
}

int CheckSiteAndReport(const SiteRule& rule, const SearchQuery& query) {
    const QString address = ExpandSearch(rule.search, query);
    if (!QUrl(address).isValid()) {
        Warn(QStringLiteral("%1 non è un indirizzo").arg(address));
        return 1;
    }
    // A second load of a site read by its cards tells whether its links stay.
    const Captured captured = CapturePages(rule, address, rule.findBy != FindBy::Marker);
    if (!captured.first) {
        Print(QStringLiteral("indirizzo: %1\nnessuna pagina entro %2 s\n")
                  .arg(address)
                  .arg(kSiteCheckSeconds));
        return 1;
    }
    const PageCapture* again = captured.again ? &*captured.again : nullptr;
    const SiteCheck check = CheckSite(rule, *captured.first, again);
    Print(CheckReport(address, *captured.first, check));
    if (!check.linksChange.isEmpty()) Warn(check.linksChange);
    return check.listings.isEmpty() ? 1 : 0;
}

int CheckAddressAndReport(const QUrl& address, const QString& region, const QString& words) {
    const SiteRule rule = RuleForAddress(address, SystemPublicSuffixes());
    const QString text = QString::fromLatin1(address.toEncoded());
    const std::optional<PageCapture> captured = CapturePage(rule, text);
    if (!captured) {
        Print(QStringLiteral("indirizzo: %1\nnessuna pagina entro %2 s\n")
                  .arg(text)
                  .arg(kSiteCheckSeconds));
        return 1;
    }
    Print(StructureCheckReport(text, rule, *captured));
    const std::optional<SiteRule> proposed = ProposedRule(rule, *captured, region, words);
    if (!proposed) return 1;
    Print(QStringLiteral("\nsezione per %1:\n").arg(QLatin1StringView(kSitesFileName)) +
          SectionText(*proposed));
    return 0;
}

int PrintCatalogue(const QString& sitesPath) {
    const MergedCatalogue sites = LoadCatalogue(sitesPath);
    Warn(sites.errors);
    Print(CatalogueText(sites.catalogue));
    return 0;
}

}  // namespace quintavia
