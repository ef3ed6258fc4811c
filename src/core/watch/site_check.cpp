#include "core/watch/site_check.h"

#include "core/listings/listing.h"
#include "core/listings/listing_news.h"
#include "core/page/page_walls.h"
#include "core/text/shown_text.h"

namespace quintavia {

SiteCheck CheckSite(const SiteRule& rule, const PageCapture& capture) {
    const PageListings read = ReadListings(rule, capture);
    SiteCheck check;
    for (const Listing& listing : read.listings) {
        if (check.listings.size() == kCheckedListings) break;
        const QString title = ShownText(CutTitle(listing.title));
        if (!title.isEmpty()) check.listings.append({title, listing.link});
    }
    // The same judgement as the pane's watch, on a single capture.
    check.blindReason = BlindReason(Observe(rule, WatchFacts(rule, capture, read)));
    return check;
}

QString CheckReport(const QString& address, const PageCapture& capture, const SiteCheck& check) {
    QString status;
    if (capture.httpStatus != 0)
        status = QString::number(capture.httpStatus);
    else if (capture.loadSucceeded)
        status = QStringLiteral("success");  // a page that came by other means than HTTP
    else
        status = QStringLiteral("none, the page did not load");
    QString report = QStringLiteral("address: %1\nHTTP status: %2\nfinal address: %3\n")
                         .arg(address, status, QString::fromLatin1(capture.url.toEncoded()));
    report += QStringLiteral("listings: %1\n").arg(check.listings.size());
    for (const Listing& listing : check.listings)
        report += QStringLiteral("  %1\n    %2\n")
                      .arg(listing.title, QString::fromLatin1(listing.link.toEncoded()));
    if (!check.blindReason.isEmpty())
        report += QStringLiteral("blind: %1\n").arg(check.blindReason);
    return report;
}

QString StructureCheckReport(const QString& address, const SiteRule& rule,
                             const PageCapture& capture) {
    const SiteCheck check = CheckSite(rule, capture);
    QString report = CheckReport(address, capture, SiteCheck{{}, {}});
    report.chop(QStringLiteral("listings: 0\n").size());
    const QList<StructureListing> listings = capture.structure && IsRulePage(rule, capture.url)
                                                 ? capture.structure->listings
                                                 : QList<StructureListing>{};
    const qsizetype shown = std::min<qsizetype>(listings.size(), kCheckedListings);
    report += QStringLiteral("listings: %1\n").arg(shown);
    for (qsizetype i = 0; i < shown; ++i) {
        const StructureListing& listing = listings[i];
        report += QStringLiteral("  %1\n    %2\n")
                      .arg(ShownText(listing.title), QString::fromLatin1(listing.link.toEncoded()));
        if (!listing.company.isEmpty())
            report += QStringLiteral("    company: %1\n").arg(ShownText(listing.company));
        if (!listing.place.isEmpty())
            report += QStringLiteral("    place: %1\n").arg(ShownText(listing.place));
        report += QStringLiteral("    key: %1\n").arg(KeyOf(rule, listing.title, listing.link));
    }
    if (shown == 0) {
        std::optional<WallKind> wall;
        if (capture.markup) wall = DetectWall(*capture.markup);
        QString why = QStringLiteral("no cards of one shape repeat in the page");
        if (!IsRulePage(rule, capture.url) || !capture.loadSucceeded || capture.httpStatus >= 400)
            why = check.blindReason;
        else if (wall)
            why = (wall == WallKind::Consent ? QStringLiteral("a consent wall, ")
                                             : QStringLiteral("a bot check, ")) +
                  WallReason(wall.value_or(WallKind::Consent));
        else if (!capture.markup)
            why = QStringLiteral("the page is not an HTML document");
        else if (capture.structure && capture.structure->reason == u"time")
            why = QStringLiteral("the page is too big to be read in time");
        report += QStringLiteral("no listings: %1\n").arg(why);
    }
    return report;
}

std::optional<SiteRule> ProposedRule(const SiteRule& read, const PageCapture& capture,
                                     const QString& region, const QString& words) {
    if (!capture.structure || capture.structure->listings.isEmpty() ||
        capture.structure->selectors.isEmpty())
        return std::nullopt;
    const StructureSelectors& found = capture.structure->selectors;
    SiteRule rule = read;
    rule.search = SearchTemplate(QUrl(read.search), region, words);
    rule.findBy = FindBy::Selector;
    rule.selector = found.title.isEmpty() ? found.card : found.card + u' ' + found.title;
    rule.linkSelector = found.link;
    return rule;
}

}  // namespace quintavia
