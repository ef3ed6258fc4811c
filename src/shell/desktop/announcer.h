#pragma once

#include <QObject>

#include "core/watch/notices.h"
#include "core/watch/watch_controller.h"
#include "shell/desktop/beep.h"
#include "shell/desktop/qt_sound.h"
#include "store/history_file.h"

class QSystemTrayIcon;

namespace quintavia {

class DesktopNotifier;

// Carries out what the watch decided to tell beyond the window: the site's alert sound, the
// desktop's notifications and the history's lines. It decides nothing: what the outcome holds
// is done, and nothing else.
class Announcer final : public QObject {
    Q_OBJECT
  public:
    // `beep` stands in for a sound that cannot play; `tray` shows the notifications where the
    // tray is the platform's way (Windows).
    Announcer(Beep& beep, QSystemTrayIcon* tray, QObject* parent);

    // The site's alert sound, when the listing says so.
    void announce(const NewListing& listing);
    void notify(const Notice& notice);
    // Appends the lines to the history, in order.
    void record(const QStringList& lines);
    // Opens the history with the desktop's program for it, made with its header if need be.
    void openHistory();

    DesktopNotifier* notifier() const { return notifier_; }
    const HistoryFile& history() const { return history_; }

  signals:
    // The user clicked one of the notifications shown: what its notice asked a click to do,
    // and its link.
    void notificationActivated(quintavia::NoticeAction action, const QUrl& link);

  private:
    QtSound sound_;
    HistoryFile history_;
    DesktopNotifier* notifier_ = nullptr;
    // A history that cannot be written is reported once, not at every entry.
    bool historyFailing_ = false;
    QString lastWarning_;
};

}  // namespace quintavia
