#pragma once

#include <QHash>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

#include "core/page/page_capture.h"
#include "core/page/page_listings.h"
#include "core/page/structure_reading.h"
#include "core/sites/site_rules.h"
#include "core/watch/notices.h"

namespace quintavia {

// A site's own rule (its marker, its selector) finds nothing once the site changes its layout,
// while its cards are still there to be found by their shape. Such a site is read by structure
// until its own rule finds its listings again.

// So many program loads in a row of the site's pages must find nothing by its own rule and its
// cards by structure: a page caught mid-change, or a board's bad hour, is no new layout.
inline constexpr int kBlindLoadsToReadByStructure = 3;
// The fewest cards a reading by structure must find to stand in for a site's own rule.
inline constexpr int kConfidentCards = 3;

// Whether the structure reading of `capture` found the site's listings with confidence: enough
// cards, with the selectors that find them again, in a page of the site that loaded and is
// neither a consent wall nor a bot check. A selector that does not parse is a fault of the
// rule, which no reading by structure hides.
bool ConfidentStructure(const SiteRule& rule, const PageCapture& capture);

// The site as it is read by structure: the same site, its listings found by their shape.
SiteRule ByStructure(const SiteRule& rule);

// What the structure reading of `capture` gives, as the rule's own reading would give it.
PageListings StructureListings(const SiteRule& rule, const PageCapture& capture);

// What outlives the run of the sites read by structure.
struct StructureKept {
    // By site id: the selectors found at the site's first good reading, or found again since.
    QMap<QString, StructureSelectors> selectors;
    // The sites read by structure in place of their own rule, sorted.
    QStringList healed;

    bool operator==(const StructureKept&) const = default;
};

// Which sites are read by structure in place of their own rule.
class SiteHealing {
  public:
    enum class Step {
        Same,
        ReadByStructure,  // the site's own rule went blind: read by structure from now on
        OwnRuleAgain,     // its own rule finds its listings again, and is used again
    };
    // A load the program asked for, and whether the site's own rule found its listings there.
    // A site read by structure by its own rule is never healed.
    Step observe(const SiteRule& rule, const PageCapture& capture, bool ownFound);

    bool healed(const QString& siteId) const { return healed_.contains(siteId); }
    QStringList healedSites() const;
    void restore(const QStringList& siteIds);

  private:
    QHash<QString, int> blindInARow_;
    QSet<QString> healed_;
};

// The one notice of a site whose listings are found by structure from now on.
Notice ReadByStructureNotice(const QString& site);

}  // namespace quintavia
