#include "core/page/structure_reading.h"

#include <QVariantMap>

#include "core/listings/listing.h"

namespace quintavia {
namespace {

constexpr qsizetype kScriptTextUnits = 2 * kTitleUnits;
// A part of a card (company, place) is short; a selector kept from a page, too.
constexpr qsizetype kPartUnits = 200;
constexpr qsizetype kSelectorUnits = 1000;
constexpr qsizetype kMaxCandidates = 8;

// %1 the domain or null, %2 the kept selectors or null, %3 kMaxListings, %4 the text cut,
// %5 kMaxLinkUnits, %6 kStructureBudgetMs.
constexpr char16_t kScript[] =
#include "core/page/structure_script.js.inc"
    ;

QString Part(const QVariant& value, qsizetype units) {
    if (value.typeId() != QMetaType::QString) return {};
    QString text = value.toString().simplified();
    if (text.size() > units) {
        text.truncate(units);
        if (text.back().isHighSurrogate()) text.chop(1);
    }
    return text;
}

QString SelectorPart(const QVariantMap& map, const char* key) {
    const QVariant value = map.value(QString::fromLatin1(key));
    if (value.typeId() != QMetaType::QString) return {};
    const QString text = value.toString().trimmed();
    return text.size() > kSelectorUnits ? QString() : text;
}

std::optional<QUrl> ListingLink(const QVariant& value) {
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    const QString href = value.toString();
    if (href.size() > kMaxLinkUnits) return std::nullopt;
    const QUrl link(href, QUrl::StrictMode);
    const QString scheme = link.scheme();
    if (!link.isValid() || (scheme != u"http" && scheme != u"https") || link.host().isEmpty())
        return std::nullopt;
    return link;
}

}  // namespace

QString StructureScript(const QString& domain, const StructureSelectors& kept) {
    QString keptObject = QStringLiteral("null");
    if (!kept.isEmpty())
        keptObject = QStringLiteral("{card: %1, title: %2, link: %3, company: %4, place: %5}")
                         .arg(JsStringLiteral(kept.card), JsStringLiteral(kept.title),
                              JsStringLiteral(kept.link), JsStringLiteral(kept.company),
                              JsStringLiteral(kept.place));
    return QString::fromUtf16(kScript).arg(
        domain.isEmpty() ? QStringLiteral("null") : JsStringLiteral(domain), keptObject,
        QString::number(kMaxListings), QString::number(kScriptTextUnits),
        QString::number(kMaxLinkUnits), QString::number(kStructureBudgetMs));
}

std::optional<StructureReading> StructureFromAnswer(const QVariant& answer) {
    if (answer.typeId() != QMetaType::QVariantMap) return std::nullopt;
    const QVariantMap map = answer.toMap();
    StructureReading reading;
    const QVariantList entries = map.value(QStringLiteral("listings")).toList();
    const qsizetype looked = std::min<qsizetype>(entries.size(), kMaxListings);
    for (qsizetype i = 0; i < looked; ++i) {
        const QVariantList parts = entries[i].toList();
        if (parts.size() != 4 || parts[0].typeId() != QMetaType::QString) continue;
        QString text = parts[0].toString();
        if (!text.isEmpty() && text.back().isHighSurrogate()) text.chop(1);
        const QString title = CutTitle(text.simplified());
        const std::optional<QUrl> link = ListingLink(parts[1]);
        if (title.isEmpty() || !link) continue;
        reading.listings.append(
            {title, *link, Part(parts[2], kPartUnits), Part(parts[3], kPartUnits)});
    }
    const QVariantMap selectors = map.value(QStringLiteral("selectors")).toMap();
    reading.selectors = {SelectorPart(selectors, "card"), SelectorPart(selectors, "title"),
                         SelectorPart(selectors, "link"), SelectorPart(selectors, "company"),
                         SelectorPart(selectors, "place")};
    const QVariantList groups = map.value(QStringLiteral("groups")).toList();
    for (qsizetype i = 0; i < groups.size() && reading.others.size() < kMaxCandidates; ++i) {
        const QVariantList group = groups[i].toList();
        if (group.size() < 3 || group[0].typeId() != QMetaType::QString) continue;
        const QString card = group[0].toString();
        if (card.isEmpty() || card.size() > kSelectorUnits) continue;
        reading.others.append(
            {card, static_cast<int>(group[1].toDouble()), CutTitle(Part(group[2], kTitleUnits))});
    }
    const QString reason = Part(map.value(QStringLiteral("reason")), 20);
    reading.fromKept = reason == u"kept";
    if (reading.listings.isEmpty())
        reading.reason = reason.isEmpty() ? QStringLiteral("none") : reason;
    reading.pageMs = static_cast<int>(map.value(QStringLiteral("ms")).toDouble());
    return reading;
}

QList<Listing> PlainListings(const QList<StructureListing>& listings) {
    QList<Listing> plain;
    plain.reserve(listings.size());
    for (const StructureListing& listing : listings) plain.append({listing.title, listing.link});
    return plain;
}

std::optional<StructureSelectors> SelectorsToKeep(const StructureSelectors& kept,
                                                  const StructureReading& reading) {
    if (reading.listings.isEmpty() || reading.selectors.isEmpty()) return std::nullopt;
    if (reading.selectors == kept) return std::nullopt;
    return reading.selectors;
}

bool KeptSelectors::learn(const QString& siteId, const StructureReading& reading) {
    const std::optional<StructureSelectors> found = SelectorsToKeep(of(siteId), reading);
    if (!found) return false;
    sites_.insert(siteId, *found);
    return true;
}

}  // namespace quintavia
