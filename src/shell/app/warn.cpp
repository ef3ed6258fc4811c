#include "shell/app/warn.h"

#include <cstdio>

namespace quintavia {

void Warn(const QString& line) {
    std::fprintf(stderr, "Quintavia: %s\n", qUtf8Printable(line));
}

void Warn(const QStringList& lines) {
    for (const QString& line : lines) Warn(line);
}

}  // namespace quintavia
