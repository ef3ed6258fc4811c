#pragma once

#include <QString>
#include <QStringView>

namespace quintavia {

// Upper case that never changes the text's length: each UTF-16 unit is mapped on its own by
// its simple case mapping, so positions found in the result hold for the original too. "ß"
// stays one unit; surrogate halves stay as they are.
QString UpperCaseUnits(QStringView text);

// Where reading the newest listing out of a page stopped.
enum class ProbeOutcome {
    Title,       // a title was read (it may be empty)
    NoTagEnd,    // no ">" at or after the marker position + 10
    NoTagStart,  // no "<" at or after the tag end
};

// What a page gave. Positions count UTF-16 units from 1 in the upper-case page text; 0 means
// not found.
struct ProbeResult {
    ProbeOutcome outcome = ProbeOutcome::NoTagEnd;
    QString title;  // upper case, spaces trimmed at both ends; set only for Title
    qsizetype markerPosition = 0;
    qsizetype tagEnd = 0;
    qsizetype tagStart = 0;
};

// Reads the title of a site's newest listing out of a page's markup: the text between the
// first ">" found from ten units past the start of the marker (searched from the page's
// start, both sides in upper case) and the next "<". The offset is ten whatever the marker's
// length, and it counts from position 0 when the marker is absent. Character references are
// left as they are.
ProbeResult FindNewestListing(QStringView markup, QStringView marker);

}  // namespace quintavia
