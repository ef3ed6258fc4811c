#include "settings/settings_file.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#error "The settings file is written with POSIX calls"
#endif

#include "settings/posix_file.h"

namespace quintavia {
namespace {

using namespace std::chrono_literals;

const QString kFolderName = QStringLiteral("Quintavia");
const QString kFileName = QStringLiteral("Quintavia.ini");
constexpr qint64 kReadPiece = 16 * 1024;

using posix::Fd;
using posix::Native;
using posix::Reason;

QString TooLarge() {
    return QStringLiteral("it is larger than %1 MiB").arg(SettingsFile::kMaxFileSize / 1024 / 1024);
}

QString IsALink() {
    return QStringLiteral("it is a symbolic link, which is not followed");
}

QString NotARegularFile() {
    return QStringLiteral("it is not a regular file");
}

struct FileRead {
    enum Kind {
        Absent,
        Text,
        Refused,     // a link, or not a regular file: left alone
        Unreadable,  // a read that failed: left alone
        NotText,     // read, but not text the program wrote or could have: moved aside
    } kind;
    IniDocument doc{};
    QString reason{};  // why not Text
};

FileRead ReadFile(const QString& path) {
    const QByteArray native = Native(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        if (errno == ENOENT) return {FileRead::Absent};
        return {FileRead::Unreadable, {}, Reason(errno)};
    }
    if (S_ISLNK(st.st_mode)) return {FileRead::Refused, {}, IsALink()};
    if (!S_ISREG(st.st_mode)) return {FileRead::Refused, {}, NotARegularFile()};

    // Should another kind of file take the name meanwhile, no link is followed, no FIFO waited
    // for, and what was opened is looked at again.
    Fd fd(::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        if (errno == ENOENT) return {FileRead::Absent};
        if (errno == ELOOP) return {FileRead::Refused, {}, IsALink()};
        return {FileRead::Unreadable, {}, Reason(errno)};
    }
    if (::fstat(fd.get(), &st) != 0) return {FileRead::Unreadable, {}, Reason(errno)};
    if (!S_ISREG(st.st_mode)) return {FileRead::Refused, {}, NotARegularFile()};
    if (st.st_size > SettingsFile::kMaxFileSize) return {FileRead::NotText, {}, TooLarge()};

    // As much as the file holds and one byte more, then in pieces should it have grown
    // meanwhile: a read of the whole limit at once would allocate all of it every time.
    QByteArray bytes(static_cast<qsizetype>(st.st_size) + 1, Qt::Uninitialized);
    qsizetype have = 0;
    for (;;) {
        if (have == bytes.size()) {
            if (have > SettingsFile::kMaxFileSize) break;
            bytes.resize(std::min(have + kReadPiece, SettingsFile::kMaxFileSize + 1));
        }
        const ssize_t got =
            ::read(fd.get(), bytes.data() + have, static_cast<size_t>(bytes.size() - have));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return {FileRead::Unreadable, {}, Reason(errno)};
        if (got == 0) break;
        have += got;
    }
    bytes.truncate(have);
    if (have > SettingsFile::kMaxFileSize) return {FileRead::NotText, {}, TooLarge()};
    if (bytes.contains('\0')) return {FileRead::NotText, {}, QStringLiteral("it holds NUL bytes")};
    std::optional<IniDocument> doc = IniDocument::parse(bytes);
    if (!doc) return {FileRead::NotText, {}, QStringLiteral("it is not valid UTF-8 text")};
    return {FileRead::Text, std::move(*doc)};
}

// Makes the folder and any folder missing above it, private to the user as the XDG folders
// should be; leaves those that exist as they are.
bool MakeFolder(const QString& folder, QString* error) {
    struct stat st {};
    if (::stat(Native(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
    QString above;
    for (const QString& name : folder.split(u'/', Qt::SkipEmptyParts)) {
        above += u'/' + name;
        if (::mkdir(Native(above).constData(), 0700) != 0 && errno != EEXIST) {
            *error = Reason(errno);
            return false;
        }
    }
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

// So that a rename in the folder outlives a crash of the system: 0, or the error.
int SyncFolder(const QString& folder) {
    Fd fd(::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd) return errno;
    // Some filesystems cannot sync a folder and say so; nothing more can be done there.
    if (::fsync(fd.get()) != 0 && errno != EINVAL) return errno;
    return 0;
}

// Holds the lock beside the settings file, taken with flock(): the system lets it go when its
// holder ends, however it ends, so a writer killed mid-write leaves no lock behind that others
// would have to judge stale. The file stays, empty, for the next writer.
class WriteLock {
  public:
    // false with the reason when the lock could not be had within `timeout`.
    bool take(const QString& lockPath, std::chrono::milliseconds timeout, QString* error) {
        fd_.reset(::open(Native(lockPath).constData(),
                         O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
        if (!fd_) {
            *error =
                QStringLiteral("cannot open the lock file %1: %2").arg(lockPath, Reason(errno));
            return false;
        }
        struct stat st {};
        if (::fstat(fd_.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
            *error = QStringLiteral("the lock file %1 is not a regular file").arg(lockPath);
            return false;
        }
        // Polled rather than waited for in the kernel, so that the wait has an end. Writes
        // take milliseconds; the pause stays short so that a writer that keeps writing does
        // not keep the lock from a waiting one.
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::chrono::milliseconds pause = 1ms;
        for (;;) {
            if (::flock(fd_.get(), LOCK_EX | LOCK_NB) == 0) return true;
            if (errno == EINTR) continue;
            if (errno != EWOULDBLOCK) {
                *error = QStringLiteral("cannot lock %1: %2").arg(lockPath, Reason(errno));
                return false;
            }
            const auto now = std::chrono::steady_clock::now();
            if (now >= deadline) {
                *error =
                    QStringLiteral("another copy of the program held the lock %1 for over %2 ms")
                        .arg(lockPath, QString::number(timeout.count()));
                return false;
            }
            std::this_thread::sleep_for(
                std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
            pause = std::min<std::chrono::milliseconds>(pause * 2, 20ms);
        }
    }

  private:
    Fd fd_;
};

// Renames, failing with EEXIST rather than replacing what `to` names.
bool RenameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A filesystem without that kind of rename: a hard link never replaces either.
    if (::link(from.constData(), to.constData()) != 0) return false;
    if (::unlink(from.constData()) != 0) {
        const int error = errno;
        ::unlink(to.constData());
        errno = error;
        return false;
    }
    return true;
}

// Moves the file to a name of its own beside it: "<name>.bad" the first time, then with the
// time, then numbered, never over a file moved aside before.
std::optional<QString> SetAside(const QString& path, QString* error) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString aside = path + QLatin1String(".bad");
        if (attempt > 0) aside += u'-' + stamp;
        if (attempt > 1) aside += u'-' + QString::number(attempt);
        if (RenameNoReplace(Native(path), Native(aside))) {
            // Unsynced, a crash at worst brings the file back, to be moved aside again.
            SyncFolder(QFileInfo(path).absolutePath());
            return aside;
        }
        if (errno != EEXIST) {
            *error = Reason(errno);
            return std::nullopt;
        }
    }
    *error = QStringLiteral("every name for it is taken");
    return std::nullopt;
}

// The file as it is now, for a write to change, with the lock held: empty when there is none,
// or when it was not text and has been moved aside (with a warning for that). nullopt with the
// reason when it must not be replaced.
std::optional<IniDocument> ReadForUpdate(const QString& path, QStringList* warnings,
                                         QString* error) {
    FileRead read = ReadFile(path);
    switch (read.kind) {
        case FileRead::Absent:
            return IniDocument();
        case FileRead::Text:
            return std::move(read.doc);
        case FileRead::Refused:
            *error = read.reason;
            return std::nullopt;
        case FileRead::Unreadable:
            *error =
                QStringLiteral("it cannot be read (%1), so it is not replaced").arg(read.reason);
            return std::nullopt;
        case FileRead::NotText:
            break;
    }
    QString why;
    const std::optional<QString> aside = SetAside(path, &why);
    if (!aside) {
        *error = QStringLiteral("it cannot be read as settings (%1) and cannot be moved aside (%2)")
                     .arg(read.reason, why);
        return std::nullopt;
    }
    warnings->append(QStringLiteral("%1 could not be read as settings (%2) and was moved to %3; "
                                    "its values are not used")
                         .arg(path, read.reason, *aside));
    return IniDocument();
}

QString LockPath(const QString& path) {
    return path + QLatin1String(".lock");
}

QString TemporaryPrefix(const QString& path) {
    return path + QLatin1String(".new-");
}

// Temporary files that killed writers left behind; only the lock holder can be writing one.
void RemoveLeftovers(const QString& path) {
    const QFileInfo file(path);
    const QByteArray prefix = Native(QFileInfo(TemporaryPrefix(path)).fileName());
    const QByteArray folder = Native(file.absolutePath());
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith(prefix) && name.size() == prefix.size() + 6)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace

SettingsFile::SettingsFile(QString path) : path_(std::move(path)) {}

QString SettingsFile::UserPath() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty()) return {};
    return config + u'/' + kFolderName + u'/' + kFileName;
}

SettingsFile::Loaded SettingsFile::load() {
    Loaded loaded;
    if (path_.isEmpty()) {
        loaded.warnings.append(
            QStringLiteral("no configuration folder is known: the settings start from their "
                           "defaults and are not saved"));
        return loaded;
    }
    const FileRead read = ReadFile(path_);
    switch (read.kind) {
        case FileRead::Absent:
            return loaded;
        case FileRead::Text:
            loaded.settings = ReadSettings(read.doc);
            return loaded;
        case FileRead::Refused:
        case FileRead::Unreadable:
            loaded.warnings.append(QStringLiteral("cannot read %1: %2; the settings start from "
                                                  "their defaults and are not saved over it")
                                       .arg(path_, read.reason));
            return loaded;
        case FileRead::NotText:
            break;
    }

    // Moved aside under the lock, in case another copy of the program has just replaced it.
    WriteLock lock;
    QString error;
    std::optional<IniDocument> doc;
    if (lock.take(LockPath(path_), lockTimeout_, &error))
        doc = ReadForUpdate(path_, &loaded.warnings, &error);
    else
        error = QStringLiteral("it cannot be read as settings (%1) and cannot be moved aside (%2)")
                    .arg(read.reason, error);
    if (!doc) {
        loaded.warnings.append(
            QStringLiteral("cannot read %1: %2; it is left as it is, and the settings start from "
                           "their defaults and are not saved over it")
                .arg(path_, error));
        return loaded;
    }
    loaded.settings = ReadSettings(*doc);
    return loaded;
}

bool SettingsFile::write(const SettingsEntries& entries) {
    if (path_.isEmpty()) {
        lastError_ = QStringLiteral("cannot save the settings: no configuration folder is known");
        return false;
    }
    for (const SettingsEntry& entry : entries) {
        if (!IsIniName(entry.section) || !IsIniName(entry.key)) {
            return failWrite(QStringLiteral("\"%1\" \"%2\" is not a section and key the file can "
                                            "hold; nothing was written")
                                 .arg(entry.section, entry.key));
        }
    }

    const QString folder = QFileInfo(path_).absolutePath();
    QString error;
    if (!MakeFolder(folder, &error))
        return failWrite(QStringLiteral("cannot create the folder %1: %2").arg(folder, error));
    WriteLock lock;
    if (!lock.take(LockPath(path_), lockTimeout_, &error)) return failWrite(error);

    std::optional<IniDocument> doc = ReadForUpdate(path_, &warnings_, &error);
    if (!doc) return failWrite(error);
    ApplyEntries(*doc, entries);
    const QByteArray bytes = doc->toUtf8();
    if (bytes.size() > kMaxFileSize) {
        return failWrite(QStringLiteral("the settings would take %1 bytes, more than the %2 MiB "
                                        "the file may hold; nothing was written")
                             .arg(bytes.size())
                             .arg(kMaxFileSize / 1024 / 1024));
    }
    RemoveLeftovers(path_);

    // Written beside the file and renamed over it once complete and on disk. A rename replaces
    // the name it lands on, never what a link there points to.
    QByteArray temporary = Native(TemporaryPrefix(path_) + QLatin1String("XXXXXX"));
    Fd out(::mkostemp(temporary.data(), O_CLOEXEC));  // 0600: for the user alone
    if (!out) return failWrite(Reason(errno));
    const auto discard = [&](int reason) {
        ::unlink(temporary.constData());
        return failWrite(Reason(reason));
    };
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t put =
            ::write(out.get(), bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return discard(errno);
        done += put;
    }
    if (::fdatasync(out.get()) != 0) return discard(errno);
    if (!out.close()) return discard(errno);
    if (::rename(temporary.constData(), Native(path_).constData()) != 0) return discard(errno);
    if (const int synced = SyncFolder(folder); synced != 0) {
        return failWrite(QStringLiteral("it was replaced, but the folder could not be synced "
                                        "to disk: %1")
                             .arg(Reason(synced)));
    }
    return true;
}

QStringList SettingsFile::takeWarnings() {
    return std::exchange(warnings_, {});
}

bool SettingsFile::failWrite(const QString& reason) {
    lastError_ = QStringLiteral("cannot write %1: %2").arg(path_, reason);
    return false;
}

}  // namespace quintavia
