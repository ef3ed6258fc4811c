#include "core/engine/navigation_rules.h"

#include <array>

namespace quintavia {

bool MayNavigateTo(const QUrl& url) {
    static constexpr std::array<const char*, 5> kShown{"http", "https", "about", "data", "blob"};
    // QUrl gives the scheme in lower case.
    const QString scheme = url.scheme();
    for (const char* shown : kShown)
        if (scheme == QLatin1StringView(shown)) return true;
    return false;
}

}  // namespace quintavia
