#include "app/form1_logic.h"

#include "app/pane_layout.h"
#include "popup/new_window_filter.h"
#include "search/countdown.h"
#include "settings/persisted_state.h"
#include "settings/scroll_positions.h"
#include "watch/listing_probe.h"
#include "watch/sound_files.h"

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

bool Form1Logic::onDownloadComplete(int site) {
    // The first failing step ends the handling: nothing after it runs, the scroll restore
    // included, and nothing is reported.
    if (!IsSiteIndex(site)) return false;
    Pane* pane = parts_.panes[site];
    PaneDocument* document = pane ? pane->document() : nullptr;
    if (!document) return false;
    const std::optional<QString> markup = document->outerHtml();
    if (!markup) return false;
    const NewestListing found = FindNewestListing(*markup, ListingMarker[site]);
    if (found.outcome != ProbeOutcome::Title) return false;

    if (!found.title.isEmpty() && found.title != LastListing[site]) {
        // Stored before it is logged: a title whose entry cannot be added counts as seen.
        LastListing[site] = found.title;
        const QString entry = SiteLabel[site] + QStringLiteral(": ") + LastListing[site];
        if (!parts_.controls.appendLogEntry(entry)) return false;
        if (!parts_.controls.setLogText(entry)) return false;
        if (parts_.controls.checkValue(CheckBox::Check2) == kTicked) {
            if (!parts_.sound) return false;
            parts_.sound->play(soundPath(site));
        }
    }

    if (parts_.controls.checkValue(CheckBox::Check1) == kTicked) return restorePositions(site);
    return true;
}

bool Form1Logic::restorePositions(int site) {
    return RestoreScrollPositions(parts_.store, parts_.panes[static_cast<std::size_t>(site)], site);
}

QString Form1Logic::soundPath(int site) const {
    return SoundFile(site, parts_.programFolder);
}

void Form1Logic::onTimerTick() {
    // Each step stands alone: a failing one is skipped and the next one runs.
    const std::optional<double> count = CountToNumber(parts_.controls.timerTag());
    if (!count || *count == 0) {
        parts_.controls.setTimerTag(kCountdownStart);
        RefreshPanes();
    }
    if (const std::optional<double> left = CountToNumber(parts_.controls.timerTag()))
        parts_.controls.setTimerTag(NumberToCount(*left - 1));
    parts_.controls.setTitle(
        CountdownTitle(parts_.controls.timerTag(), parts_.controls.windowState()));
}

bool Form1Logic::onUnload() {
    return PersistState(parts_.store, parts_.controls, LastListing);
}

void Form1Logic::onSavePositionsClicked() {
    SaveScrollPositions(parts_.store, parts_.panes);
}

void Form1Logic::onResize() {
    LayOutPanes(parts_.controls, parts_.panes);
}

bool Form1Logic::onLabelToggle() {
    return ShowPaneLabels(parts_.controls);
}

void Form1Logic::onNewWindow(int site, bool& cancel) {
    Pane* pane = IsSiteIndex(site) ? parts_.panes[static_cast<std::size_t>(site)] : nullptr;
    const NewWindowVerdict verdict = FilterNewWindow(ReadNewWindowFacts(pane));
    // The window is stopped before anything sounds.
    if (verdict.stop) cancel = true;
    if (verdict.beep && parts_.beep) parts_.beep->beep();
}

}  // namespace quintavia
