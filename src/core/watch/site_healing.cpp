#include "core/watch/site_healing.h"

#include <algorithm>

#include "core/page/page_walls.h"

namespace quintavia {

bool ConfidentStructure(const SiteRule& rule, const PageCapture& capture) {
    if (!capture.structure || !capture.markup || capture.selectorFault) return false;
    if (!capture.loadSucceeded || capture.httpStatus >= 400 || !IsRulePage(rule, capture.url))
        return false;
    if (capture.structure->listings.size() < kConfidentCards ||
        capture.structure->selectors.isEmpty())
        return false;
    // Cards behind a wall are the wall's buttons, or a page the wall hides: the layout has not
    // changed, the user has something to do.
    return !DetectWall(*capture.markup);
}

SiteRule ByStructure(const SiteRule& rule) {
    SiteRule read = rule;
    read.findBy = FindBy::Structure;
    read.marker.clear();
    read.selector.clear();
    read.linkSelector.clear();
    read.companySelector.clear();
    read.placeSelector.clear();
    read.dateSelector.clear();
    read.key.clear();
    read.jobAddress.clear();
    return read;
}

PageListings StructureListings(const SiteRule& rule, const PageCapture& capture) {
    PageListings read;
    if (!capture.structure || !capture.markup || !IsRulePage(rule, capture.url)) return read;
    read.listings = PlainListings(capture.structure->listings);
    read.seen = !read.listings.isEmpty();
    return read;
}

SiteHealing::Step SiteHealing::observe(const SiteRule& rule, const PageCapture& capture,
                                       bool ownFound) {
    if (rule.findBy == FindBy::Structure) return Step::Same;
    const QString& id = rule.id;
    if (ownFound) {
        blindInARow_.remove(id);
        return healed_.remove(id) ? Step::OwnRuleAgain : Step::Same;
    }
    if (healed_.contains(id)) return Step::Same;
    // Only an unbroken row counts: a wall, an error or a page without cards starts it again.
    if (!ConfidentStructure(rule, capture)) {
        blindInARow_.remove(id);
        return Step::Same;
    }
    if (++blindInARow_[id] < kBlindLoadsToReadByStructure) return Step::Same;
    blindInARow_.remove(id);
    healed_.insert(id);
    return Step::ReadByStructure;
}

QStringList SiteHealing::healedSites() const {
    QStringList ids(healed_.begin(), healed_.end());
    std::sort(ids.begin(), ids.end());
    return ids;
}

void SiteHealing::restore(const QStringList& siteIds) {
    healed_ = QSet<QString>(siteIds.begin(), siteIds.end());
    blindInARow_.clear();
}

Notice ReadByStructureNotice(const QString& site) {
    return {QStringLiteral("%1 ha cambiato aspetto").arg(site),
            QStringLiteral("Quintavia ora ne trova gli annunci da sé. Se non sono quelli giusti, "
                           "scegli un altro sito in Impostazioni.")};
}

}  // namespace quintavia
