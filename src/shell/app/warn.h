#pragma once

#include <QString>
#include <QStringList>

namespace quintavia {

// One line on standard error, after the program's name: the one way the program tells of what
// went wrong when there is nobody to ask.
void Warn(const QString& line);
void Warn(const QStringList& lines);

}  // namespace quintavia
