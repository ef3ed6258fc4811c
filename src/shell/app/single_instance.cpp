#include "shell/app/single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include "store/io/file_lock.h"

namespace quintavia {
namespace {

constexpr char kShow[] = "mostra\n";
constexpr char kShown[] = "ok\n";

// The socket's name: in the user's runtime folder, which only the user can enter, after the
// settings folder it stands for (a hash: socket paths are short).
QString SocketName(const QString& settingsFolder) {
    const QByteArray folder = QFile::encodeName(QDir(settingsFolder).absolutePath());
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(folder, QCryptographicHash::Sha256).toHex().left(16));
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) runtime = QDir::tempPath();
    return runtime + QStringLiteral("/quintavia-") + hash;
}

// Beside the socket: the settings folder holds the user's own files alone, and a run that
// was killed leaves its lock behind.
QString LockPath(const QString& settingsFolder) {
    return SocketName(settingsFolder) + QStringLiteral(".lock");
}

}  // namespace

SingleInstance::~SingleInstance() {
    // The socket goes before the lock lets another run listen in its place.
    delete server_;
    server_ = nullptr;
}

std::unique_ptr<SingleInstance> SingleInstance::claim(const QString& settingsFolder) {
    std::unique_ptr<SingleInstance> instance(new SingleInstance);
    if (settingsFolder.isEmpty()) return instance;
    auto lock = std::make_unique<FileLock>(LockPath(settingsFolder));
    if (!lock->take(std::chrono::milliseconds(0)).isEmpty())
        return lock->busy() ? nullptr : std::move(instance);
    instance->lock_ = std::move(lock);

    // A socket left by a run that was killed is nobody's: the lock is ours.
    const QString name = SocketName(settingsFolder);
    QLocalServer::removeServer(name);
    auto* server = new QLocalServer(instance.get());
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        delete server;
        return instance;
    }
    SingleInstance* self = instance.get();
    connect(server, &QLocalServer::newConnection, self, [self, server] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, self, [self, socket] {
                if (!socket->canReadLine()) return;
                if (socket->readLine(64) == kShow) {
                    emit self->showAsked();
                    socket->write(kShown);
                }
                socket->disconnectFromServer();
            });
        }
    });
    instance->server_ = server;
    return instance;
}

bool SingleInstance::askToShow(const QString& settingsFolder, std::chrono::milliseconds wait) {
    const QString name = SocketName(settingsFolder);
    const QDeadlineTimer deadline(wait);
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(1000)) {
            socket.write(kShow);
            if (socket.waitForBytesWritten(1000)) {
                while (!socket.canReadLine() && socket.waitForReadyRead(2000)) {
                }
                if (socket.readLine(64) == kShown) return true;
            }
        }
        if (deadline.hasExpired()) return false;
        // The other run holds the lock but listens only once it has started.
        QThread::msleep(100);
    }
}

}  // namespace quintavia
