#pragma once

#include <QString>
#include <QStringView>
#include <QUrl>

#include "core/listings/listing.h"
#include "core/sites/site_rules.h"

namespace quintavia {

// What a listing is known by from one load of its page to the next. Boards put values in their
// links that change at every load (a tracking id, the card's position, a token that expires),
// so a whole link would make every listing new at every load.

// Whether a query parameter only tells where a click came from: the one table of them.
bool IsTrackingParameter(QStringView name);

// A link as it still leads to the listing weeks later: scheme and host in lower case, no
// fragment, no default port, no tracking parameter (IsTrackingParameter), the other
// parameters sorted. Anything but an http or https link comes back as it is.
QUrl CanonicalLink(const QUrl& link);

// A key kept by an earlier version of the program: a link made canonical, as its listing is
// known by now; anything else as it is.
QString CanonicalKey(const QString& key);

struct ListingKey {
    enum class Kind {
        Rule,             // what the rule's key reads
        Link,             // the canonical link
        Title,            // the title, for a site without links
        TitleAndCompany,  // for a site whose links do not stay
    };
    Kind kind = Kind::Title;
    QString value;

    bool operator==(const ListingKey&) const = default;
};

// The attribute of the card that the rule's key reads; empty when its key reads none.
QString KeyAttribute(const SiteRule& rule);

// What the rule's key reads of the listing; empty when the rule has none or it reads nothing.
QString RuleKeyValue(const SiteRule& rule, const Listing& listing);

// The listing's key on its site: the rule's key, else its canonical link, else its title as
// cut (CutTitle). A marker rule's one listing carries the page's address, which names no
// listing, and is known by its title. `byTitle`: the site's links were found not to stay, and
// its listings are known by title and company.
ListingKey KeyOf(const SiteRule& rule, const Listing& listing, bool byTitle = false);

// The key as the report of a check names its kind.
QString KeyKindText(ListingKey::Kind kind);

// The link to write, show and open: the job's own address made from the rule's key where the
// rule gives one (and it is an http or https address on the rule's domain), else the canonical
// link; empty for a marker rule's listing.
QUrl ListingLink(const SiteRule& rule, const Listing& listing);

// A link as the page's script hands it over, with the characters a browser leaves unencoded
// in an address ("|", "^", "{", "}", and a "%" that starts no escape) percent-encoded; none
// when it is still no valid address.
QUrl LenientLink(const QString& href);

}  // namespace quintavia
