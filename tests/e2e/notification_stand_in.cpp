#include "notification_stand_in.h"

#include <QDBusConnection>
#include <utility>

namespace quintavia::e2e {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

}  // namespace

NotificationStandIn::NotificationStandIn(const QByteArray& busAddress, Answers answers,
                                         QStringList capabilities)
    : answers_(answers), capabilities_(std::move(capabilities)) {
    static int instances = 0;
    connectionName_ = QStringLiteral("notification-stand-in-%1").arg(++instances);
    QDBusConnection bus =
        QDBusConnection::connectToBus(QString::fromLocal8Bit(busAddress), connectionName_);
    if (!bus.isConnected()) return;
    registered_ =
        bus.registerObject(kPath, this,
                           QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) &&
        bus.registerService(kService);
}

NotificationStandIn::~NotificationStandIn() {
    {
        QDBusConnection bus(connectionName_);
        bus.unregisterService(kService);
        bus.unregisterObject(kPath);
    }
    QDBusConnection::disconnectFromBus(connectionName_);
}

QList<NotificationStandIn::Call> NotificationStandIn::callsWithSummary(
    const QString& summary) const {
    QList<Call> found;
    for (const Call& call : calls_)
        if (call.summary == summary) found << call;
    return found;
}

void NotificationStandIn::invokeAction(uint id, const QString& actionKey) {
    emit ActionInvoked(id, actionKey);
}

uint NotificationStandIn::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                 const QString& summary, const QString& body,
                                 const QStringList& actions, const QVariantMap& hints,
                                 int expireTimeout) {
    const uint id = nextId_++;
    calls_ << Call{appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout, id};
    if (answers_ == Answers::Never) {
        setDelayedReply(true);
        unanswered_ << message();
        return 0;
    }
    return id;
}

QStringList NotificationStandIn::GetCapabilities() {
    ++capabilityQuestions_;
    return capabilities_;
}

void NotificationStandIn::CloseNotification(uint id) {
    closed_ << id;
    emit NotificationClosed(id, 3);
}

QString NotificationStandIn::GetServerInformation(QString& vendor, QString& version,
                                                  QString& protocolVersion) {
    vendor = QStringLiteral("Quintavia tests");
    version = QStringLiteral("1");
    protocolVersion = QStringLiteral("1.2");
    return QStringLiteral("notification stand-in");
}

}  // namespace quintavia::e2e
