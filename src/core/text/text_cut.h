#pragma once

#include <QString>
#include <QStringView>

namespace quintavia {

// Where a text of at most `units` UTF-16 units ends: `units`, one fewer when the cut would
// split a surrogate pair (half a character would show as a replacement, or not survive a file),
// or the whole text when it is shorter.
qsizetype CutEnd(QStringView text, qsizetype units);

// The text's first units as CutEnd has it.
QString CutUnits(const QString& text, qsizetype units);

}  // namespace quintavia
