#include "store/io/file_lock.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>
#include <algorithm>

#include "store/io/platform.h"

namespace quintavia {
namespace {

using namespace std::chrono_literals;

// A lock is written right after it is made: one found empty for longer than this was left by a
// holder that never wrote it, or by an older version of the program that kept an empty file.
constexpr auto kUnwrittenLockAge = 2s;

// Whether what lies at `path` cannot be the lock of a copy of the program running here.
bool CannotBeALiveLock(const QString& path, QLockFile& lock) {
    const QFileInfo info(path);
    if (info.isSymLink()) return true;  // a link to nothing too: QFileInfo::exists says false
    if (!info.exists()) return false;
    if (!info.isFile()) return true;
    qint64 pid = 0;
    QString host;
    QString app;
    if (!lock.getLockInfo(&pid, &host, &app)) {
        const QDateTime written = info.lastModified();
        return !written.isValid() || written.msecsTo(QDateTime::currentDateTime()) >
                                         std::chrono::milliseconds(kUnwrittenLockAge).count();
    }
    return !host.isEmpty() && host != QSysInfo::machineHostName();
}

}  // namespace

FileLock::FileLock(QString lockPath)
    : path_(std::move(lockPath)), lock_(std::make_unique<QLockFile>(path_)) {
    lock_->setStaleLockTime(0);  // stale only once its holder is gone
}

FileLock::~FileLock() = default;

QString FileLock::take(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // Writes take milliseconds; the pause stays short so that a writer that keeps writing does
    // not keep the lock from a waiting one.
    auto pause = 1ms;
    for (;;) {
        // Looked at before QLockFile reads the file, which would wait on a FIFO for ever.
        if (CannotBeALiveLock(path_, *lock_) && !QFile::remove(path_) && QFileInfo(path_).isDir())
            return QStringLiteral("il file di blocco %1 non è un file normale").arg(path_);
        if (lock_->tryLock(0)) return {};
        if (lock_->error() != QLockFile::LockFailedError) {
            const QFileInfo info(path_);
            if (info.exists() && !info.isFile())
                return QStringLiteral("il file di blocco %1 non è un file normale").arg(path_);
            // QLockFile keeps the system's words to itself: a file made in its place tells them.
            QFile probe(path_);
            QString why = QStringLiteral("errore sconosciuto");
            if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                why = platform::InItalian(probe.errorString());
            else if (probe.write("0\n") != 2 || !probe.flush())
                why = platform::InItalian(probe.errorString());
            if (probe.isOpen()) probe.remove();
            // A lock made but never written for want of room is this take's own.
            if (const QFileInfo made(path_); made.isFile() && made.size() == 0)
                QFile::remove(path_);
            return QStringLiteral("impossibile bloccare %1: %2").arg(path_, why);
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            busy_ = true;
            return QStringLiteral(
                       "un'altra copia del programma ha tenuto il blocco %1 per più di %2 ms")
                .arg(path_, QString::number(timeout.count()));
        }
        QThread::msleep(static_cast<unsigned long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(
                std::min<std::chrono::steady_clock::duration>(pause, deadline - now))
                .count()));
        pause = std::min(pause * 2, 20ms);
    }
}

}  // namespace quintavia
