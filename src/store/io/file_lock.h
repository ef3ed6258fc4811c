#pragma once

#include <QString>
#include <chrono>
#include <memory>

class QLockFile;

namespace quintavia {

// A lock that the program's copies take before they change a file they share, kept in a file
// of its own (`<file>.lock`) by QLockFile. The lock goes with its holder: a holder that ended
// without letting it go, however it ended, leaves a lock that the next taker removes.
//
// A lock that cannot be another live copy's on this machine is stale and removed: a symbolic
// link, a FIFO or another kind of non-regular file (never opened, so never waited on), an
// empty or unreadable lock, or one from another host. Only a lock whose holder still runs here
// is waited for.
class FileLock {
  public:
    explicit FileLock(QString lockPath);
    // The lock of the program's file at `path`, beside it: `<path>.lock`.
    static FileLock Beside(const QString& path) { return FileLock(path + QStringLiteral(".lock")); }
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Empty once the lock is held; otherwise why it could not be had within `timeout`.
    QString take(std::chrono::milliseconds timeout);
    // After a take that failed: whether a live copy of the program held the lock.
    bool busy() const { return busy_; }

    const QString& path() const { return path_; }

  private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    bool busy_ = false;
};

}  // namespace quintavia
