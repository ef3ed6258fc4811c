#pragma once

#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "core/watch/watch_controller.h"
#include "shell/desktop/qt_beep.h"
#include "shell/window/pane_grid_widget.h"
#include "shell/window/region_box.h"
#include "shell/window/settings_dialog.h"
#include "shell/window/tri_state_check_box.h"
#include "store/listing_memory_file.h"
#include "store/settings_file.h"

class QWebEngineProfile;

namespace quintavia {

class Announcer;
class FoundListingsWindow;
class TrayIcon;

// The program's one window: the top band of controls and the grid of browser panes. It turns
// what happens to its controls and panes into calls of the watch controller and does what the
// controller answers; `store` keeps what outlives the run, and the panes' pages belong to
// `profile`, which must outlive the window.
class MainWindow final : public QWidget {
    Q_OBJECT
  public:
    // The log box keeps this many entries, the newest: a run of days would otherwise grow it
    // without limit.
    static constexpr int kLogEntriesKept = 500;

    // `beep` stands in for the platform's alert sound, for tests that listen for it.
    MainWindow(SettingsFile& store, QWebEngineProfile& profile, Beep* beep = nullptr,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Fills the region list, asks the panes for their first pages and shows what was stored;
    // runs before the window is first shown.
    void startUp(const Settings& stored, Catalogue sites = BuiltInCatalogue());

    // Stores what outlives the run, once whichever way the program ends (closing the window,
    // the session ending, a signal); later calls do nothing. A failed write is reported on
    // standard error and leaves settingsSaved() false.
    void shutDown();
    bool settingsSaved() const { return settingsSaved_; }

    // The countdown timer's tick; tools that drive the window faster than the clock call it.
    void countdownTick();

    WatchController& controller() { return controller_; }
    PaneGridWidget* paneGrid() const { return grid_; }
    WebPane* pane(int site) const { return grid_->pane(site); }
    Announcer* announcer() const { return announcer_; }
    TrayIcon* trayIcon() const { return tray_; }

    // The window back in front of the user: restored if minimized, shown if hidden, raised and
    // activated.
    void bringBack();
    // "Impostazioni", open until confirmed or cancelled; asked again, the open one comes to the
    // front. The dialog is none once closed.
    void openSettings();
    SettingsDialog* settingsDialog() const { return settingsDialog_; }
    // "Annunci trovati", made at its first showing and kept; none until then.
    void showFound();
    FoundListingsWindow* foundWindow() const { return foundWindow_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildTopBand();
    void layOutTopBand();
    void applyTabOrder();
    void wire();
    void load(const Addresses& addresses);
    // Only the panes given an address; a pane that refuses its address keeps its page.
    void reload(const std::array<std::optional<QString>, kSiteCount>& addresses);
    void applyChoices(const Choices& choices);
    void apply(int site, const PageOutcome& outcome);
    void apply(const OpenOutcome& outcome);
    void storeListingMemory();
    void refreshFound();
    void showPanes(const PaneRules& panes);
    void showToolTips(const ToolTips& tips);
    void savePositions();
    void storeListings();
    // Writes the entries, and tells on standard error what the write said; false when failed.
    bool store(const SettingsEntries& entries, const char* what);
    void toggleShown();
    WindowState state() const;

    SettingsFile& store_;
    QtBeep platformBeep_;
    Beep& beep_;
    WatchController controller_;

    RegionBox* regionBox_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QComboBox* logBox_ = nullptr;
    TriStateCheckBox* soundAlertOption_ = nullptr;
    TriStateCheckBox* autoPositionOption_ = nullptr;
    QPushButton* saveScrollButton_ = nullptr;
    TriStateCheckBox* siteLabelsOption_ = nullptr;
    PaneGridWidget* grid_ = nullptr;
    QTimer* countdownTimer_ = nullptr;
    // New titles reach the settings file within a few seconds, many at a time.
    QTimer* listingsTimer_ = nullptr;

    TrayIcon* tray_ = nullptr;
    Announcer* announcer_ = nullptr;
    QPointer<SettingsDialog> settingsDialog_;
    FoundListingsWindow* foundWindow_ = nullptr;
    // The listings the program has seen on each site: written as soon as they change, after the
    // history, so that a kill loses nothing found; what the history holds is seen at the next
    // start all the same.
    ListingMemoryFile seenFile_;
    bool seenFileFailing_ = false;

    bool shutDownDone_ = false;
    bool settingsSaved_ = true;
};

}  // namespace quintavia
