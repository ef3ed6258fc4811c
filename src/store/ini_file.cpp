#include "store/ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <utility>

namespace quintavia {
QString RefusalAt(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) return QStringLiteral("it is a symbolic link, which is not followed");
    if (info.exists() && !info.isFile()) return QStringLiteral("it is not a regular file");
    return {};
}

FileBytes ReadFileBytes(const QString& path, qint64 maxBytes) {
    if (QString refused = RefusalAt(path); !refused.isEmpty())
        return {FileRead::Refused, {}, std::move(refused)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists()) return {FileRead::Absent};
        return {FileRead::Unreadable, {}, file.errorString()};
    }
    // One byte past the limit tells a file over it, whatever its size said a moment ago.
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) return {FileRead::Unreadable, {}, file.errorString()};
    if (bytes.size() > maxBytes) {
        return {FileRead::NotText,
                {},
                QStringLiteral("it is larger than %1 MiB").arg(maxBytes / 1024 / 1024)};
    }
    return {FileRead::Text, std::move(bytes)};
}

FileRead ReadIniFile(const QString& path, qint64 maxBytes) {
    FileBytes read = ReadFileBytes(path, maxBytes);
    if (read.kind != FileRead::Text) return {read.kind, {}, std::move(read.reason)};
    const QByteArray& bytes = read.bytes;
    if (bytes.contains('\0')) return {FileRead::NotText, {}, QStringLiteral("it holds NUL bytes")};
    std::optional<IniDocument> doc = IniDocument::parse(bytes);
    if (!doc) return {FileRead::NotText, {}, QStringLiteral("it is not valid UTF-8 text")};
    return {FileRead::Text, std::move(*doc)};
}

}  // namespace quintavia
