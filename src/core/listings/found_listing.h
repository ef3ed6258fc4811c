#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

namespace quintavia {

// A listing that a site showed for the first time, as the history keeps it and the list of
// what was found shows it.
struct FoundListing {
    QDateTime when{};
    QString siteId{};  // empty when read back from a history that names the site alone
    QString site{};    // the site's name
    QString title{};   // as the page gave it (cut as every title is)
    QUrl link{};       // the listing's own link (ListingLink); empty when the site gives none
    QUrl page{};       // the address of the page it was found on
    // Left out by the user's words: kept, never announced.
    bool filtered = false;
    // The name of another site that announced the same job within the week: kept, not
    // announced again.
    QString alsoOn{};
    // What the card told besides, where the site's rule reads it.
    QString company{};
    QString place{};
    QString published{};
    // What the site knows the listing by (ListingKey::value); empty when read back from a
    // history that did not write it.
    QString key{};

    // Where the listing is read: its own link, else the page it was found on.
    QUrl address() const { return link.isEmpty() ? page : link; }

    bool operator==(const FoundListing&) const = default;
};

// Whether `link` may be handed to the desktop's opener: an absolute http or https address with
// a host. Anything else (a file, a custom scheme, a script) would let a page choose what runs.
bool IsOpenableLink(const QUrl& link);

// The title with the company and place it is offered by, as a notification names a listing:
// "Magazziniere · Acme Logistica, Milano".
QString TitleWithDetails(const FoundListing& listing);

}  // namespace quintavia
