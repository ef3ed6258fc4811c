#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <optional>

#include "core/page/listing_extraction.h"

namespace quintavia {

// A site with no marker and no selector is read by the shape of its results page: the cards of
// one shape that repeat, each with a link of the site and a title, found by a script in the
// pane's world of its own. Once found, the selectors of those cards are kept and used again, so
// that the same elements are read, and the same keys made, from one load to the next.

// What finds a site's cards again: the card itself, and within it the title, the link, the
// company and the place (each empty when the card has none, or the title is the card).
struct StructureSelectors {
    QString card;
    QString title;
    QString link;
    QString company;
    QString place;

    bool isEmpty() const { return card.isEmpty(); }
    bool operator==(const StructureSelectors&) const = default;
};

// One listing as its card shows it.
struct StructureListing {
    QString title;    // whitespace collapsed, cut as every title is
    QUrl link;        // absolute, http or https
    QString company;  // empty when the card shows none
    QString place;

    bool operator==(const StructureListing&) const = default;
};

// Another group of repeated elements the page holds, which the user may take instead.
struct CandidateGroup {
    QString card;  // the selector of its elements
    int count = 0;
    QString firstTitle;

    bool operator==(const CandidateGroup&) const = default;
};

struct StructureReading {
    QList<StructureListing> listings;  // in page order, at most kMaxListings
    StructureSelectors selectors;      // empty when nothing was found
    QList<CandidateGroup> others;      // the best first
    bool fromKept = false;             // the kept selectors still found the listings
    // Why nothing was found: "none" (no group of at least three cards), "time" (the page was
    // too big to finish within the script's time); empty when listings were found.
    QString reason;
    int pageMs = 0;  // how long the script ran in the page

    bool operator==(const StructureReading&) const = default;
};

// The most milliseconds the script spends on a page before it judges what it has looked at.
inline constexpr int kStructureBudgetMs = 1500;

// The script that reads a page by its structure, an expression for the isolated world. The
// page's links count as the site's on `domain` (empty: the page's own domain, its last two
// labels). With `kept`, the cards are read by those selectors while they find any.
QString StructureScript(const QString& domain, const StructureSelectors& kept = {});

// The script's answer as the engine hands it over; none when it is not one.
std::optional<StructureReading> StructureFromAnswer(const QVariant& answer);

// The listings as every other reading gives them.
QList<Listing> PlainListings(const QList<StructureListing>& listings);

// The selectors a site's reading is to keep: those the reading found, when it found listings
// with them and they differ from `kept`; none otherwise.
std::optional<StructureSelectors> SelectorsToKeep(const StructureSelectors& kept,
                                                  const StructureReading& reading);

// The selectors kept per site id, found at a site's first good reading by structure.
class KeptSelectors {
  public:
    // Those of the site, empty when none are kept.
    StructureSelectors of(const QString& siteId) const { return sites_.value(siteId); }
    // Keeps what `reading` found for the site; true when that changed what is kept.
    bool learn(const QString& siteId, const StructureReading& reading);
    void forget(const QString& siteId) { sites_.remove(siteId); }
    // Those an earlier run kept.
    void keep(const QString& siteId, const StructureSelectors& selectors) {
        if (!selectors.isEmpty()) sites_.insert(siteId, selectors);
    }
    const QHash<QString, StructureSelectors>& sites() const { return sites_; }

  private:
    QHash<QString, StructureSelectors> sites_;
};

}  // namespace quintavia
