#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <array>
#include <optional>

namespace quintavia {

inline constexpr int kSiteCount = 4;

constexpr bool IsSiteIndex(int site) {
    return site >= 0 && site < kSiteCount;
}

// One row of the site table: everything the program knows about a job site.
struct Site {
    const char* name;
    const char* paneLabel;  // shown over the pane
    const char* logLabel;   // begins each log entry; always nine characters
    const char* host;
    const char* marker;  // where the newest listing starts in the page
    const char* domain;  // the registrable domain that the site's own pages are on
};

const Site& SiteAt(int site);  // site must satisfy IsSiteIndex

// Whether an address is one of the site's own pages: http or https, on the site's registrable
// domain or one of its subdomains. A page that took its pane elsewhere can carry the site's
// marker too (a common class name), and must not be read as the site's newest listing.
bool IsOnSiteDomain(int site, const QUrl& url);

// The regions offered in the region box, in list order.
const QStringList& RegionList();

// The position in the list of the region that `text` names, in any letter case and with
// blanks around it; none when it names no region of the list.
std::optional<int> RegionNamed(const QString& text);

using Addresses = std::array<QString, kSiteCount>;

// The search address of a site for a region. regionText is inserted as it stands; the
// region number (Jobonline) is regionIndex + 1. `site` must satisfy IsSiteIndex.
QString SearchAddress(int site, const QString& regionText, qint16 regionIndex);

// The four sites' search addresses, by site index.
Addresses SearchAddresses(const QString& regionText, qint16 regionIndex);

}  // namespace quintavia
