#include "app/form1_logic.h"

#include "app/pane_layout.h"
#include "popup/new_window_filter.h"

namespace quintavia {

Form1Logic::Form1Logic(Form1Parts parts) : parts_(parts) {}

void Form1Logic::onLoad() {
    // Each step stands alone: a failing one is skipped and start-up goes on.
    for (const QString& region : RegionList()) parts_.controls.appendRegion(region);
    for (int i = 0; i < kSiteCount; ++i) ListingMarker[i] = QString::fromLatin1(SiteAt(i).marker);
    for (int i = 0; i < kSiteCount; ++i) SiteLabel[i] = QString::fromLatin1(SiteAt(i).logLabel);
    RegionIndex = 0;
    RefreshPanes();
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

void Form1Logic::onResize() {
    LayOutPanes(parts_.controls, parts_.panes);
}

bool Form1Logic::onLabelToggle() {
    return ShowPaneLabels(parts_.controls);
}

void Form1Logic::onNewWindow(int site, bool& cancel) {
    Pane* pane =
        site >= 0 && site < kSiteCount ? parts_.panes[static_cast<std::size_t>(site)] : nullptr;
    const NewWindowVerdict verdict = FilterNewWindow(ReadNewWindowFacts(pane));
    // The window is stopped before anything sounds.
    if (verdict.stop) cancel = true;
    if (verdict.beep && parts_.beep) parts_.beep->beep();
}

}  // namespace quintavia
