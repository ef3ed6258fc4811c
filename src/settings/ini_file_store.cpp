#include "settings/ini_file_store.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "settings/ini_document.h"

namespace quintavia {
namespace {

// Far beyond anything the program writes: a larger file is not its settings file.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;
constexpr qint64 kReadPiece = 16 * 1024;

struct FileContent {
    enum Outcome { Absent, Read, Unreadable, Corrupt } outcome;
    IniDocument doc{};
    QString error{};
};

FileContent ReadFile(const QString& path) {
    QFile file(path);
    if (!file.exists()) return {FileContent::Absent};
    if (!file.open(QIODevice::ReadOnly)) return {FileContent::Unreadable, {}, file.errorString()};
    // As much as the file holds, then in pieces should it have grown meanwhile: a read of the
    // whole limit at once would allocate all of it every time.
    QByteArray bytes = file.read(std::min(file.size(), kMaxFileSize) + 1);
    while (bytes.size() <= kMaxFileSize) {
        const QByteArray piece = file.read(kReadPiece);
        if (piece.isEmpty()) break;
        bytes += piece;
    }
    if (file.error() != QFileDevice::NoError)
        return {FileContent::Unreadable, {}, file.errorString()};
    if (bytes.size() > kMaxFileSize) return {FileContent::Corrupt};
    std::optional<IniDocument> doc = IniDocument::parse(bytes);
    if (!doc) return {FileContent::Corrupt};
    return {FileContent::Read, std::move(*doc)};
}

}  // namespace

IniFileStore::IniFileStore(QString folder) : folder_(std::move(folder)) {}

QString IniFileStore::filePath(const QString& app) const {
    if (folder_.isEmpty() || !IsIniName(app) || app.contains(u'/') || app == u"." || app == u"..")
        return {};
    return folder_ + u'/' + app + u'/' + app + QLatin1String(".ini");
}

QString IniFileStore::GetSetting(const QString& app, const QString& section, const QString& key,
                                 const QString& defaultValue) {
    const QString path = filePath(app);
    if (path.isEmpty() || !IsIniName(section) || !IsIniName(key)) return defaultValue;
    const FileContent content = ReadFile(path);
    if (content.outcome != FileContent::Read) return defaultValue;
    return content.doc.value(section, key).value_or(defaultValue);
}

bool IniFileStore::SaveSetting(const QString& app, const QString& section, const QString& key,
                               const QString& value) {
    if (folder_.isEmpty())
        return fail(QStringLiteral("cannot save the settings: no configuration folder is known"));
    const QString path = filePath(app);
    if (path.isEmpty() || !IsIniName(section) || !IsIniName(key)) {
        return fail(QStringLiteral("cannot save %1 [%2] %3: not a name the settings file can hold")
                        .arg(app, section, key));
    }

    FileContent content = ReadFile(path);
    // What could not be read is not replaced; a corrupt file holds nothing to keep.
    if (content.outcome == FileContent::Unreadable)
        return fail(QStringLiteral("cannot read %1: %2").arg(path, content.error));
    IniDocument doc = content.outcome == FileContent::Read ? std::move(content.doc) : IniDocument();
    doc.setValue(section, key, value);

    const QString folder = QFileInfo(path).absolutePath();
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdU16String()), error);
    if (error) {
        return fail(QStringLiteral("cannot create %1: %2")
                        .arg(folder, QString::fromLocal8Bit(error.message())));
    }

    // Written beside the file and renamed over it once complete and on disk. QSaveFile's
    // commit() overlooks a failed flush of its buffer (it then puts an empty file in place) and
    // a failed sync, so the writes go unbuffered and the sync is checked here.
    QSaveFile file(path);
    const QByteArray bytes = doc.toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size())
        return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
#ifdef Q_OS_UNIX
    if (::fdatasync(file.handle()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return fail(QStringLiteral("cannot write %1: %2").arg(path, reason));
    }
#endif
    if (!file.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return true;
}

bool IniFileStore::fail(const QString& error) {
    lastError_ = error;
    return false;
}

}  // namespace quintavia
