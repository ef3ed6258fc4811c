#include "store/ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <utility>

#include "store/io/platform.h"

#ifdef Q_OS_UNIX
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quintavia {
QString RefusalAt(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink())
        return QStringLiteral("è un collegamento simbolico, che non viene seguito");
    if (info.exists() && !info.isFile()) return QStringLiteral("non è un file normale");
    return {};
}

namespace {

FileBytes ReadOpened(QFile& file, qint64 maxBytes) {
    // One byte past the limit tells a file over it, whatever its size said a moment ago.
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return {FileRead::Unreadable, {}, platform::InItalian(file.errorString())};
    if (bytes.size() > maxBytes) {
        return {FileRead::NotText, {}, QStringLiteral("supera %1 MiB").arg(maxBytes / 1024 / 1024)};
    }
    return {FileRead::Text, std::move(bytes)};
}

// The regular file of the user's that the link at `path` leads to.
FileBytes ReadThroughLink(const QString& path, qint64 maxBytes) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            return {FileRead::Unreadable,
                    {},
                    QStringLiteral("è un collegamento simbolico che non porta a nulla")};
        return {FileRead::Unreadable, {}, platform::ErrorText(error)};
    }
    struct stat target {};
    QString refused;
    if (::fstat(fd, &target) != 0 || !S_ISREG(target.st_mode))
        refused =
            QStringLiteral("è un collegamento simbolico a qualcosa che non è un file normale");
    else if (target.st_uid != ::geteuid())
        refused = QStringLiteral("è un collegamento simbolico a un file di un altro utente");
    if (!refused.isEmpty()) {
        ::close(fd);
        return {FileRead::Refused, {}, std::move(refused)};
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {FileRead::Unreadable, {}, platform::InItalian(file.errorString())};
    }
    return ReadOpened(file, maxBytes);
#else
    return ReadFileBytes(path, maxBytes);
#endif
}

}  // namespace

FileBytes ReadFileBytes(const QString& path, qint64 maxBytes) {
    if (QString refused = RefusalAt(path); !refused.isEmpty())
        return {FileRead::Refused, {}, std::move(refused)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists()) return {FileRead::Absent};
        return {FileRead::Unreadable, {}, platform::InItalian(file.errorString())};
    }
    return ReadOpened(file, maxBytes);
}

FileRead ReadIniFile(const QString& path, qint64 maxBytes, Links links) {
    FileBytes read = links == Links::FollowedToOwnFile && QFileInfo(path).isSymLink()
                         ? ReadThroughLink(path, maxBytes)
                         : ReadFileBytes(path, maxBytes);
    if (read.kind != FileRead::Text) return {read.kind, {}, std::move(read.reason)};
    const QByteArray& bytes = read.bytes;
    if (bytes.contains('\0')) return {FileRead::NotText, {}, QStringLiteral("contiene byte NUL")};
    std::optional<IniDocument> doc = IniDocument::parse(bytes);
    if (!doc) return {FileRead::NotText, {}, QStringLiteral("non è testo UTF-8 valido")};
    return {FileRead::Text, std::move(*doc)};
}

}  // namespace quintavia
