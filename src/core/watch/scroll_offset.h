#pragma once

#include <QString>
#include <optional>

namespace quintavia {

// How a page takes a stored scroll offset: a finite decimal number in the C locale, blanks
// around it allowed ("120", "12.5", "1e3"). Anything else is refused.
std::optional<double> ScrollOffsetFromText(const QString& text);

// An offset as it is stored: its shortest plain decimal text, never with an exponent or as
// "-0"; nullopt when there is no finite number to store.
std::optional<QString> ScrollOffsetToText(double offset);

}  // namespace quintavia
