#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace support {

// Reads CSV text as RFC 4180 has it, apart from the writer under test: records end with CRLF
// (a lone LF is taken too), a field in double quotes may hold commas, quotes written twice and
// line breaks. None when the text is not such CSV (a quote inside an unquoted field, text
// after a closing quote, an unclosed quote).
inline std::optional<QList<QStringList>> ReadCsv(const QString& text) {
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;      // inside a quoted field
    bool afterQuote = false;  // a quoted field has closed
    bool fieldBegun = false;  // anything of the current record was read
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != u'"') {
                field += c;
            } else if (i + 1 < n && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else {
                quoted = false;
                afterQuote = true;
            }
            continue;
        }
        if (c == u',') {
            record << field;
            field.clear();
            afterQuote = false;
            fieldBegun = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r') {
                if (i + 1 >= n || text[i + 1] != u'\n') return std::nullopt;
                ++i;
            }
            record << field;
            records << record;
            record.clear();
            field.clear();
            afterQuote = false;
            fieldBegun = false;
        } else if (c == u'"') {
            if (!field.isEmpty() || afterQuote) return std::nullopt;
            quoted = true;
            fieldBegun = true;
        } else {
            if (afterQuote) return std::nullopt;
            field += c;
            fieldBegun = true;
        }
    }
    if (quoted) return std::nullopt;
    if (fieldBegun || !field.isEmpty()) {
        record << field;
        records << record;
    }
    return records;
}

}  // namespace support
