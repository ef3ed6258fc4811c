#include "core/sites/sites.h"

namespace quintavia {
bool IsOnDomain(QStringView domain, const QUrl& url) {
    if (!url.isValid()) return false;
    // QUrl gives the scheme and the host in lower case, the host in its ASCII form, so a
    // look-alike written in other scripts never equals the domain.
    const QString scheme = url.scheme();
    if (scheme != u"http" && scheme != u"https") return false;
    return IsHostWithin(url.host(QUrl::FullyEncoded), domain);
}

bool IsHostWithin(QStringView host, QStringView domain) {
    if (host.endsWith(u'.')) host.chop(1);  // the absolute form names the same host
    if (domain.isEmpty()) return false;
    return host == domain || (host.endsWith(domain) && host.size() > domain.size() &&
                              host[host.size() - domain.size() - 1] == u'.');
}

const QStringList& RegionList() {
    static const QStringList regions{"Abruzzo",
                                     "Basilicata",
                                     "Calabria",
                                     "Campania",
                                     "Emilia Romagna",
                                     "Friuli Venezia Giulia",
                                     "Lazio",
                                     "Liguria",
                                     "Lombardia",
                                     "Marche",
                                     "Molise",
                                     "Piemonte",
                                     "Puglia",
                                     "Sardegna",
                                     "Sicilia",
                                     "Toscana",
                                     "Trentino Alto Adige",
                                     "Umbria",
                                     "Valle d'Aosta",
                                     "Veneto"};
    return regions;
}

std::optional<int> RegionNamed(const QString& text) {
    const QString name = text.trimmed();
    const QStringList& regions = RegionList();
    for (qsizetype i = 0; i < regions.size(); ++i)
        if (name.compare(regions[i], Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace quintavia
