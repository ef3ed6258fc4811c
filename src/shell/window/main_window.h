#pragma once

#include <QComboBox>
#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "core/watch/watch_controller.h"
#include "shell/app/keeper.h"
#include "shell/desktop/qt_beep.h"
#include "shell/window/add_site_dialog.h"
#include "shell/window/band_controls.h"
#include "shell/window/pane_grid_widget.h"
#include "shell/window/settings_dialog.h"

class QWebEngineProfile;

namespace quintavia {

class Announcer;
class BackgroundPages;
class SitesOverview;
class FirstStartHint;
class FoundListingsWindow;
class TrayIcon;

// The program's one window: the top band of controls and the grid of browser panes. It turns
// what happens to its controls and panes into calls of the watch controller and does what the
// controller answers; `keeper` keeps what outlives the run, as each answer says, and the panes'
// pages belong to `profile`, which must outlive the window.
class MainWindow final : public QWidget {
    Q_OBJECT
  public:
    // The log box keeps this many entries, the newest: a run of days would otherwise grow it
    // without limit.
    static constexpr int kLogEntriesKept = 500;

    // `beep` stands in for the platform's alert sound, for tests that listen for it.
    MainWindow(std::unique_ptr<Keeper> keeper, QWebEngineProfile& profile, Beep* beep = nullptr,
               int paneCount = kPaneCount, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Fills the region list, asks the panes for their first pages and shows what was stored;
    // runs before the window is first shown.
    void startUp(const Kept& stored, Catalogue sites = BuiltInCatalogue());

    // Stores what outlives the run, once whichever way the program ends (closing the window,
    // the session ending, a signal); later calls do nothing. A failed write is reported on
    // standard error and leaves settingsSaved() false.
    void shutDown();
    bool settingsSaved() const { return settingsSaved_; }

    // The countdown timer's tick; tools that drive the window faster than the clock call it.
    void countdownTick();

    WatchController& controller() { return controller_; }
    PaneGridWidget* paneGrid() const { return grid_; }
    WebPane* pane(int pane) const { return grid_->pane(pane); }
    Announcer* announcer() const { return announcer_; }
    Keeper& keeper() const { return *keeper_; }
    TrayIcon* trayIcon() const { return tray_; }

    // The window back in front of the user: restored if minimized, shown if hidden, raised and
    // activated.
    void bringBack();
    // "Impostazioni", open until confirmed or cancelled; asked again, the open one comes to the
    // front. The dialog is none once closed.
    void openSettings();
    SettingsDialog* settingsDialog() const { return settingsDialog_; }
    // "Aggiungi sito…", one at a time; none once closed.
    void openAddSite();
    AddSiteDialog* addSiteDialog() const { return addSiteDialog_; }
    // "Annunci trovati", made at its first showing and kept; none until then.
    void showFound();
    FoundListingsWindow* foundWindow() const { return foundWindow_; }
    // The sections of the sites file set aside at start, for "Impostazioni" to list.
    void setRefusedSections(const QList<RefusedSection>& refused);
    // The hidden pages of the sites watched without a pane.
    BackgroundPages* backgroundPages() const { return background_; }
    // "Siti seguiti", the tab beside "Annunci trovati"; none until that window is made.
    void showSites();
    SitesOverview* sitesOverview() const;
    // The line under the band at the very first start; none at any other, and hidden once it
    // was closed or the settings were opened.
    FirstStartHint* firstStartHint() const { return hint_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void layOutTopBand();
    void applyTabOrder();
    void addKeys();
    // The focus to the next part of the window (`step` 1) or to the one before (-1).
    void movePart(int step);
    void showFirstStartHint();
    FoundListingsWindow* makeFoundWindow();
    // "Siti seguiti" as things stand, when it was made.
    void refreshSites();
    void wire();
    void load(const Addresses& addresses);
    // Only the panes given an address; a pane that refuses its address keeps its page.
    void reload(const QList<std::optional<QString>>& addresses);
    void applyChoices(const Choices& choices);
    void apply(int pane, const PageOutcome& outcome);
    void apply(const OpenOutcome& outcome);
    void refreshFound();
    void showPanes(const PaneRules& panes);
    void showToolTips(const ToolTips& tips);
    void savePositions();
    void openHistory();
    void toggleShown();
    WindowState state() const;
    // "Aggiorna" and its kin: the panes, and the sites watched without a pane not held back.
    void refreshAll(const Addresses& panes);
    void loadBackground(const QList<SiteLoad>& loads);
    // What a capture's outcome asks of any site, in a pane or not.
    void applyCapture(const PageOutcome& outcome);
    // What each pane is wired to, the same for the panes of the start and those a larger grid
    // adds.
    void wirePane(int pane);
    // The grid with `count` panes, as "Impostazioni" chose it.
    void regrid(int count);

    std::unique_ptr<Keeper> keeper_;
    QtBeep platformBeep_;
    Beep& beep_;
    WatchController controller_;

    BandControls band_;
    PaneGridWidget* grid_ = nullptr;
    QTimer* countdownTimer_ = nullptr;

    TrayIcon* tray_ = nullptr;
    Announcer* announcer_ = nullptr;
    QPointer<SettingsDialog> settingsDialog_;
    FoundListingsWindow* foundWindow_ = nullptr;
    QPointer<AddSiteDialog> addSiteDialog_;

    bool shutDownDone_ = false;
    bool settingsSaved_ = true;
    QList<RefusedSection> refused_;
    BackgroundPages* background_ = nullptr;
    FirstStartHint* hint_ = nullptr;
};

// The key that shows "Annunci trovati".
inline QKeySequence FoundListingsKey() {
    return QKeySequence(Qt::CTRL | Qt::Key_L);
}

}  // namespace quintavia
