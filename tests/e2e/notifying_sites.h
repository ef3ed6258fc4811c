#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <memory>

#include "core/watch/notices.h"
#include "notification_stand_in.h"
#include "scripted_sites.h"
#include "shell/desktop/announcer.h"
#include "shell/desktop/desktop_notifier.h"
#include "shell/desktop/tray_icon.h"

namespace quintavia::e2e {

// Qt's messages while it lives that speak of the bus or of notifications: the program says
// nothing of a desktop without them.
class BusMessages {
  public:
    BusMessages() : previous_(qInstallMessageHandler(&BusMessages::handle)) { current_ = this; }
    ~BusMessages() {
        qInstallMessageHandler(previous_);
        current_ = nullptr;
    }
    const QStringList& seen() const { return seen_; }

  private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (current_) {
            const QString where = QString::fromLatin1(context.category ? context.category : "");
            if (text.contains(QStringLiteral("dbus"), Qt::CaseInsensitive) ||
                text.contains(QStringLiteral("d-bus"), Qt::CaseInsensitive) ||
                text.contains(QStringLiteral("notif"), Qt::CaseInsensitive) ||
                where.contains(QStringLiteral("dbus"), Qt::CaseInsensitive))
                current_->seen_ << where + QStringLiteral(": ") + text;
        }
        if (current_ && current_->previous_) current_->previous_(type, context, text);
    }

    static inline BusMessages* current_ = nullptr;
    QtMessageHandler previous_;
    QStringList seen_;
};

// A window against scripted sites, with the notification service standing in on the test
// program's own bus when the test asks for it.
class NotifyingSitesTest : public ScriptedSitesTest {
  protected:
    void TearDown() override {
        ScriptedSitesTest::TearDown();
        standIn.reset();
    }

    void StandIn(NotificationStandIn::Answers answers = NotificationStandIn::Answers::Always,
                 const QStringList& capabilities = NotificationStandIn::MarkupCapabilities()) {
        standIn = std::make_unique<NotificationStandIn>(Harness::instance().busAddress(), answers,
                                                        capabilities);
        ASSERT_TRUE(standIn->registered());
    }

    // Every notification the window has sent so far has reached the stand-in: the window's
    // notifier sends them in order on one connection, and this one goes last.
    bool AllSentNotificationsArrived() {
        static int sentinels = 0;
        const QString summary = QStringLiteral("Sentinella %1").arg(++sentinels);
        window->announcer()->notifier()->notify({summary, {}});
        return WaitFor([&] { return !standIn->callsWithSummary(summary).isEmpty(); });
    }

    // The countdown's ticks of a minute, at once: a site's held notification comes then.
    void PassAMinute() {
        for (int t = 0; t < NoticeThrottle::kQuietSeconds; ++t) window->countdownTick();
    }

    // Every message that reached the program's connection to the bus before the answer to a
    // call it makes now has been handled: signals from the stand-in, answers from the bus.
    static bool BusRoundTrip() {
        QDBusPendingCallWatcher watcher(
            QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId"))));
        bool answered = false;
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, [&] { answered = true; });
        return WaitFor([&] { return answered; });
    }

    // The calls that the window made, without the sentinels.
    QList<NotificationStandIn::Call> Notified() const {
        QList<NotificationStandIn::Call> calls;
        for (const NotificationStandIn::Call& call : standIn->calls())
            if (!call.summary.startsWith(QStringLiteral("Sentinella "))) calls << call;
        return calls;
    }

    std::unique_ptr<NotificationStandIn> standIn;
};

}  // namespace quintavia::e2e
