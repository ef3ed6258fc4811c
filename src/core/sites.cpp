#include "core/sites.h"

namespace quintavia {
namespace {

constexpr std::array<Site, kSiteCount> kSites{{
    {"MioJob", "Mio Job", "MioJob   ", "miojob.repubblica.it", "clearfix"},
    {"Jobrapido", "Job Rapido", "Jobrapido", "it.jobrapido.com", "span class"},
    {"Jobonline", "Job on Line", "Jobonline", "www.jobonline.it", "dettaglioposizione"},
    {"InfoJobs", "Info Jobs", "Infojobs ", "www.infojobs.it", "www.infojobs.it/selezionare"},
}};

// Sites move between their subdomains (www., it., m.); a page elsewhere is not theirs.
constexpr std::array<const char*, kSiteCount> kRegistrableDomains{"repubblica.it", "jobrapido.com",
                                                                  "jobonline.it", "infojobs.it"};

}  // namespace

const Site& SiteAt(int site) {
    return kSites.at(static_cast<std::size_t>(site));
}

bool IsOnSiteDomain(int site, const QUrl& url) {
    if (!IsSiteIndex(site) || !url.isValid()) return false;
    const QString scheme = url.scheme();
    if (scheme != u"http" && scheme != u"https") return false;
    // The ASCII form, so that no look-alike letter passes for the site's; a fully qualified
    // name's final dot names the same host.
    QString host = url.host(QUrl::FullyEncoded).toLower();
    if (host.endsWith(u'.')) host.chop(1);
    const QString domain = QString::fromLatin1(kRegistrableDomains[static_cast<std::size_t>(site)]);
    return host == domain || host.endsWith(u'.' + domain);
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
                                     "Valle d'Aosta"};
    return regions;
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
