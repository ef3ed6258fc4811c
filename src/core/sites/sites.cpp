#include "core/sites/sites.h"

namespace quintavia {
bool IsWebAddress(const QUrl& url) {
    // QUrl gives the scheme and the host in lower case.
    const QString scheme = url.scheme();
    return url.isValid() && !url.host().isEmpty() && (scheme == u"http" || scheme == u"https");
}

bool IsOnDomain(QStringView domain, const QUrl& url) {
    // The host in its ASCII form, so a look-alike written in other scripts never equals the
    // domain.
    return IsWebAddress(url) && IsHostWithin(url.host(QUrl::FullyEncoded), domain);
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
