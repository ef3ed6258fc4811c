#include "shell/desktop/desktop_notifier.h"

#include <QSystemTrayIcon>
#include <utility>

#ifndef Q_OS_WIN
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QVariantMap>
#endif

namespace quintavia {
namespace {

#ifndef Q_OS_WIN
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// The program's desktop entry, and its icon in the icon theme, by the same name.
const QString kDesktopEntry = QStringLiteral("it.norvello.Quintavia");
const QString kDefaultAction = QStringLiteral("default");
// A service that never answers holds one pending call per notification until then.
constexpr int kReplyTimeoutMs = 10000;
#endif
constexpr qsizetype kShownIdsKept = 64;
// The newest notices kept while the service's capabilities are asked.
constexpr qsizetype kWaitingKept = 16;

}  // namespace

DesktopNotifier::DesktopNotifier(QSystemTrayIcon* tray, QObject* parent)
    : QObject(parent), tray_(tray) {
#ifdef Q_OS_WIN
    // Untested: the tray's balloon is the platform's notification there.
    if (tray_)
        connect(tray_, &QSystemTrayIcon::messageClicked, this,
                [this] { emit activated(lastShown_.action, lastShown_.link, lastShown_.pane); });
#else
    // A session bus does not come later in a session: without one at start there is none.
    QDBusConnection bus = QDBusConnection::sessionBus();
    busConnected_ = bus.isConnected();
    if (!busConnected_) return;
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(onNotificationClosed(uint, uint)));
    auto* owner =
        new QDBusServiceWatcher(kService, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owner, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &DesktopNotifier::askCapabilities);
    askCapabilities();
#endif
}

void DesktopNotifier::askCapabilities() {
#ifndef Q_OS_WIN
    bodyMarkup_.reset();
    const quint64 question = ++question_;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("GetCapabilities"));
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(call, kReplyTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, question](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (question != question_) return;
                const QDBusPendingReply<QStringList> reply = *finished;
                // A service that cannot say gets plain text, which every service shows as it is.
                bodyMarkup_ =
                    reply.isValid() && reply.value().contains(QStringLiteral("body-markup"));
                const QList<Notice> waiting = std::exchange(waiting_, {});
                for (const Notice& notice : waiting) send(notice);
            });
#endif
}

void DesktopNotifier::notify(const Notice& notice) {
#ifdef Q_OS_WIN
    if (tray_ && tray_->isVisible()) {
        lastShown_ = {0, notice.action, notice.link, notice.pane, notice.tag};
        tray_->showMessage(notice.summary, NoticeBody(notice.body, false),
                           QSystemTrayIcon::Information,
                           notice.timeoutMs < 0 ? 10000 : notice.timeoutMs);
    }
#else
    if (!busConnected_) return;
    if (!bodyMarkup_) {
        waiting_.append(notice);
        if (waiting_.size() > kWaitingKept) waiting_.removeFirst();
        return;
    }
    send(notice);
#endif
}

void DesktopNotifier::withdraw(const QString& tag) {
    if (tag.isEmpty()) return;
    waiting_.removeIf([&](const Notice& notice) { return notice.tag == tag; });
#ifdef Q_OS_WIN
    if (lastShown_.tag == tag) lastShown_ = {};
#else
    if (!busConnected_) return;
    // A notice sent and not yet answered is closed when its id comes.
    if (!withdrawnTags_.contains(tag)) withdrawnTags_.append(tag);
    const QList<Shown> shown = shown_;
    for (const Shown& one : shown) {
        if (one.tag != tag) continue;
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                           QStringLiteral("CloseNotification"));
        call << one.id;
        QDBusConnection::sessionBus().asyncCall(call, kReplyTimeoutMs);
    }
    shown_.removeIf([&](const Shown& one) { return one.tag == tag; });
#endif
}

void DesktopNotifier::send(const Notice& notice) {
#ifndef Q_OS_WIN
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), kDesktopEntry},
                            {QStringLiteral("image-path"), kDesktopEntry}};
    call << QStringLiteral("Quintavia") << uint{0} << kDesktopEntry << notice.summary
         << NoticeBody(notice.body, *bodyMarkup_)
         << QStringList{kDefaultAction, QStringLiteral("Apri")} << hints
         << qint32{notice.timeoutMs};
    // A notice sent anew is wanted, whatever was taken back under its tag before.
    withdrawnTags_.removeAll(notice.tag);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kReplyTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, notice](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<uint> reply = *finished;
                if (reply.isValid()) {
                    remember(reply.value(), notice);
                    if (!notice.tag.isEmpty() && withdrawnTags_.contains(notice.tag))
                        withdraw(notice.tag);
                }
                finished->deleteLater();
            });
#endif
}

void DesktopNotifier::remember(uint id, const Notice& notice) {
    shown_.append({id, notice.action, notice.link, notice.pane, notice.tag});
    if (shown_.size() > kShownIdsKept) shown_.removeFirst();
}

void DesktopNotifier::onActionInvoked(uint id, const QString& actionKey) {
#ifndef Q_OS_WIN
    if (actionKey != kDefaultAction) return;
    for (const Shown& shown : shown_) {
        if (shown.id != id) continue;
        emit activated(shown.action, shown.link, shown.pane);
        return;
    }
#else
    Q_UNUSED(id);
    Q_UNUSED(actionKey);
#endif
}

void DesktopNotifier::onNotificationClosed(uint id, uint /*reason*/) {
    shown_.removeIf([id](const Shown& shown) { return shown.id == id; });
}

}  // namespace quintavia
