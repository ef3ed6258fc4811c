#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "core/listings/found_listing.h"
#include "core/watch/notices.h"

namespace quintavia {

// A site's notifications of new listings come at most once in a quiet time: a page that
// reloads itself with a new title each time must not flood the desktop. What comes in the
// quiet time is held, and told in one notice when it ends, naming the newest few.
//
// It says what a notice would be; whether a channel (the desktop's notifications, another)
// carries it is each channel's own option, so nothing is lost while one is off.
class NoticeThrottle {
  public:
    // A site's notices come at most once in this many seconds (ticks).
    static constexpr int kQuietSeconds = 60;

    // The listings just announced of the site `siteId`, named `site`, newest first: their
    // notice now, or none while the site's last one is recent (they are held meanwhile).
    std::optional<Notice> announce(const QString& siteId, const QString& site,
                                   const QList<FoundListing>& announced);
    // One second has passed: one notice for each site whose quiet time ended with listings
    // held, in the order the sites were first heard of.
    QList<Notice> tick();
    // The site left its pane: what it held is never told.
    void forget(const QString& siteId);

  private:
    struct Site {
        QString id;
        QString name;
        int quietLeft = 0;
        int heldCount = 0;
        QList<FoundListing> held;  // the newest first few of those held
    };
    Site& site(const QString& id);

    QList<Site> sites_;
};

}  // namespace quintavia
