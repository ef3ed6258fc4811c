#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "core/page/structure_reading.h"
#include "core/sites/site_rules.h"

namespace quintavia {

// A board added by pasting its results address: what the user sees of the page read by
// structure, the groups of cards to choose among, and the site it becomes.

// One line of the listings found, as the list beside the page shows it: the title, then the
// company and the place where the card shows them.
QString NewSiteLine(const StructureListing& listing);

// The cards' selectors of every group the reading offers, the one it took first.
QStringList CardGroups(const StructureReading& reading);

// The id a new site of this name takes: its slug (RegionSlug), "sito" for a name without one,
// numbered from 2 while the catalogue has a site of that id.
QString NewSiteId(const QString& name, const Catalogue& catalogue);

// What keeps `name` from naming a new site, as the user is told it: none, or a name another
// site already has, which the sites file would refuse at the next start. Empty when it may.
QString NewSiteNameProblem(const QString& name, const Catalogue& catalogue);

// The site that `reading` of the pasted address makes, named `name` (blanks around it
// dropped): read by the selectors that found its cards, as `--prova-sito URL` proposes it.
// None for a name NewSiteNameProblem refuses, or without listings.
std::optional<SiteRule> NewSite(const SiteRule& read, const StructureReading& reading,
                                const QString& name, const Catalogue& catalogue);

}  // namespace quintavia
