#include "core/listings/listing_key.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrlQuery>
#include <algorithm>

#include "core/listings/listing.h"
#include "core/sites/sites.h"

namespace quintavia {
namespace {

// Seen on the boards' links: each changes from one load to the next, or names the page a
// click came from, and none tells one listing from another.
constexpr const char16_t* kTracking[] = {
    u"trk",    u"trkinfo", u"refid",  u"trackingid", u"position", u"pagenum", u"tk",
    u"bb",     u"xkcb",    u"fccid",  u"vjs",        u"advn",     u"adid",    u"from",
    u"sjdu",   u"xpse",    u"xfps",   u"gclid",      u"fbclid",   u"msclkid", u"mc_cid",
    u"mc_eid", u"gbraid",  u"wbraid", u"dclid",      u"yclid",    u"igshid",  u"srsltid",
    u"_ga",    u"_gl",     u"_hsenc", u"_hsmi",      u"mkt_tok",
};

bool IsHex(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

}  // namespace

bool IsTrackingParameter(QStringView name) {
    const QString lower = name.toString().toLower();
    if (lower.startsWith(u"utm_")) return true;
    return std::any_of(std::begin(kTracking), std::end(kTracking),
                       [&](const char16_t* known) { return lower == QStringView(known); });
}

QUrl CanonicalLink(const QUrl& link) {
    const QString scheme = link.scheme().toLower();
    if (!link.isValid() || (scheme != u"http" && scheme != u"https")) return link;
    QUrl canonical = link.adjusted(QUrl::RemoveFragment);
    canonical.setScheme(scheme);
    canonical.setHost(link.host(QUrl::FullyEncoded).toLower(), QUrl::StrictMode);
    if (canonical.port() == (scheme == u"https" ? 443 : 80)) canonical.setPort(-1);
    if (link.hasQuery()) {
        QStringList kept;
        const QString query = link.query(QUrl::FullyEncoded);
        for (const QString& item : query.split(u'&', Qt::SkipEmptyParts)) {
            const QString name = item.left(item.indexOf(u'='));
            if (!IsTrackingParameter(QUrl::fromPercentEncoding(name.toLatin1()))) kept.append(item);
        }
        std::stable_sort(kept.begin(), kept.end());
        if (kept.isEmpty())
            canonical = canonical.adjusted(QUrl::RemoveQuery);
        else
            canonical.setQuery(kept.join(u'&'), QUrl::StrictMode);
    }
    return canonical;
}

QString CanonicalKey(const QString& key) {
    if (!key.startsWith(u"http://") && !key.startsWith(u"https://")) return key;
    const QUrl link(key, QUrl::StrictMode);
    if (!link.isValid() || link.host().isEmpty()) return key;
    return QString::fromLatin1(CanonicalLink(link).toEncoded());
}

QString KeyAttribute(const SiteRule& rule) {
    if (rule.findBy == FindBy::Marker) return {};
    const KeyRecipe recipe = ParseKeyRecipe(rule.key);
    return recipe.source == KeyRecipe::Attribute ? recipe.name : QString();
}

QString RuleKeyValue(const SiteRule& rule, const Listing& listing) {
    if (rule.findBy == FindBy::Marker || rule.key.isEmpty()) return {};
    const KeyRecipe recipe = ParseKeyRecipe(rule.key);
    QString value;
    switch (recipe.source) {
        case KeyRecipe::None:
            return {};
        case KeyRecipe::Attribute:
            value = listing.cardKey;
            break;
        case KeyRecipe::Parameter:
            value = QUrlQuery(listing.link).queryItemValue(recipe.name, QUrl::FullyDecoded);
            break;
        case KeyRecipe::Link:
            value = QString::fromLatin1(listing.link.toEncoded());
            break;
    }
    if (!recipe.pattern.isEmpty() && !value.isEmpty()) {
        const QRegularExpressionMatch match = QRegularExpression(recipe.pattern).match(value);
        value = match.hasMatch() ? match.captured(1) : QString();
    }
    return value.trimmed();
}

ListingKey KeyOf(const SiteRule& rule, const Listing& listing, bool byTitle) {
    const QString title = CutTitle(listing.title);
    if (rule.findBy == FindBy::Marker) return {ListingKey::Kind::Title, title};
    if (byTitle)
        return {ListingKey::Kind::TitleAndCompany, title + u'\n' + listing.company.simplified()};
    if (const QString value = RuleKeyValue(rule, listing); !value.isEmpty())
        return {ListingKey::Kind::Rule, value};
    if (!listing.link.isEmpty())
        return {ListingKey::Kind::Link,
                QString::fromLatin1(CanonicalLink(listing.link).toEncoded())};
    return {ListingKey::Kind::Title, title};
}

QString KeyKindText(ListingKey::Kind kind) {
    switch (kind) {
        case ListingKey::Kind::Rule:
            return QStringLiteral("dalla chiave della regola");
        case ListingKey::Kind::Link:
            return QStringLiteral("dal link");
        case ListingKey::Kind::Title:
            return QStringLiteral("dal titolo");
        case ListingKey::Kind::TitleAndCompany:
            return QStringLiteral("dal titolo e dall'azienda");
    }
    return {};
}

QUrl ListingLink(const SiteRule& rule, const Listing& listing) {
    if (rule.findBy == FindBy::Marker || listing.link.isEmpty()) return {};
    if (!rule.jobAddress.isEmpty()) {
        if (const QString value = RuleKeyValue(rule, listing); !value.isEmpty()) {
            QString address = rule.jobAddress;
            address.replace(QStringLiteral("{chiave}"),
                            QString::fromLatin1(QUrl::toPercentEncoding(value)));
            // IsOnDomain holds only for a web address on the site's own domain.
            const QUrl own(address, QUrl::StrictMode);
            if (IsOnDomain(rule.domain, own)) return own;
        }
    }
    return CanonicalLink(listing.link);
}

QUrl LenientLink(const QString& href) {
    QString encoded;
    encoded.reserve(href.size());
    for (qsizetype i = 0; i < href.size(); ++i) {
        const QChar c = href[i];
        switch (c.unicode()) {
            case u'|':
                encoded += QStringLiteral("%7C");
                break;
            case u'^':
                encoded += QStringLiteral("%5E");
                break;
            case u'{':
                encoded += QStringLiteral("%7B");
                break;
            case u'}':
                encoded += QStringLiteral("%7D");
                break;
            case u'%':
                if (i + 2 < href.size() && IsHex(href[i + 1]) && IsHex(href[i + 2]))
                    encoded += c;
                else
                    encoded += QStringLiteral("%25");
                break;
            default:
                encoded += c;
        }
    }
    return QUrl(encoded, QUrl::StrictMode);
}

}  // namespace quintavia
