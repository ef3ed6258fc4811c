#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace quintavia {

// The two ways the program puts one of its own whole files in place, for the files it rewrites
// (the settings, the listings seen). Both expect the caller to hold the file's lock.

// Makes `bytes` the whole contents of the file at `path`, readable by the user alone: written
// beside it and renamed over it once complete and on disk, so that a crash, a kill or a full
// disk leaves the previous file whole. A link or anything but a regular file at `path` is
// refused and left as it is. Empty once done; otherwise why not, and the file is as it was
// unless the reason says it was replaced but its folder not synced.
QString ReplaceFile(const QString& path, const QByteArray& bytes);

// Moves the file at `path` to a name of its own beside it, for the user to look at: "<name>.bad"
// the first time, then with the time, then numbered, never over a file moved aside before. The
// name it was given, or nullopt with the reason in `error`.
std::optional<QString> SetAside(const QString& path, QString* error);

}  // namespace quintavia
