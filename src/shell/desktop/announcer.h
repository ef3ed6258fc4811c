#pragma once

#include <QObject>

#include "core/watch/notices.h"
#include "core/watch/outcomes.h"
#include "shell/desktop/beep.h"
#include "shell/desktop/qt_sound.h"

class QSystemTrayIcon;

namespace quintavia {

class DesktopNotifier;

// Carries out what the watch decided to tell beyond the window: the site's alert sound when the
// outcome asks for it, and each notice on the desktop's notifications while their own option
// is on. The watch says what a notice would be whatever the channels; each channel decides by
// its own option whether to carry it, so a channel that is off loses nothing for the others.
class Announcer final : public QObject {
    Q_OBJECT
  public:
    // `beep` stands in for a sound that cannot play; `tray` shows the notifications where the
    // tray is the platform's way (Windows).
    Announcer(Beep& beep, QSystemTrayIcon* tray, QObject* parent);

    // "Notifiche sul desktop".
    void setDesktopOn(bool on) { desktopOn_ = on; }

    // The site's alert sound for its newest title, when it asks for one.
    void playAlert(const NewestTitle& newest);
    void notify(const Notice& notice);
    // Whatever the option: a notice shown before it was turned off is taken back all the same.
    void withdraw(const QStringList& tags);

    DesktopNotifier* notifier() const { return notifier_; }

  signals:
    // The user clicked one of the notifications shown: what its notice asked a click to do,
    // its link and its pane.
    void notificationActivated(quintavia::NoticeAction action, const QUrl& link, int pane);

  private:
    QtSound sound_;
    DesktopNotifier* notifier_ = nullptr;
    bool desktopOn_ = true;
};

}  // namespace quintavia
