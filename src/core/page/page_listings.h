#pragma once

#include <QList>
#include <QUrl>
#include <optional>

#include "core/listings/listing.h"
#include "core/page/page_capture.h"
#include "core/page/page_walls.h"
#include "core/sites/site_rules.h"

namespace quintavia {

// What a page gives by its site's rule. Read only from markup of the site's own pages.
struct PageListings {
    bool seen = false;  // the site's listings are in the page
    // In page order. A marker rule finds the newest title alone, as the probe gives it, with
    // the page's own address; a selector rule, what its script read.
    QList<Listing> listings;
};

PageListings ReadListings(const SiteRule& rule, const PageCapture& capture);

// What a site's watch needs to know of one capture of its pane.
struct CaptureFacts {
    QUrl url;                    // the page's address, after any redirects
    bool loadSucceeded = true;   // false: the engine showed its own error page, or an HTTP error
    int httpStatus = 0;          // the HTTP error status the engine reported; 0 when none
    bool markerSeen = false;     // the site's listings are in the page
    bool selectorFault = false;  // the rule's selector is not CSS the engine parses
    // A consent banner or a bot check in a page of the site without its listings.
    std::optional<WallKind> wall{};
};

// What the site's watch learns from a capture and what was read of it.
CaptureFacts WatchFacts(const SiteRule& rule, const PageCapture& capture, const PageListings& read);

}  // namespace quintavia
