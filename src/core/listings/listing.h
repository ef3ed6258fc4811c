#pragma once

#include <QString>
#include <QUrl>

namespace quintavia {

// The longest title kept, in UTF-16 units: a page could otherwise grow the log and the
// settings file without limit.
inline constexpr qsizetype kTitleUnits = 500;

// One listing as a page shows it.
struct Listing {
    QString title;  // whitespace collapsed, cut as every title is (CutTitle)
    QUrl link;      // absolute, http or https
    // What the card tells besides, where the site's rule reads it; empty otherwise.
    QString company{};
    QString place{};
    QString published{};  // as the page writes it: a date and time, or words such as "ieri"
    // The value of the attribute the rule's key names, read from the card.
    QString cardKey{};

    bool operator==(const Listing&) const = default;
};

// The title as it is compared, logged and stored: its first kTitleUnits units, one fewer when
// the cut would split a surrogate pair (half a character would not survive the settings file).
QString CutTitle(const QString& title);

}  // namespace quintavia
