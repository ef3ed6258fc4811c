#include "store/unopened_file.h"

#include <QFileInfo>
#include <utility>

#include "store/ini_file.h"
#include "store/io/atomic_file.h"

namespace quintavia {

UnopenedFile::UnopenedFile(QString path) : path_(std::move(path)) {}

QString UnopenedFile::PathBeside(const QString& historyPath) {
    if (historyPath.isEmpty()) return {};
    return QFileInfo(historyPath).absolutePath() + QStringLiteral("/da-aprire.txt");
}

QStringList UnopenedFile::load(QString* warning) const {
    if (path_.isEmpty()) return {};
    const FileBytes read = ReadFileBytes(path_, kMaxFileSize);
    if (read.kind == FileRead::Absent) return {};
    if (read.kind != FileRead::Text) {
        if (warning)
            *warning = QStringLiteral("impossibile leggere %1: %2").arg(path_, read.reason);
        return {};
    }
    QStringList addresses;
    for (const QString& line : QString::fromUtf8(read.bytes).split(u'\n', Qt::SkipEmptyParts))
        if (const QString address = line.trimmed(); !address.isEmpty()) addresses << address;
    return addresses;
}

WriteResult UnopenedFile::save(const QStringList& addresses) {
    WriteResult result;
    if (path_.isEmpty()) return result;
    if (savedKnown_ && addresses == saved_) return result;
    if (!savedKnown_ && addresses.isEmpty() && !QFileInfo::exists(path_)) {
        savedKnown_ = true;
        return result;
    }
    QByteArray bytes;
    for (const QString& address : addresses) bytes += address.toUtf8() + '\n';
    if (const QString error = ReplaceFile(path_, bytes); !error.isEmpty())
        return result.fail(path_, error);
    saved_ = addresses;
    savedKnown_ = true;
    return result;
}

}  // namespace quintavia
