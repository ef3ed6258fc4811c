#pragma once

#include <QList>
#include <QString>
#include <chrono>

#include "core/listings/found_listing.h"
#include "store/io/write_result.h"

namespace quintavia {

// The history of the listings found (see history_csv.h for its lines): appended to, never
// rewritten, so that a crash loses at most the entry being written. Each entry is appended
// and handed to the system at once. A file that grows past the limit is renamed to
// `<name>.1`, replacing the one before, and a new file begins.
//
// Another copy of the program may append to the same file: an append and a rotation happen
// under the lock beside it (`<name>.lock`). Only a regular file is ever opened: a link or a
// FIFO in its place fails the write at once, and nothing waits. A rotation that fails leaves
// the file where it is, and the entry goes into it all the same, with a warning naming the
// file that could not be replaced.
class HistoryFile {
  public:
    static constexpr qint64 kRotateBytes = 4 * 1024 * 1024;

    explicit HistoryFile(QString path, qint64 rotateBytes = kRotateBytes);
    // $XDG_DATA_HOME/Quintavia/cronologia.csv, with ~/.local/share when XDG_DATA_HOME is
    // unset; empty when no data folder is known.
    static QString UserPath();

    // Appends text of whole lines, each ending with its line end; a new file starts with the
    // header.
    WriteResult append(const QString& lines);
    // Appends a line for each listing found, in order, in one write.
    WriteResult append(const QList<FoundListing>& found);
    // Makes the file with its header when there is none, for opening it.
    WriteResult create();

    // The newest listings, oldest first: the whole lines of this file's last `budget` bytes,
    // and where this file is shorter, of the previous file's last bytes for the rest. A
    // missing file, a link or anything but a regular file gives nothing. Read without the lock:
    // an append adds whole lines. The list of what was found shows a few thousand; the budget
    // keeps start-up from parsing megabytes for them.
    static constexpr qint64 kReadBackBytes = 1536 * 1024;
    QList<FoundListing> readFound(qint64 budget = kReadBackBytes) const;

    const QString& path() const { return path_; }
    QString previousPath() const { return path_ + QStringLiteral(".1"); }
    // How long an append waits for another copy of the program's; five seconds unless set.
    void setLockTimeout(std::chrono::milliseconds timeout) { lockTimeout_ = timeout; }

  private:
    WriteResult write(const QByteArray& bytes);

    QString path_;
    qint64 rotateBytes_;
    std::chrono::milliseconds lockTimeout_{5000};
};

}  // namespace quintavia
