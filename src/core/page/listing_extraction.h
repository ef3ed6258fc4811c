#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <QUrl>
#include <QVariant>

#include "core/listings/listing.h"
#include "core/sites/site_rules.h"

namespace quintavia {

// A site whose rule finds its listings by a CSS selector is read by a script that the engine
// runs in a world of its own, after the load: the page's scripts cannot see or change it, only
// the document they share.

// The most listings read from one page, and the most UTF-16 units of a link kept: a page
// decides how many elements match and how long their addresses are.
inline constexpr int kMaxListings = 50;
inline constexpr qsizetype kMaxLinkUnits = 4096;
// The most UTF-16 units kept of a card's company, place, date and key attribute.
inline constexpr qsizetype kDetailUnits = 200;

// A text as a JavaScript (and JSON) string literal, quotes included, in ASCII: whatever a rule
// holds, it stays one string in the script.
QString JsStringLiteral(QStringView text);

// The script that reads a selector rule's listings, in page order: an array of at most
// kMaxListings [text, href, company, place, date, key] entries, or a bad selector's answer
// (IsBadSelectorAnswer) when the title or the link selector is not CSS that this engine parses.
// The last four are read within the card by the rule's selectors and its key's attribute, empty
// where it has none or they match nothing. A listing's card
// is the largest element around its title that holds no other title. Its link is the title
// element's closest a[href], else the first one inside the title, else the first one in the
// card; with a link selector, the first match of it in the card (or the anchor around or in
// that match). Empty for a marker rule.
QString ExtractionScript(const SiteRule& rule);

bool IsBadSelectorAnswer(const QVariant& answer);

// The listings in the script's answer as the engine hands it over: a list of [text, href] pairs
// or of the script's entries of six. Anything else in it is passed over, as are listings with
// no text or with a link that is not an absolute http or https address (LenientLink); only the
// first kMaxListings entries are looked at.
QList<Listing> ListingsFromAnswer(const QVariant& answer);

}  // namespace quintavia
