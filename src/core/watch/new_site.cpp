#include "core/watch/new_site.h"

#include "core/page/page_capture.h"
#include "core/text/shown_text.h"
#include "core/watch/site_check.h"

namespace quintavia {

QString NewSiteLine(const StructureListing& listing) {
    QStringList parts{ShownText(listing.title)};
    for (const QString* detail : {&listing.company, &listing.place})
        if (!detail->isEmpty()) parts.append(ShownText(*detail));
    return parts.join(QStringLiteral(" · "));
}

QStringList CardGroups(const StructureReading& reading) {
    QStringList groups;
    if (!reading.selectors.card.isEmpty()) groups.append(reading.selectors.card);
    for (const CandidateGroup& other : reading.others)
        if (!groups.contains(other.card)) groups.append(other.card);
    return groups;
}

QString NewSiteId(const QString& name, const Catalogue& catalogue) {
    QString base = RegionSlug(name);
    if (base.isEmpty()) base = QStringLiteral("sito");
    QString id = base;
    for (int n = 2; catalogue.find(id); ++n) id = base + u'-' + QString::number(n);
    return id;
}

QString NewSiteNameProblem(const QString& name, const Catalogue& catalogue) {
    const QString shown = name.simplified();
    if (shown.isEmpty()) return QStringLiteral("Scrivi un nome per il sito.");
    if (NameTakenBy(catalogue.rules, shown))
        return QStringLiteral("C'è già un sito di nome \"%1\": scegline un altro.").arg(shown);
    return {};
}

std::optional<SiteRule> NewSite(const SiteRule& read, const StructureReading& reading,
                                const QString& name, const Catalogue& catalogue) {
    if (!NewSiteNameProblem(name, catalogue).isEmpty()) return std::nullopt;
    const QString shown = name.simplified();
    PageCapture capture;
    capture.structure = reading;
    std::optional<SiteRule> rule = ProposedRule(read, capture, {}, {});
    if (!rule) return std::nullopt;
    rule->id = NewSiteId(shown, catalogue);
    rule->name = shown;
    rule->paneLabel = shown;
    rule->logLabel = LogLabelFor(shown);
    return rule;
}

}  // namespace quintavia
