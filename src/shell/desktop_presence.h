#pragma once

#include <QIcon>
#include <QObject>
#include <memory>

#include "core/notices.h"
#include "core/watch_controller.h"
#include "settings/history_file.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace quintavia {

class DesktopNotifier;
class MainWindow;

// What the program shows of itself outside its window: the desktop's notifications of new
// listings and of sites it can no longer see, the tray icon and its menu, and the history
// file of log entries. None of it changes what is logged or stored in the settings, beyond
// the notifications option.
class DesktopPresence final : public QObject {
    Q_OBJECT
  public:
    DesktopPresence(MainWindow& window, const QIcon& icon);
    ~DesktopPresence() override;

    // Once the window has started up: the option as stored, and the tray icon where the
    // platform has a tray.
    void startUp();
    // A pane's page once the window has done what its outcome says.
    void pageApplied(int site, const PageCapture& capture, const PageOutcome& outcome);
    // Every tick of the countdown.
    void countdownTicked();

    // The window back in front of the user: restored if minimized, shown if hidden, raised and
    // activated.
    void bringWindowBack();

    DesktopNotifier* notifier() const { return notifier_; }
    QSystemTrayIcon* trayIcon() const { return tray_; }
    const HistoryFile& history() const { return history_; }

  signals:
    // "Aggiorna ora" in the tray's menu.
    void refreshAsked();

  private:
    QAction* addAction(const char* name, const QString& text);
    void toggleWindow();
    void showTrayToolTip();
    void openHistory();
    void record(const QString& line);
    void notify(const Notice& notice);

    MainWindow& window_;
    HistoryFile history_;
    std::unique_ptr<QMenu> menu_;
    QSystemTrayIcon* tray_ = nullptr;
    QAction* notificationsAction_ = nullptr;
    DesktopNotifier* notifier_ = nullptr;
    // A history that cannot be written is reported once, not at every entry.
    bool historyFailing_ = false;
};

}  // namespace quintavia
