#pragma once

#include <QString>
#include <array>

#include "app/window_controls.h"
#include "browser/pane.h"
#include "popup/beep.h"
#include "search/site_table.h"
#include "settings/settings_store.h"
#include "watch/sound.h"

namespace quintavia {

using Panes = std::array<Pane*, kSiteCount>;

// What the window's event handlers act on, lent by the shell (or by tests' fakes).
struct Form1Parts {
    WindowControls& controls;
    Panes panes;
    SettingsStore* store = nullptr;
    Sound* sound = nullptr;
    Beep* beep = nullptr;
    QString programFolder;  // the folder of the executable, where the sound files are
};

// The window's state and its event handlers, free of any widget. The shell forwards every
// event it handles here, one at a time, on the user-interface thread. Handlers whose failure
// passes to the caller return false for it.
class Form1Logic {
  public:
    explicit Form1Logic(Form1Parts parts);

    void onLoad();
    bool onRegionChosen();
    bool onRefreshClicked() { return RefreshPanes(); }
    // ProbeListing, then the scroll restore; false when a step failed and ended the handling.
    bool onDownloadComplete(int site);
    void onTimerTick();
    void onResize();
    bool onLabelToggle();
    // FilterNewWindow: a page in pane `site` asks for a new window; true in `cancel` stops it.
    void onNewWindow(int site, bool& cancel);

    bool RefreshPanes();

    // The shutdown sequence; false at the first write that fails, the rest not attempted.
    bool onUnload();
    void onSavePositionsClicked();

    qint16 regionIndex() const { return RegionIndex; }
    const std::array<QString, kSiteCount>& listingMarkers() const { return ListingMarker; }
    const std::array<QString, kSiteCount>& siteLabels() const { return SiteLabel; }
    const std::array<QString, kSiteCount>& lastListings() const { return LastListing; }

  private:
    // The last step of the download-complete handling, when Check1 is exactly 1.
    bool restorePositions(int site);
    QString soundPath(int site) const;

    Form1Parts parts_;
    qint16 RegionIndex = 0;
    std::array<QString, kSiteCount> ListingMarker;
    std::array<QString, kSiteCount> SiteLabel;
    std::array<QString, kSiteCount> LastListing;
};

}  // namespace quintavia
