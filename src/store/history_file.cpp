#include "store/history_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "store/history_csv.h"
#include "store/ini_file.h"
#include "store/io/file_lock.h"
#include "store/io/platform.h"
#include "store/io/private_folder.h"
#include "store/io/user_paths.h"

namespace quintavia {
namespace {

// The whole lines of the last `maxBytes` of the file at `path`; nothing when it is not a
// regular file or cannot be read. When
// those bytes hold no line start, the line they are in is longer than the budget, as no line
// the program writes is: it is passed over, and the whole lines before it are read instead.
QString TailOf(const QString& path, qint64 maxBytes) {
    if (!RefusalAt(path).isEmpty()) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    qint64 end = file.size();
    if (end <= maxBytes) return QString::fromUtf8(file.read(maxBytes));
    // One byte before the cut too, to tell whether a line begins right at it.
    if (!file.seek(end - maxBytes - 1)) return {};
    const QByteArray bytes = file.read(maxBytes + 1);
    const qsizetype lineEnd = bytes.indexOf('\n');
    if (lineEnd >= 0 && lineEnd + 1 < bytes.size())
        return QString::fromUtf8(QByteArrayView(bytes).sliced(lineEnd + 1));
    // The long line's start: the end of the line before it, looked for back from the cut.
    constexpr qint64 kStep = 64 * 1024;
    end -= maxBytes + 1;
    qint64 lineStart = -1;
    while (end > 0 && lineStart < 0) {
        const qint64 from = std::max<qint64>(0, end - kStep);
        if (!file.seek(from)) return {};
        const QByteArray chunk = file.read(end - from);
        const qsizetype at = chunk.lastIndexOf('\n');
        if (at >= 0) lineStart = from + at + 1;
        end = from;
    }
    if (lineStart <= 0) return {};
    const qint64 from = std::max<qint64>(0, lineStart - maxBytes - 1);
    if (!file.seek(from)) return {};
    const QByteArray before = file.read(lineStart - from);
    if (from == 0) return QString::fromUtf8(before);
    const qsizetype first = before.indexOf('\n');
    if (first < 0) return {};
    return QString::fromUtf8(QByteArrayView(before).sliced(first + 1));
}

}  // namespace

HistoryFile::HistoryFile(QString path, qint64 rotateBytes)
    : path_(std::move(path)), rotateBytes_(rotateBytes) {}

QString HistoryFile::UserPath() {
    return UserDataFile(u"cronologia.csv");
}

WriteResult HistoryFile::append(const QString& line) {
    return write(line.toUtf8());
}

WriteResult HistoryFile::append(const QList<FoundListing>& found) {
    QString lines;
    for (const FoundListing& listing : found) lines += HistoryLine(listing);
    // One append: the lines of one capture go together, or not at all.
    return append(lines);
}

WriteResult HistoryFile::create() {
    return write({});
}

QList<FoundListing> HistoryFile::readFound(qint64 budget) const {
    if (path_.isEmpty()) return {};
    const QList<FoundListing> current = FoundInHistory(TailOf(path_, budget));
    // A current file that gives nothing at all leaves the whole budget to the previous one.
    const qint64 left =
        current.isEmpty() ? budget : budget - std::min(QFileInfo(path_).size(), budget);
    if (left <= 0) return current;
    return FoundInHistory(TailOf(previousPath(), left)) + current;
}

WriteResult HistoryFile::write(const QByteArray& bytes) {
    WriteResult result;
    const auto fail = [&](const QString& reason) { return result.fail(path_, reason); };
    if (path_.isEmpty()) return fail(QStringLiteral("nessuna cartella dei dati è nota"));
    if (const QString why = MakePrivateFolder(QFileInfo(path_).absolutePath()); !why.isEmpty())
        return fail(why);
    FileLock lock(FileLock::Beside(path_));
    if (const QString why = lock.take(lockTimeout_); !why.isEmpty()) return fail(why);

    if (const QString refused = RefusalAt(path_); !refused.isEmpty()) return fail(refused);
    const QFileInfo info(path_);
    if (info.exists() && info.size() > 0 && !bytes.isEmpty() &&
        info.size() + bytes.size() > rotateBytes_) {
        // The previous file goes first: a rename never replaces a file on every platform.
        const QString previous = previousPath();
        const QFileInfo before(previous);
        QFile current(path_);
        QString why;
        if (before.isDir())
            why = QStringLiteral("è una cartella");
        else if ((before.exists() || before.isSymLink()) && !QFile::remove(previous))
            why = QStringLiteral("non si può eliminare");
        else if (!current.rename(previous))
            why = platform::InItalian(current.errorString());
        if (!why.isEmpty()) {
            result.warnings.append(
                QStringLiteral("impossibile sostituire %1 (%2): la cronologia continua in %3")
                    .arg(previous, why, path_));
        }
    }

    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return fail(platform::InItalian(file.errorString()));
    // The header and the first line in one write, so that no reader sees a file that begins
    // without its header.
    const QByteArray out = file.size() == 0 ? HistoryHeader().toUtf8() + bytes : bytes;
    if (file.write(out) != out.size() || !file.flush())
        return fail(platform::InItalian(file.errorString()));
    file.close();
    if (file.error() != QFileDevice::NoError) return fail(platform::InItalian(file.errorString()));
    return result;
}

}  // namespace quintavia
