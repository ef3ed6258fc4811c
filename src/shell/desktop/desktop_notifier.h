#pragma once

#include <QList>
#include <QObject>
#include <QUrl>
#include <optional>

#include "core/watch/notices.h"

class QSystemTrayIcon;

namespace quintavia {

// Shows notices as the desktop's own notifications: through the freedesktop notification
// service on the session bus, whether or not there is a tray; on Windows through the tray
// icon's message. Nothing waits for the desktop: a call goes out and its answer is taken when
// it comes, so a desktop without the service, without a session bus, or with a service that
// never answers costs nothing and says nothing.
//
// A body is sent as markup only to a service that lists "body-markup" among its capabilities,
// and as plain text to any other. They are asked once, and again whenever another program
// takes the service over; the notices that come meanwhile wait for the answer, a few of them.
class DesktopNotifier final : public QObject {
    Q_OBJECT
  public:
    // `tray` is used only where the tray shows the messages (Windows).
    explicit DesktopNotifier(QSystemTrayIcon* tray, QObject* parent = nullptr);

    void notify(const Notice& notice);
    // Takes back from the desktop the notices shown with this tag (Notice::tag), and drops those
    // still waiting to be shown.
    void withdraw(const QString& tag);

  signals:
    // The user clicked one of the notifications this notifier showed: what that notice asked
    // a click to do, its link and its pane.
    void activated(quintavia::NoticeAction action, const QUrl& link, int pane);

  private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

  private:
    void remember(uint id, const Notice& notice);
    void askCapabilities();
    void send(const Notice& notice);

    QSystemTrayIcon* tray_;
    bool busConnected_ = false;
    struct Shown {
        uint id = 0;
        NoticeAction action = NoticeAction::ShowWindow;
        QUrl link;
        int pane = -1;
        QString tag{};
    };
    // The ids the service gave ours, the latest last; few are open at a time.
    QList<Shown> shown_;
    // The tray shows one message at a time: a click is on the last one.
    Shown lastShown_;
    // Whether the service reads bodies as markup; none while it is being asked.
    std::optional<bool> bodyMarkup_;
    // Each question counts: an answer to one asked before the service changed hands is old.
    quint64 question_ = 0;
    QList<Notice> waiting_;
    // Tags taken back while their notice's call was on its way: its id is closed once it comes.
    QStringList withdrawnTags_;
};

}  // namespace quintavia
