#pragma once

#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "core/watch_controller.h"
#include "settings/settings_file.h"
#include "shell/pane_grid_widget.h"
#include "shell/qt_beep.h"
#include "shell/qt_sound.h"
#include "shell/region_box.h"
#include "shell/tri_state_check_box.h"

class QWebEngineProfile;

namespace quintavia {

class DesktopPresence;

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
    void startUp(const Settings& stored);

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
    DesktopPresence* presence() const { return presence_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildTopBand();
    void layOutTopBand();
    void applyTabOrder();
    void wire();
    void load(const Addresses& addresses);
    void apply(int site, const PageOutcome& outcome);
    void savePositions();
    void storeListings();
    WindowState state() const;

    SettingsFile& store_;
    QtBeep platformBeep_;
    Beep& beep_;
    QtSound sound_;
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

    DesktopPresence* presence_ = nullptr;

    bool shutDownDone_ = false;
    bool settingsSaved_ = true;
};

}  // namespace quintavia
