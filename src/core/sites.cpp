#include "core/sites.h"

namespace quintavia {
namespace {

constexpr std::array<Site, kSiteCount> kSites{{
    {"MioJob", "Mio Job", "MioJob   ", "miojob.repubblica.it", "clearfix", "repubblica.it"},
    {"Jobrapido", "Job Rapido", "Jobrapido", "it.jobrapido.com", "span class", "jobrapido.com"},
    {"Jobonline", "Job on Line", "Jobonline", "www.jobonline.it", "dettaglioposizione",
     "jobonline.it"},
    {"InfoJobs", "Info Jobs", "Infojobs ", "www.infojobs.it", "www.infojobs.it/selezionare",
     "infojobs.it"},
}};

}  // namespace

const Site& SiteAt(int site) {
    return kSites.at(static_cast<std::size_t>(site));
}

bool IsOnSiteDomain(int site, const QUrl& url) {
    if (!IsSiteIndex(site) || !url.isValid()) return false;
    // QUrl gives the scheme and the host in lower case, the host in its ASCII form, so a
    // look-alike written in other scripts never equals the domain.
    const QString scheme = url.scheme();
    if (scheme != u"http" && scheme != u"https") return false;
    QString host = url.host(QUrl::FullyEncoded);
    if (host.endsWith(u'.')) host.chop(1);  // the absolute form names the same host
    const QLatin1StringView domain(SiteAt(site).domain);
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

QString SearchAddress(int site, const QString& regionText, qint16 regionIndex) {
    const QString host = QString::fromLatin1(SiteAt(site).host);
    switch (site) {
        case 0:
            return "http://" + host + "/offerte/lavoro/cerca/offer_location_region-" + regionText;
        case 1:
            return "http://" + host + "/?w=&l=" + regionText + "&r=auto";
        case 2:
            return "http://" + host +
                   "/lavoro/?fld2=0&fld3=" + QString::number(int{regionIndex} + 1) +
                   "&fld4=0&fld1=ricerca+testuale&search=cerca+lavoro";
        default:
            return "http://" + host + "/offerte-lavoro/" + regionText;
    }
}

Addresses SearchAddresses(const QString& regionText, qint16 regionIndex) {
    Addresses addresses;
    for (int i = 0; i < kSiteCount; ++i)
        addresses[static_cast<std::size_t>(i)] = SearchAddress(i, regionText, regionIndex);
    return addresses;
}

}  // namespace quintavia
