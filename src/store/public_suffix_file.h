#pragma once

#include <QString>

#include "core/sites/public_suffixes.h"

namespace quintavia {

// Where Debian's publicsuffix package keeps the list, as text.
inline constexpr char kPublicSuffixPath[] = "/usr/share/publicsuffix/public_suffix_list.dat";

// The list at kPublicSuffixPath, read once in a run, from any thread; empty when it cannot be
// read.
const PublicSuffixes& SystemPublicSuffixes();

// The line that tells the list could not be read and what is checked without it: given once
// in a run, empty afterwards and whenever the list was read.
QString TakePublicSuffixNotice();

}  // namespace quintavia
