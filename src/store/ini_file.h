#pragma once

#include <QString>

#include "store/ini_document.h"

namespace quintavia {

// One of the program's INI files as it lies on disk, read whole. No link is followed and
// nothing but a regular file is opened, so a FIFO in its place is never waited on.
struct FileRead {
    enum Kind {
        Absent,
        Text,
        Refused,     // a link, or not a regular file: left alone
        Unreadable,  // a read that failed: left alone
        NotText,     // read, but not text the program wrote or could have: the caller decides
    } kind;
    IniDocument doc{};
    QString reason{};  // why not Text
};

// Why nothing may be opened at `path`: a symbolic link (even to nothing) or something other
// than a regular file; empty when there is nothing there or a regular file. Looked at before
// any open, so that no link is followed and a FIFO is never waited on.
QString RefusalAt(const QString& path);

// The bytes of the file at `path`, of at most `maxBytes`, for the program's other files: read
// as ReadIniFile reads them, the kind Text once read whatever they hold, NotText for a file over
// the limit.
struct FileBytes {
    FileRead::Kind kind;
    QByteArray bytes{};
    QString reason{};  // why not read
};
FileBytes ReadFileBytes(const QString& path, qint64 maxBytes);

// Whether a symbolic link at the path is refused, as for the files the program writes, or
// followed to a regular file of the user's, as for a file only the user writes (a dotfile
// manager keeps such files as links into a folder of its own).
enum class Links { Refused, FollowedToOwnFile };

// The file at `path`, of at most `maxBytes`. A link followed still leads to a regular file
// only, opened without waiting, so that a FIFO at its end is never waited on.
FileRead ReadIniFile(const QString& path, qint64 maxBytes, Links links = Links::Refused);

}  // namespace quintavia
