#pragma once

#include <QDBusContext>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace quintavia::e2e {

// Stands in for the desktop's notification service (org.freedesktop.Notifications) on the
// test program's own session bus, through a connection of its own, as another process would.
// It records each Notify call and answers with increasing ids, or never answers; it tells
// the capabilities it is given, counting the questions; it can tell that the user clicked a
// notification. It leaves the bus when it goes.
class NotificationStandIn final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    enum class Answers { Always, Never };

    struct Call {
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
        uint id = 0;  // what was or would have been answered
    };

    // What a desktop that shows markup in bodies says.
    static QStringList MarkupCapabilities() {
        return {QStringLiteral("actions"), QStringLiteral("body"), QStringLiteral("body-markup")};
    }

    explicit NotificationStandIn(const QByteArray& busAddress, Answers answers = Answers::Always,
                                 QStringList capabilities = MarkupCapabilities());
    ~NotificationStandIn() override;

    // Whether it owns the service's name on the bus.
    bool registered() const { return registered_; }
    const QList<Call>& calls() const { return calls_; }
    int capabilityQuestions() const { return capabilityQuestions_; }
    // The calls whose summary is `summary`.
    QList<Call> callsWithSummary(const QString& summary) const;
    // The ids the program took back (CloseNotification), in order.
    const QList<uint>& closed() const { return closed_; }

    // The user clicked the notification `id` (action "default") or one of its buttons.
    void invokeAction(uint id, const QString& actionKey);

  public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout);
    QStringList GetCapabilities();
    void CloseNotification(uint id);
    QString GetServerInformation(QString& vendor, QString& version, QString& protocolVersion);

  signals:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);

  private:
    QString connectionName_;
    Answers answers_;
    QStringList capabilities_;
    int capabilityQuestions_ = 0;
    bool registered_ = false;
    uint nextId_ = 1;
    QList<Call> calls_;
    QList<uint> closed_;
    // The calls left unanswered, kept so that they stay pending.
    QList<QDBusMessage> unanswered_;
};

}  // namespace quintavia::e2e
