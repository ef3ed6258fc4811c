#include "core/page/page_listings.h"

#include "core/page/listing_probe.h"

namespace quintavia {

PageListings ReadListings(const SiteRule& rule, const PageCapture& capture) {
    PageListings read;
    if (!capture.markup || !IsRulePage(rule, capture.url)) return read;
    if (rule.findBy == FindBy::Marker) {
        // A marker is a word of the markup, and a wall is markup too: a generic class can stand
        // in a consent banner as well as in the cards, so the wall is looked for first.
        if (DetectWall(*capture.markup)) return read;
        const ProbeResult found = FindNewestListing(*capture.markup, rule.marker);
        read.seen = found.markerPosition > 0;
        if (found.outcome == ProbeOutcome::Title) read.listings = {{found.title, capture.url}};
        return read;
    }
    // Selector and structure readings alike: what the pane's script read.
    if (!capture.listings || capture.listings->isEmpty()) return read;
    read.seen = true;
    read.listings = *capture.listings;
    return read;
}

CaptureFacts WatchFacts(const SiteRule& rule, const PageCapture& capture,
                        const PageListings& read) {
    // A wall is looked for only in a page of the site without its listings: sites that pass a
    // check or hold a consent carry the same names.
    const bool wallPossible = !read.seen && capture.markup && IsRulePage(rule, capture.url);
    return {.url = capture.url,
            .loadSucceeded = capture.loadSucceeded,
            .httpStatus = capture.httpStatus,
            .markerSeen = read.seen,
            .selectorFault = capture.selectorFault && rule.findBy == FindBy::Selector,
            .wall = wallPossible ? DetectWall(*capture.markup) : std::optional<WallKind>()};
}

}  // namespace quintavia
