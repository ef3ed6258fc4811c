#pragma once

#include <QString>
#include <QStringList>

namespace quintavia {

// What became of a write to one of the program's files: whether it was made, why not, and what
// the user should hear of even when it was (a file moved aside, say). Each text is one line
// for standard error.
struct WriteResult {
    bool ok = true;
    QString error;         // "impossibile scrivere <path>: <reason>" when not ok
    QStringList warnings;  // told whether or not the write was made

    explicit operator bool() const { return ok; }
    // Marks the write of the file at `path` as not made, for `reason`.
    WriteResult& fail(const QString& path, const QString& reason) {
        ok = false;
        error = QStringLiteral("impossibile scrivere %1: %2").arg(path, reason);
        return *this;
    }
    // Every line to tell, the error last.
    QStringList lines() const { return ok ? warnings : warnings + QStringList{error}; }
};

}  // namespace quintavia
