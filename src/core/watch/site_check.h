#pragma once

#include <QList>
#include <QString>

#include "core/page/listing_extraction.h"
#include "core/sites/site_rules.h"
#include "core/watch/site_watch.h"
#include "core/watch/watch_controller.h"

namespace quintavia {

// A user who edits the sites file needs to know at once whether a rule finds the listings of
// its site, and if not why: what a pane would read of one page, told in full.

// What a page gives by its site's rule. Read only from markup of the site's own pages.
struct PageListings {
    bool seen = false;  // the site's listings are in the page
    // In page order. A marker rule finds the newest title alone, as the probe gives it, with
    // the page's own address; a selector rule, what its script read.
    QList<Listing> listings;
};

PageListings ReadListings(const SiteRule& rule, const PageCapture& capture);

// What the site's watch learns from a capture and what was read of it.
CaptureFacts WatchFacts(const SiteRule& rule, const PageCapture& capture, const PageListings& read);

// The most listings a check tells of: enough to see that the rule reads the right elements.
inline constexpr int kCheckedListings = 10;

struct SiteCheck {
    QList<Listing> listings;  // at most kCheckedListings, titles as the log box shows them
    QString blindReason;      // why the pane would find the site blind; empty when it would not
};

SiteCheck CheckSite(const SiteRule& rule, const PageCapture& capture);

// The check as it is printed: the search address, the HTTP status, the address the page ended
// at, each listing's title and link, and the blind reason when there is one.
QString CheckReport(const QString& address, const PageCapture& capture, const SiteCheck& check);

}  // namespace quintavia
