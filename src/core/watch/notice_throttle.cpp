#include "core/watch/notice_throttle.h"

#include <algorithm>

namespace quintavia {

NoticeThrottle::Site& NoticeThrottle::site(const QString& id) {
    for (Site& known : sites_)
        if (known.id == id) return known;
    Site added;
    added.id = id;
    sites_.append(added);
    return sites_.last();
}

std::optional<Notice> NoticeThrottle::announce(const QString& siteId, const QString& name,
                                               const QList<FoundListing>& announced) {
    if (announced.isEmpty()) return std::nullopt;
    Site& site = this->site(siteId);
    site.name = name;
    const auto count = static_cast<int>(announced.size());
    if (site.quietLeft == 0) {
        site.quietLeft = kQuietSeconds;
        return ListingsNotice(name, announced, count);
    }
    // The newest first: what this capture found goes ahead of what was held before.
    site.heldCount += count;
    site.held = announced.first(std::min(announced.size(), kNoticeTitles)) + site.held;
    site.held.resize(std::min(site.held.size(), kNoticeTitles));
    return std::nullopt;
}

QList<Notice> NoticeThrottle::tick() {
    QList<Notice> notices;
    for (Site& site : sites_) {
        if (site.quietLeft == 0 || --site.quietLeft > 0) continue;
        if (site.heldCount == 0) continue;
        notices.append(ListingsNotice(site.name, site.held, site.heldCount));
        site.quietLeft = kQuietSeconds;
        site.heldCount = 0;
        site.held.clear();
    }
    return notices;
}

void NoticeThrottle::forget(const QString& siteId) {
    Site& site = this->site(siteId);
    site.heldCount = 0;
    site.held.clear();
}

}  // namespace quintavia
