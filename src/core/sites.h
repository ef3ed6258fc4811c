#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <array>

namespace quintavia {

// The panes of the grid, each showing one site.
inline constexpr int kSiteCount = 4;

constexpr bool IsSiteIndex(int site) {
    return site >= 0 && site < kSiteCount;
}

// Whether an address is http or https on `domain` (lower case, ASCII) or one of its subdomains.
bool IsOnDomain(QStringView domain, const QUrl& url);

// Whether a host, in the ASCII lower-case form QUrl gives, is `domain` or one of its subdomains.
// A trailing dot, the absolute form of the same host, is allowed.
bool IsHostWithin(QStringView host, QStringView domain);

// The regions offered in the region box, in list order.
const QStringList& RegionList();

// The four panes' search addresses, by pane.
using Addresses = std::array<QString, kSiteCount>;

}  // namespace quintavia
