#pragma once

#include <QString>
#include <QStringList>

#include "store/io/write_result.h"

namespace quintavia {

// The listings found that wait to be opened, kept between runs so that what waited is still
// marked after a restart: one address a line, as the history writes the listing's address,
// oldest first. The program's one run for its folders rewrites it whole (ReplaceFile) whenever
// what waits changes; a link or anything but a regular file in its place is neither read nor
// replaced.
class UnopenedFile {
  public:
    // Far beyond the list's own limit of rows.
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    explicit UnopenedFile(QString path);
    // "da-aprire.txt" in the folder of the history at `historyPath`; empty for an empty path.
    static QString PathBeside(const QString& historyPath);

    // The addresses; none when there is no file, or none that can be read (with the reason in
    // `warning` for the latter).
    QStringList load(QString* warning = nullptr) const;
    // Puts `addresses` in place of the file's contents; a write of what the file holds already
    // is skipped.
    WriteResult save(const QStringList& addresses);

    const QString& path() const { return path_; }

  private:
    QString path_;
    QStringList saved_;
    bool savedKnown_ = false;
};

}  // namespace quintavia
