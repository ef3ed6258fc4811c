#include <QUrlQuery>
#include <algorithm>

#include "core/sites/placeholders.h"
#include "core/sites/site_rules.h"
#include "core/sites/sites.h"

using namespace quintavia::placeholders;

namespace quintavia {
namespace {

QString Keywords(const QString& keywords) {
    return QString::fromLatin1(QUrl::toPercentEncoding(keywords.simplified()));
}

bool SearchKey(QStringView key) {
    static const QStringList keys{
        QStringLiteral("q"),     QStringLiteral("w"),        QStringLiteral("k"),
        QStringLiteral("kw"),    QStringLiteral("keywords"), QStringLiteral("keyword"),
        QStringLiteral("query"), QStringLiteral("parole"),   QStringLiteral("cosa"),
        QStringLiteral("what"),  QStringLiteral("search"),   QStringLiteral("ukw"),
        QStringLiteral("job"),   QStringLiteral("s"),        QStringLiteral("testo")};
    return keys.contains(key.toString().toLower());
}

// The region of the list the address names, in its query or as a slug in its path.
QString RegionIn(const QUrl& address) {
    const QList<std::pair<QString, QString>> items =
        QUrlQuery(address).queryItems(QUrl::FullyDecoded);
    for (const QString& region : RegionList()) {
        for (const auto& [key, value] : items)
            if (value.trimmed().compare(region, Qt::CaseInsensitive) == 0) return region;
        const QString slug = RegionSlug(region);
        for (const QString& segment : address.path().split(u'/', Qt::SkipEmptyParts))
            if (segment == slug || segment.endsWith(u'-' + slug) || segment.startsWith(slug + u'-'))
                return region;
    }
    return {};
}

}  // namespace

QString ExpandSearch(QStringView recipe, const SearchQuery& query) {
    // With no words, the path segment that would carry them goes: "q-/" is no search.
    QString trimmed = recipe.toString();
    if (RegionSlug(query.keywords).isEmpty()) {
        const qsizetype at = trimmed.indexOf(u'{' + kKeywordsSlug + u'}');
        const qsizetype hostStart = trimmed.indexOf(QStringLiteral("://"));
        const qsizetype start = at < 0 ? -1 : trimmed.lastIndexOf(u'/', at);
        const qsizetype end = at < 0 ? -1 : trimmed.indexOf(u'/', at);
        if (hostStart >= 0 && start > hostStart + 2 && end > at) trimmed.remove(start, end - start);
    }
    const QStringView search = trimmed;
    QString address;
    address.reserve(search.size() + query.regionText.size() * 2);
    qsizetype at = 0;
    while (at < search.size()) {
        const qsizetype open = search.indexOf(u'{', at);
        const qsizetype close = open < 0 ? -1 : search.indexOf(u'}', open);
        if (close < 0) break;
        address += search.sliced(at, open - at);
        const QStringView name = search.sliced(open + 1, close - open - 1);
        if (name == kRegion)
            address += query.regionText;
        else if (name == kRegionNumber)
            address += QString::number(int{query.regionIndex} + 1);
        else if (name == kRegionSlug)
            address += RegionSlug(query.regionText);
        else if (name == kKeywords)
            address += Keywords(query.keywords);
        else if (name == kKeywordsSlug)
            address += RegionSlug(query.keywords);
        else
            address += search.sliced(open, close - open + 1);
        at = close + 1;
    }
    address += search.sliced(at);
    return address;
}

QString RegionSlug(QStringView regionText) {
    // Compatibility decomposition also turns ligatures and full-width letters into ASCII.
    const QString decomposed = regionText.toString().normalized(QString::NormalizationForm_KD);
    QString slug;
    slug.reserve(decomposed.size());
    bool gap = false;
    for (const QChar c : decomposed) {
        if (c.isMark()) continue;  // the accent of a decomposed letter
        char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u - u'A' + u'a');
        if ((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9')) {
            if (gap && !slug.isEmpty()) slug += u'-';
            gap = false;
            slug += QChar(u);
        } else {
            gap = true;
        }
    }
    return slug;
}

QString SearchTemplate(const QUrl& address, const QString& region, const QString& words) {
    const QString inRegion = region.trimmed().isEmpty() ? RegionIn(address) : region.trimmed();
    QString inWords = words.simplified();
    QUrlQuery query(address);
    QList<std::pair<QString, QString>> items = query.queryItems(QUrl::FullyDecoded);
    if (inWords.isEmpty())
        for (const auto& [key, value] : items)
            if (SearchKey(key) && !value.trimmed().isEmpty()) inWords = value.simplified();
    bool changed = false;
    for (auto& [key, value] : items) {
        const QString plain = value.simplified();
        if (!inRegion.isEmpty() && plain.compare(inRegion, Qt::CaseInsensitive) == 0) {
            value = QStringLiteral("{regione}");
            changed = true;
        } else if (!inWords.isEmpty() && plain.compare(inWords, Qt::CaseInsensitive) == 0) {
            value = QStringLiteral("{parole}");
            changed = true;
        }
    }
    QString path = address.path(QUrl::FullyEncoded);
    if (!inRegion.isEmpty()) {
        const QString slug = RegionSlug(inRegion);
        QStringList segments = path.split(u'/');
        for (QString& segment : segments) {
            if (segment == slug)
                segment = QStringLiteral("{regione_slug}");
            else if (segment.endsWith(u'-' + slug))
                segment = segment.chopped(slug.size()) + QStringLiteral("{regione_slug}");
            else if (segment.startsWith(slug + u'-'))
                segment = QStringLiteral("{regione_slug}") + segment.sliced(slug.size());
        }
        path = segments.join(u'/');
    }
    QString text =
        address.scheme() + QStringLiteral("://") + address.authority(QUrl::FullyEncoded) + path;
    if (address.hasQuery()) {
        if (!changed) {
            text += u'?' + address.query(QUrl::FullyEncoded);
        } else {
            QStringList pairs;
            for (const auto& [key, value] : items) {
                const bool placeholder = value.startsWith(u'{') && value.endsWith(u'}');
                pairs.append(
                    QString::fromLatin1(QUrl::toPercentEncoding(key)) + u'=' +
                    (placeholder ? value : QString::fromLatin1(QUrl::toPercentEncoding(value))));
            }
            text += u'?' + pairs.join(u'&');
        }
    }
    return text;
}

SiteRule RuleForAddress(const QUrl& address, const PublicSuffixes& suffixes) {
    SiteRule rule;
    const QString host = address.host(QUrl::FullyEncoded).toLower();
    QStringList labels = host.split(u'.', Qt::SkipEmptyParts);
    rule.domain = suffixes.registrableDomain(host);
    if (!rule.domain.isEmpty()) {
        // The name: the label the site registered, whatever stands before or after it.
        labels = QStringList{rule.domain.section(u'.', 0, 0)};
    } else {
        rule.domain = labels.size() <= 2 ? host : labels.sliced(labels.size() - 2).join(u'.');
    }
    // The name: the host's first label that says something, "www" and a country aside.
    while (labels.size() > 2 && (labels.front() == u"www" || labels.front().size() <= 2))
        labels.removeFirst();
    const QString word = labels.isEmpty() ? host : labels.front();
    QString id;
    for (const QChar c : word) {
        const char16_t u = c.unicode();
        if ((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'-') id += c;
    }
    rule.id = id.isEmpty() ? QStringLiteral("sito") : id;
    rule.name = rule.id.left(1).toUpper() + rule.id.mid(1);
    rule.paneLabel = rule.name;
    rule.logLabel = LogLabelFor(rule.name);
    rule.search = QString::fromLatin1(address.toEncoded());
    rule.findBy = FindBy::Structure;
    return rule;
}

}  // namespace quintavia
