#pragma once

#include <QString>
#include <QStringView>
#include <QUrl>

namespace quintavia {

// What a page's text becomes where the program shows or writes it outside the page: the log
// box, the desktop's notifications, the history file, a pop-up window's title bar and address.
// The Unicode control and format characters (categories Cc and Cf) are left out: a page could
// otherwise turn the text around it backwards with a bidi override (U+202E and its kin), hide
// letters behind zero-width ones, or write a NUL that makes the history a binary file. A run of
// line breaks and tabs (U+2028 and U+2029 among them) becomes one space between the characters
// around it, and none at either end, so that two lines stay two words.
QString ShownText(QStringView text);

// An address as shown and written: readable as QUrl::toDisplayString has it, with each control
// or format character that it decodes encoded again (%E2%80%AE for U+202E), so that the
// address still leads to the same page, and cut at kAddressUnits UTF-16 units (never between
// the halves of a pair): a page can make its address megabytes long.
inline constexpr qsizetype kAddressUnits = 2048;
QString ShownAddress(const QUrl& address);

// The title of a window that a page in a pane opened: it says that it is a pop-up and names the
// host its page comes from (its scheme when it has none), then the page's own title, so that a
// page cannot pass its window off as the program's.
QString PopupTitle(const QUrl& address, QStringView pageTitle);

}  // namespace quintavia
