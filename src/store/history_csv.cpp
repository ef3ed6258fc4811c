#include "store/history_csv.h"

#include "core/text/shown_text.h"

namespace quintavia {
namespace {

const QString kFiltered = QStringLiteral("sì");

bool StartsFormula(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'') ++i;
    if (i >= text.size()) return false;
    switch (text[i].unicode()) {
        case u'=':
        case u'+':
        case u'-':
        case u'@':
        case u'\t':
        case u'\r':
            return true;
        default:
            return false;
    }
}

// The key as the memory holds it, to be taught again exactly (the address is cut and shown, a
// key may be a link of thousands of units or a title with any character): what is not
// printable ASCII is percent-encoded, and so is "%".
QString KeyCell(const QString& key) {
    return QString::fromLatin1(QUrl::toPercentEncoding(key, ":/?&=#+@!$'()*,;[]~"));
}

}  // namespace

QString CsvField(const QString& text) {
    // A semicolon too: a spreadsheet set for Italian splits on it.
    static const QString needsQuotes = QStringLiteral("\",;\r\n");
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

std::optional<QList<QStringList>> ParseCsv(const QString& text) {
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

QString DefusedCell(const QString& text) {
    // Each cell that splitting on either separator would begin: the text's start, and past
    // each semicolon, which a spreadsheet splitting on semicolons does not see quoted.
    QString out;
    out.reserve(text.size() + 1);
    for (qsizetype at = 0; at <= text.size();) {
        const qsizetype end = text.indexOf(u';', at);
        const QStringView part = QStringView(text).sliced(at, (end < 0 ? text.size() : end) - at);
        if (StartsFormula(part)) out += u'\'';
        out += part;
        if (end < 0) break;
        out += u';';
        at = end + 1;
    }
    return out;
}

QString UndefusedCell(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype at = 0; at <= text.size();) {
        const qsizetype end = text.indexOf(u';', at);
        QStringView part = QStringView(text).sliced(at, (end < 0 ? text.size() : end) - at);
        if (part.startsWith(u'\'') && StartsFormula(part)) part = part.sliced(1);
        out += part;
        if (end < 0) break;
        out += u';';
        at = end + 1;
    }
    return out;
}

QString HistoryHeader() {
    return CsvLine({QStringLiteral("data"), QStringLiteral("sito"), QStringLiteral("annuncio"),
                    QStringLiteral("indirizzo"), QStringLiteral("filtrato"),
                    QStringLiteral("anche su"), QStringLiteral("azienda"), QStringLiteral("luogo"),
                    QStringLiteral("pubblicato"), QStringLiteral("id sito"),
                    QStringLiteral("chiave")});
}

QString HistoryTime(const QDateTime& when) {
    // Local time converted to its own fixed offset, so that the text carries the offset.
    const QDateTime fixed = when.toOffsetFromUtc(when.offsetFromUtc());
    return fixed.toString(Qt::ISODate);
}

QString HistoryLine(const FoundListing& found) {
    QStringList cells{HistoryTime(found.when),
                      ShownText(found.site),
                      ShownText(found.title),
                      ShownAddress(found.address()),
                      found.filtered ? kFiltered : QString(),
                      ShownText(found.alsoOn),
                      ShownText(found.company),
                      ShownText(found.place),
                      ShownText(found.published),
                      found.siteId,
                      KeyCell(found.key)};
    for (QString& cell : cells) cell = DefusedCell(cell);
    return CsvLine(cells);
}

QList<FoundListing> FoundInHistory(const QString& text) {
    QList<FoundListing> found;
    // A file cut mid-line by a crash still gives the lines before the cut.
    std::optional<QList<QStringList>> rows = ParseCsv(text);
    if (!rows) {
        rows.emplace();
        for (const QString& line : text.split(QStringLiteral("\r\n"))) {
            if (std::optional<QList<QStringList>> one = ParseCsv(line); one && !one->isEmpty())
                rows->append(one->first());
        }
    }
    for (QStringList& row : *rows) {
        if (row.size() < 4) continue;
        for (QString& cell : row) cell = UndefusedCell(cell);
        FoundListing listing;
        listing.when = QDateTime::fromString(row[0], Qt::ISODate);
        if (!listing.when.isValid()) continue;  // the header among them
        listing.site = row[1];
        listing.title = row[2];
        listing.page = QUrl(row[3]);
        listing.filtered = row.value(4) == kFiltered;
        listing.alsoOn = row.value(5);
        listing.company = row.value(6);
        listing.place = row.value(7);
        listing.published = row.value(8);
        listing.siteId = row.value(9);
        listing.key = QUrl::fromPercentEncoding(row.value(10).toUtf8());
        found.append(listing);
    }
    return found;
}

}  // namespace quintavia
