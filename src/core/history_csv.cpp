#include "core/history_csv.h"

#include "core/shown_text.h"

namespace quintavia {

QString CsvField(const QString& text) {
    static const QString needsQuotes = QStringLiteral("\",\r\n");
    bool quote = false;
    for (const QChar c : text) {
        if (needsQuotes.contains(c)) {
            quote = true;
            break;
        }
    }
    if (!quote) return text;
    QString out = text;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

QString CsvLine(const QStringList& fields) {
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString& field : fields) quoted << CsvField(field);
    return quoted.join(u',') + QStringLiteral("\r\n");
}

QString HistoryHeader() {
    return CsvLine({QStringLiteral("data"), QStringLiteral("sito"), QStringLiteral("annuncio"),
                    QStringLiteral("indirizzo")});
}

QString HistoryTime(const QDateTime& when) {
    // Local time converted to its own fixed offset, so that the text carries the offset.
    const QDateTime fixed = when.toOffsetFromUtc(when.offsetFromUtc());
    return fixed.toString(Qt::ISODate);
}

QString HistoryLine(const QDateTime& when, const QString& site, const QString& title,
                    const QUrl& address) {
    return CsvLine({HistoryTime(when), site, ShownText(title), ShownAddress(address)});
}

}  // namespace quintavia
