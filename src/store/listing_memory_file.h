#pragma once

#include <QString>
#include <QStringList>
#include <chrono>

#include "core/listings/listing_memory.h"
#include "store/io/write_result.h"

namespace quintavia {

// The listings the program has seen and the jobs it announced lately (see core/listing_memory.h),
// kept between runs in a JSON file that the program alone writes:
//   {"versione": 1,
//    "siti": {"<site id>": {"ricerca": "<search>", "chiavi": ["<key>", ... oldest first],
//                           "ultimi": ["<title mark>", ...], "per_titolo": true}},
//    "annunciati": [{"titolo": "...", "sito": "<site id>", "nome": "<site name>",
//                    "quando": "2024-05-01T09:00:00.000+02:00",
//                    "azienda": "...", "luogo": "..."}, ... oldest first]}
// where "ultimi", "per_titolo", "azienda" and "luogo" may be missing, as earlier versions wrote
// none; their keys are made canonical as they are read (CanonicalKey).
//
// A save replaces the whole file in one atomic rename under the lock beside it, so a crash, a
// kill or a full disk leaves the previous file whole. A link, a FIFO or anything but a regular
// file in its place is never opened nor replaced. A file the program cannot make sense of is
// moved aside with its bytes intact, for the user to look at, and the memory starts empty.
// A save merges what the file holds under the lock with what it saves (MergeMemories), so
// that a writer beside the program's one run (a tool, a run on a copy of the files) loses
// nothing it saved meanwhile.
class ListingMemoryFile {
  public:
    // Far beyond what the kept numbers of keys and jobs make: a larger file is not this one.
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    explicit ListingMemoryFile(QString path);  // the full path of the file
    // $XDG_DATA_HOME/Quintavia/annunci-visti.json, with ~/.local/share when XDG_DATA_HOME is
    // unset; empty when no data folder is known.
    static QString UserPath();

    struct Loaded {
        ListingMemory memory;  // cut as a save cuts it
        QStringList warnings;  // one line each, for standard error
    };
    // What the file holds; empty when there is no file (quietly) or none that can be read (with
    // a warning). Entries of the wrong kind are passed over.
    Loaded load();

    // Puts `memory`, cut to what is kept (see KeptOfMemory), in place of the file's contents.
    // A memory that would still make a file over kMaxFileSize loses the oldest keys of its
    // largest sites first, with a warning, rather than leave every site unsaved.
    // A file that the last load could not read is left as it is, and the save fails.
    WriteResult save(const ListingMemory& memory);

    const QString& path() const { return path_; }
    // How long a save waits for another copy of the program's; five seconds unless set.
    void setLockTimeout(std::chrono::milliseconds timeout) { lockTimeout_ = timeout; }

  private:
    QString path_;
    std::chrono::milliseconds lockTimeout_{5000};
    QString unreadable_;  // why the last load could not read the file
};

// What is kept of `memory` (KeepBounds), the jobs announced counted back from the newest one:
// the file reads no clock.
ListingMemory KeptOfMemory(ListingMemory memory);

}  // namespace quintavia
