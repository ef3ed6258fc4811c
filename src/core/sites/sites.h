#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace quintavia {

// Whether an address is an absolute http or https address with a host: the only kind a page's
// link may be followed to, read from or handed to the desktop as (a file, a custom scheme or a
// script would let a page choose what runs).
bool IsWebAddress(const QUrl& url);

// Whether an address is http or https on `domain` (lower case, ASCII) or one of its subdomains.
bool IsOnDomain(QStringView domain, const QUrl& url);

// Whether a host, in the ASCII lower-case form QUrl gives, is `domain` or one of its subdomains.
// A trailing dot, the absolute form of the same host, is allowed.
bool IsHostWithin(QStringView host, QStringView domain);

// The regions offered in the region box, in list order.
const QStringList& RegionList();

// The position in the list of the region that `text` names, in any letter case and with
// blanks around it; none when it names no region of the list.
std::optional<int> RegionNamed(const QString& text);

}  // namespace quintavia
