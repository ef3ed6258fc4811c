#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "core/listings/found_listing.h"
#include "core/listings/listing.h"
#include "core/listings/listing_memory.h"
#include "core/sites/site_rules.h"

namespace quintavia {

// The user's words: a new listing is announced only when its title, company or place holds
// one of `include` (when there are any) and none of them holds one of `exclude`. Each is a word or
// a few words in a row, matched whole, case and accents aside.
struct ListingFilters {
    QStringList include;
    QStringList exclude;

    bool operator==(const ListingFilters&) const = default;
};

// The words as the user typed them, comma-separated; blank ones are left out.
ListingFilters FiltersFrom(const QString& include, const QString& exclude);
// A word matches the company and the place as well as the title: an agency a user does not
// want, a province too far away, or the town the user wants to work in.
bool PassesFilters(const ListingFilters& filters, QStringView title, QStringView company = {},
                   QStringView place = {});

// A listing's folded title and company, as one load's listings are compared with the last's.
QString TitleMark(const Listing& listing);

// Whether two jobs announced are one: the same folded title, and nothing known that tells
// them apart: the same company, or one company unknown and the same place, or neither known.
bool SameJob(const Announced& one, const Announced& other);

// What one capture of a site brought.
struct News {
    // The listings never seen before on this site, in page order (the newest first on the
    // sites we know), each marked filtered or found elsewhere as it is.
    QList<FoundListing> found;
    // Per listing found: whether it is announced (neither filtered nor another site's).
    QList<bool> announced;
    // Whether the memory changed in a way worth keeping: keys learned, a search begun.
    bool memoryChanged = false;
    // Set when this load showed the site's links do not stay: one line that says so.
    QString linksChange{};

    bool operator==(const News&) const = default;
};

// Compares a capture's listings with what `memory` has seen of the site and learns them.
//
// A listing is known by its key (KeyOf); one whose key an earlier version kept, its canonical
// link, is known too. A load that brings most listings under keys never seen, nearly all with
// a title and company the last load showed, is a site whose links change at every load: it
// announces nothing, and the site is known by title and company from then on. The first
// capture of a site, and the first of another `search` (another region, other words, the site
// just chosen), only learns what it shows: a new search is not news. The keys of the listings
// still shown are kept as the newest, so that a listing never drops out of the memory while
// its page still shows it. A job that another site announced within kAnnouncedDays (SameJob)
// is recorded with that site's name and not announced again.
News FindNews(ListingMemory& memory, const SiteRule& site, const QString& search,
              const QList<Listing>& listings, const QUrl& page, const ListingFilters& filters,
              const QDateTime& when);

// What the history says was found is seen, whatever the memory says: the history is written
// first, and a run killed before it stored the memory must not announce those listings again.
// A line that names its site's id and the key is taught as it is; an older one, by the site's
// name, to every site of that name, with the key its address gives. Only sites the memory knows
// are taught, as the others' first capture learns all it shows anyway.
void LearnFromHistory(ListingMemory& memory, const QList<SiteRule>& sites,
                      const QList<FoundListing>& found);

// Keeps the memory within its bounds at `now`: each site's newest kSeenKeysKept keys, no more
// than kSeenKeyUnitsKept units of them, and of the jobs announced within kAnnouncedDays before
// `now` (any, when `now` is not valid), the newest kAnnouncedKept, their folded texts cut to
// kFoldedUnitsKept.
void KeepBounds(ListingMemory& memory, const QDateTime& now);

// Forgets the search of the site `siteId`: its next capture only learns.
void ForgetSearch(ListingMemory& memory, const QString& siteId);

// What a save writes when the file holds what another writer put there meanwhile: key by key,
// `ours` over `onDisk`. A site both know keeps our search; on the same search, the keys only
// the file has count as older than ours. The jobs announced are both lists', each once, oldest
// first. What is kept is then cut as ever (KeepBounds).
ListingMemory MergeMemories(const ListingMemory& onDisk, const ListingMemory& ours);

}  // namespace quintavia
