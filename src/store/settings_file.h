#pragma once

#include <QString>
#include <QStringList>
#include <chrono>

#include "store/io/write_result.h"
#include "store/settings_keys.h"

namespace quintavia {

// The user's settings file (see ini_document.h for its format), read once at start-up and
// written when there is something to keep.
//
// A write changes only the entries it is given: under a lock beside the file it reads the file
// as it is now, sets those entries and puts the result in place in one atomic rename, so keys
// another running copy wrote meanwhile, or a hand added, are kept (the last writer wins per
// key), and a crash, a kill or a full disk leaves the previous file whole.
//
// What the program cannot read it never writes over: a file that is not text is moved aside
// with its bytes intact, and one it may not read, a symbolic link or something other than a
// regular file is left alone, and writes to it fail.
class SettingsFile {
  public:
    // Far beyond anything the program writes: a larger file is not its settings file, and a
    // write that would make one is refused.
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    explicit SettingsFile(QString path);  // the full path of the file
    // $XDG_CONFIG_HOME/Quintavia/Quintavia.ini, with ~/.config when XDG_CONFIG_HOME is unset;
    // empty when no configuration folder is known.
    static QString UserPath();
    // The settings file in the configuration folder `configHome`.
    static QString PathIn(const QString& configHome);

    struct Loaded {
        Kept kept;
        QStringList warnings;  // one line each, for standard error
    };
    // What the file keeps; the defaults when there is no file, or none that can be read,
    // with a warning for the latter.
    Loaded load();

    // The entries written, or why not: the file is then as it was, unless the error says it
    // was replaced but its folder not synced. Warnings tell of what happened on the way, such
    // as a file that was not text moved aside.
    WriteResult write(const SettingsEntries& entries);

    const QString& path() const { return path_; }

    // How long a write waits for another copy of the program to finish its own write; five
    // seconds unless set.
    void setLockTimeout(std::chrono::milliseconds timeout) { lockTimeout_ = timeout; }

  private:
    QString path_;
    std::chrono::milliseconds lockTimeout_{5000};
};

}  // namespace quintavia
