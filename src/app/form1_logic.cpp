#include "app/form1_logic.h"

#include "settings/persisted_state.h"
#include "settings/scroll_positions.h"

namespace quintavia {

Form1Logic::Form1Logic(Form1Parts parts) : parts_(parts) {}

void Form1Logic::onLoad() {
    // Each step stands alone: a failing one is skipped and start-up goes on.
    for (const QString& region : RegionList()) parts_.controls.appendRegion(region);
    for (int i = 0; i < kSiteCount; ++i) ListingMarker[i] = QString::fromLatin1(SiteAt(i).marker);
    for (int i = 0; i < kSiteCount; ++i) SiteLabel[i] = QString::fromLatin1(SiteAt(i).logLabel);
    RegionIndex = 0;
    RefreshPanes();
    // After the refresh: the first pages are always asked for with the design-time region.
    RestorePersistedState(parts_.store, parts_.controls, LastListing);
}

bool Form1Logic::onRegionChosen() {
    // The index is kept even when the refresh then fails.
    RegionIndex = static_cast<qint16>(parts_.controls.regionListIndex());
    return RefreshPanes();
}

bool Form1Logic::RefreshPanes() {
    // Stops at the first pane that fails; the panes after it keep what they show.
    for (int i = 0; i < kSiteCount; ++i) {
        Pane* pane = parts_.panes[i];
        const auto address = SearchAddress(i, parts_.controls.regionText(), RegionIndex);
        if (!pane || !address || !pane->navigate(*address)) return false;
    }
    return true;
}

bool Form1Logic::onUnload() {
    return PersistState(parts_.store, parts_.controls, LastListing);
}

void Form1Logic::onSavePositionsClicked() {
    SaveScrollPositions(parts_.store, parts_.panes);
}

bool Form1Logic::restorePositions(int site) {
    if (!IsSiteIndex(site)) return false;
    return RestoreScrollPositions(parts_.store, parts_.panes[static_cast<std::size_t>(site)], site);
}

// ---- Stand-in: to be merged with the listing probe's download-complete handling. ----
bool Form1Logic::onDownloadComplete(int site) {
    if (parts_.controls.checkValue(CheckBox::Check1) != kTicked) return true;
    return restorePositions(site);
}
// ---- End of stand-in. ----

}  // namespace quintavia
