#pragma once

#include <QString>
#include <QStringList>
#include <chrono>

#include "core/watch/site_healing.h"
#include "store/io/write_result.h"

namespace quintavia {

// What the program keeps of the sites it reads by structure (StructureKept), between runs, in
// a JSON file that the program alone writes, beside the listings seen:
//   {"versione": 1,
//    "selettori": {"<site id>": {"scheda": "...", "titolo": "...", "link": "...",
//                                "azienda": "...", "luogo": "..."}},
//    "per_struttura": ["<site id>", ...]}
// Everything in it can be found again from the pages: a file that cannot be read is told once
// and replaced at the next save, and an entry of the wrong kind is passed over. A save
// replaces the whole file in one atomic rename under the lock beside it; a link or anything but
// a regular file in its place is never opened nor replaced.
class StructureFile {
  public:
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    explicit StructureFile(QString path);  // the full path of the file
    // The file beside the listings seen at `memoryPath`; empty when that is.
    static QString PathBeside(const QString& memoryPath);

    struct Loaded {
        StructureKept kept;
        QStringList warnings;  // one line each, for standard error
    };
    Loaded load() const;
    WriteResult save(const StructureKept& kept) const;

    const QString& path() const { return path_; }

  private:
    QString path_;
    std::chrono::milliseconds lockTimeout_{5000};
};

}  // namespace quintavia
