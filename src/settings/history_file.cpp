#include "settings/history_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <utility>

#include "core/history_csv.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#error "The history file is written with POSIX calls"
#endif

#include "settings/posix_file.h"

namespace quintavia {
namespace {

using posix::Fd;
using posix::Native;
using posix::Reason;

// The folder and any missing above it, private to the user as the XDG folders should be.
bool MakeFolder(const QString& folder, QString* error) {
    QString above;
    for (const QString& name : folder.split(u'/', Qt::SkipEmptyParts)) {
        above += u'/' + name;
        if (::mkdir(Native(above).constData(), 0700) != 0 && errno != EEXIST) {
            *error = Reason(errno);
            return false;
        }
    }
    struct stat st {};
    if (::stat(Native(folder).constData(), &st) != 0) {
        *error = Reason(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        *error = Reason(ENOTDIR);
        return false;
    }
    return true;
}

// 0, or the error.
int WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return ENOSPC;
        done += n;
    }
    return 0;
}

}  // namespace

HistoryFile::HistoryFile(QString path, qint64 rotateBytes)
    : path_(std::move(path)), rotateBytes_(rotateBytes) {}

QString HistoryFile::UserPath() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) return {};
    return data + QStringLiteral("/Quintavia/cronologia.csv");
}

bool HistoryFile::fail(const QString& reason) {
    lastError_ = QStringLiteral("cannot write %1: %2").arg(path_, reason);
    return false;
}

bool HistoryFile::append(const QString& line) {
    return write(line.toUtf8());
}

bool HistoryFile::create() {
    return write({});
}

bool HistoryFile::write(const QByteArray& bytes) {
    if (path_.isEmpty()) return fail(QStringLiteral("no data folder is known"));
    QString why;
    if (!MakeFolder(QFileInfo(path_).absolutePath(), &why)) return fail(why);
    const QByteArray native = Native(path_);
    // A copy of the program that renamed the file while this one waited for the lock: the
    // lock held is on the renamed file, and the append goes to the new one.
    for (int attempt = 0; attempt < 8; ++attempt) {
        Fd fd(::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC,
                     0600));
        if (!fd) {
            if (errno == ELOOP)
                return fail(QStringLiteral("it is a symbolic link, which is not followed"));
            return fail(Reason(errno));
        }
        while (::flock(fd.get(), LOCK_EX) != 0) {
            if (errno != EINTR) return fail(Reason(errno));
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd.get(), &held) != 0) return fail(Reason(errno));
        if (!S_ISREG(held.st_mode)) return fail(QStringLiteral("it is not a regular file"));
        if (::lstat(native.constData(), &named) != 0 || named.st_ino != held.st_ino ||
            named.st_dev != held.st_dev)
            continue;
        if (held.st_size > 0 && held.st_size + bytes.size() > rotateBytes_ && !bytes.isEmpty()) {
            if (::rename(native.constData(), Native(previousPath()).constData()) != 0)
                return fail(Reason(errno));
            continue;
        }
        // The header and the first line in one write, so that no reader sees a file that
        // begins without its header.
        const QByteArray out = held.st_size == 0 ? HistoryHeader().toUtf8() + bytes : bytes;
        if (const int error = WriteAll(fd.get(), out)) return fail(Reason(error));
        if (!fd.close()) return fail(Reason(errno));
        return true;
    }
    return fail(QStringLiteral("it kept being renamed by another copy of the program"));
}

}  // namespace quintavia
