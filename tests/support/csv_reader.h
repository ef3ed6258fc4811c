#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "store/history_csv.h"

namespace support {

// Reads CSV text as RFC 4180 has it (see ParseCsv).
inline std::optional<QList<QStringList>> ReadCsv(const QString& text) {
    return quintavia::ParseCsv(text);
}

}  // namespace support
