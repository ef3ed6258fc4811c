#include "core/watch/site_check.h"

#include "core/listings/listing.h"
#include "core/listings/listing_key.h"
#include "core/listings/listing_news.h"
#include "core/page/page_walls.h"
#include "core/text/shown_text.h"

namespace quintavia {

SiteCheck CheckSite(const SiteRule& rule, const PageCapture& capture, const PageCapture* again) {
    const PageListings read = ReadListings(rule, capture);
    SiteCheck check;
    const bool linked = rule.findBy != FindBy::Marker;
    for (const Listing& listing : read.listings) {
        if (check.listings.size() == kCheckedListings) break;
        const QString title = ShownText(CutTitle(listing.title));
        if (title.isEmpty()) continue;
        Listing shown = listing;
        shown.title = title;
        shown.cardKey.clear();
        if (linked) shown.link = ListingLink(rule, listing);
        check.listings.append(shown);
        check.keys.append(KeyOf(rule, listing));
    }
    if (again && linked) {
        // The pane's own judgement, on a memory of these two loads alone.
        ListingMemory memory;
        const QString search = QString::fromLatin1(capture.url.toEncoded());
        FindNews(memory, rule, search, read.listings, capture.url, {}, {});
        check.linksChange =
            FindNews(memory, rule, search, ReadListings(rule, *again).listings, again->url, {}, {})
                .linksChange;
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
        status = QStringLiteral("riuscito");  // a page that came by other means than HTTP
    else
        status = QStringLiteral("nessuno, la pagina non si è caricata");
    QString report = QStringLiteral("indirizzo: %1\nstato HTTP: %2\nindirizzo finale: %3\n")
                         .arg(address, status, QString::fromLatin1(capture.url.toEncoded()));
    report += QStringLiteral("annunci: %1\n").arg(check.listings.size());
    for (qsizetype i = 0; i < check.listings.size(); ++i) {
        const Listing& listing = check.listings[i];
        report += QStringLiteral("  %1\n    %2\n")
                      .arg(listing.title, QString::fromLatin1(listing.link.toEncoded()));
        const std::pair<const char*, const QString*> details[] = {
            {"azienda", &listing.company},
            {"luogo", &listing.place},
            {"pubblicato", &listing.published},
        };
        for (const auto& [name, value] : details)
            if (!value->isEmpty())
                report += QStringLiteral("    %1: %2\n").arg(QLatin1StringView(name), *value);
        if (i < check.keys.size()) {
            const ListingKey& key = check.keys[i];
            report += QStringLiteral("    riconosciuto %1: %2\n")
                          .arg(KeyKindText(key.kind), ShownText(key.value));
        }
    }
    if (!check.blindReason.isEmpty())
        report += QStringLiteral("non sorvegliabile: %1\n").arg(check.blindReason);
    return report;
}

QString StructureCheckReport(const QString& address, const SiteRule& rule,
                             const PageCapture& capture) {
    const SiteCheck check = CheckSite(rule, capture);
    QString report = CheckReport(address, capture, SiteCheck{{}, {}});
    report.chop(QStringLiteral("annunci: 0\n").size());
    const QList<StructureListing> listings = capture.structure && IsRulePage(rule, capture.url)
                                                 ? capture.structure->listings
                                                 : QList<StructureListing>{};
    const qsizetype shown = std::min<qsizetype>(listings.size(), kCheckedListings);
    report += QStringLiteral("annunci: %1\n").arg(shown);
    for (qsizetype i = 0; i < shown; ++i) {
        const StructureListing& listing = listings[i];
        Listing read;
        read.title = listing.title;
        read.link = listing.link;
        read.company = listing.company;
        read.place = listing.place;
        // Shown as a pane would write and open it: tracking left out.
        report += QStringLiteral("  %1\n    %2\n")
                      .arg(ShownText(listing.title),
                           QString::fromLatin1(ListingLink(rule, read).toEncoded()));
        if (!listing.company.isEmpty())
            report += QStringLiteral("    azienda: %1\n").arg(ShownText(listing.company));
        if (!listing.place.isEmpty())
            report += QStringLiteral("    luogo: %1\n").arg(ShownText(listing.place));
        report += QStringLiteral("    chiave: %1\n").arg(ShownText(KeyOf(rule, read).value));
    }
    if (shown == 0) {
        std::optional<WallKind> wall;
        if (capture.markup) wall = DetectWall(*capture.markup);
        QString why = QStringLiteral("nella pagina non si ripetono schede della stessa forma");
        if (!IsRulePage(rule, capture.url) || !capture.loadSucceeded || capture.httpStatus >= 400)
            why = check.blindReason;
        else if (wall)
            why = (wall == WallKind::Consent ? QStringLiteral("una richiesta di consenso, ")
                                             : QStringLiteral("una verifica anti-robot, ")) +
                  WallReason(wall.value_or(WallKind::Consent));
        else if (!capture.markup)
            why = QStringLiteral("la pagina non è un documento HTML");
        else if (capture.structure && capture.structure->reason == u"time")
            why = QStringLiteral("la pagina è troppo grande per essere letta in tempo");
        report += QStringLiteral("nessun annuncio: %1\n").arg(why);
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
