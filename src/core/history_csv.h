#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace quintavia {

// The history of log entries is a CSV file that a spreadsheet or any CSV reader opens: UTF-8,
// a header line, one entry a line, fields quoted as RFC 4180 has it, lines ended by CRLF.

// One field: as it is, or in double quotes with each quote doubled when it holds a quote, a
// comma, a CR or an LF. A line break in a field stays in the field.
QString CsvField(const QString& text);

// Fields joined by commas, with the line end.
QString CsvLine(const QStringList& fields);

// The header: date and time, site, title, address.
QString HistoryHeader();

// ISO 8601 in the time's own offset, e.g. 2024-03-31T02:30:05+02:00: a local time that says
// where it was taken, and orders as text within one offset.
QString HistoryTime(const QDateTime& when);

// One log entry: when it was logged, the site's name, the title and the pane's address as
// they are shown outside the page (ShownText, ShownAddress).
QString HistoryLine(const QDateTime& when, const QString& site, const QString& title,
                    const QUrl& address);

}  // namespace quintavia
