#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

#include "core/listings/found_listing.h"

namespace quintavia {

// The history of the listings found is a CSV file that a spreadsheet or any CSV reader opens:
// UTF-8, a header line, one entry a line, fields quoted as RFC 4180 has it, lines ended by CRLF.

// One field: as it is, or in double quotes with each quote doubled when it holds a quote, a
// comma, a semicolon, a CR or an LF. A line break in a field stays in the field.
QString CsvField(const QString& text);

// Fields joined by commas, with the line end.
QString CsvLine(const QStringList& fields);

// CSV text read as RFC 4180 has it: records end with CRLF (a lone LF is taken too), a field in
// double quotes may hold commas, quotes written twice and line breaks. None when the text is
// not such CSV (a quote inside an unquoted field, text after a closing quote, an unclosed
// quote).
std::optional<QList<QStringList>> ParseCsv(const QString& text);

// A cell that a spreadsheet would take for a formula (one that begins with =, +, -, @, a tab
// or a carriage return) is written with an apostrophe ahead of it, as OWASP advises; so is one
// that begins with apostrophes and then one of those, so that reading takes exactly one away.
// The same holds past each semicolon in a cell: a spreadsheet that splits on semicolons
// begins a cell there, quotes or not.
QString DefusedCell(const QString& text);
QString UndefusedCell(const QString& text);

// The header: date and time, site, title, address, whether the user's words filtered it out,
// the other site that announced it already; then the company, the place and the date the card
// gave, the site's id and the key the listing is known by.
QString HistoryHeader();

// ISO 8601 in the time's own offset, e.g. 2024-03-31T02:30:05+02:00: a local time that says
// where it was taken, and orders as text within one offset.
QString HistoryTime(const QDateTime& when);

// One listing found: when, the site's name, the title and its address (its own link, else the
// page's) as they are shown outside the page (ShownText, ShownAddress), "sì" when filtered,
// the other site, the company, place and date, the site's id and the key; each cell defused.
QString HistoryLine(const FoundListing& found);

// The listings a history file's text holds, oldest first, with the site's name but not its id;
// the header, and rows that are no listing (too short, a date that cannot be read), are passed
// over. Files from before the later columns read as neither filtered nor found elsewhere, with
// no details, site id or key.
QList<FoundListing> FoundInHistory(const QString& text);

}  // namespace quintavia
