#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "core/listings/listing_key.h"
#include "core/page/page_listings.h"
#include "core/sites/site_rules.h"
#include "core/watch/site_watch.h"

namespace quintavia {

// A user who edits the sites file needs to know at once whether a rule finds the listings of
// its site, and if not why: what a pane would read of one page, told in full.

// The most listings a check tells of: enough to see that the rule reads the right elements.
inline constexpr int kCheckedListings = 10;

struct SiteCheck {
    // At most kCheckedListings, titles as the log box shows them, links as the program writes
    // and opens them (ListingLink).
    QList<Listing> listings;
    QString blindReason;  // why the pane would find the site blind; empty when it would not
    // What each listing is known by, in the same order.
    QList<ListingKey> keys{};
    // Set when a second load of the page showed the same listings under other links: the line
    // that says the site's links do not stay (FindNews).
    QString linksChange{};
};

// `again`, when given, is a second load of the same search, to tell whether the site's links
// stay from one load to the next.
SiteCheck CheckSite(const SiteRule& rule, const PageCapture& capture,
                    const PageCapture* again = nullptr);

// The check as it is printed: the search address, the HTTP status, the address the page ended
// at, each listing's title and link, its company, place and date where the rule reads them and
// what it is known by, and the blind reason when there is one.
QString CheckReport(const QString& address, const PageCapture& capture, const SiteCheck& check);

// What a structure reading of a pasted address found, as it is printed: each listing's title,
// link, company, place and the key it is known by; when none, why (a wall, no repeated cards).
QString StructureCheckReport(const QString& address, const SiteRule& rule,
                             const PageCapture& capture);

// The rule a pasted address proposes once its page was read: the address as a search
// (SearchTemplate) and the selectors that found its cards, as a selector rule. None when no
// card was found.
std::optional<SiteRule> ProposedRule(const SiteRule& read, const PageCapture& capture,
                                     const QString& region, const QString& words);

}  // namespace quintavia
