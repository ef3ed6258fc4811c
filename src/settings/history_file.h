#pragma once

#include <QString>

namespace quintavia {

// The history of log entries (see core/history_csv.h for its lines): appended to, never
// rewritten, so that a crash loses at most the entry being written. Each entry is appended
// and handed to the system at once. A file that grows past the limit is renamed to
// `<name>.1`, replacing the one before, and a new file begins.
//
// Another copy of the program may append to the same file: an append happens under a lock
// on the file, and one that finds the file renamed meanwhile goes on in the new one.
class HistoryFile {
  public:
    static constexpr qint64 kRotateBytes = 4 * 1024 * 1024;

    explicit HistoryFile(QString path, qint64 rotateBytes = kRotateBytes);
    // $XDG_DATA_HOME/Quintavia/cronologia.csv, with ~/.local/share when XDG_DATA_HOME is
    // unset; empty when no data folder is known.
    static QString UserPath();

    // Appends one line, which must end with its line end; a new file starts with the header.
    // false with the reason in lastError().
    bool append(const QString& line);
    // Makes the file with its header when there is none, for opening it.
    bool create();

    const QString& path() const { return path_; }
    QString previousPath() const { return path_ + QStringLiteral(".1"); }
    // "cannot write <path>: <reason>".
    const QString& lastError() const { return lastError_; }

  private:
    bool write(const QByteArray& bytes);
    bool fail(const QString& reason);

    QString path_;
    qint64 rotateBytes_;
    QString lastError_;
};

}  // namespace quintavia
