#pragma once

#include <QList>
#include <QString>
#include <array>
#include <optional>

#include "core/sites.h"
#include "settings/ini_document.h"

namespace quintavia {

// Where each value lives in the settings file. Users' existing files hold these names, so they
// stay exactly as they are; keys are digits written as text.
inline const QString kSectionLastListing = QStringLiteral("Settaggio");  // key: site index
inline const QString kSectionOptions = QStringLiteral("Posizione");      // keys below
inline const QString kSectionScrollTop = QStringLiteral("Scroll");       // key: site index
inline const QString kSectionScrollLeft = QStringLiteral("Left");        // key: site index

inline const QString kKeyAutoPosition = QStringLiteral("0");  // the auto-position option
inline const QString kKeyRegionText = QStringLiteral("1");    // the region box's text
inline const QString kKeySoundAlert = QStringLiteral("2");    // the sound-alert option

// Added after the names above; "1" or "0".
inline const QString kSectionNotifications = QStringLiteral("Notifiche");
inline const QString kKeyDesktopNotifications = QStringLiteral("0");

// The region box's text when nothing was ever saved: the text it opens with.
inline const QString kDefaultRegionText = QStringLiteral("Abruzzo");

// A check box that can be ticked, unticked or greyed, with the numbers the file stores.
enum class TriState { Unticked = 0, Ticked = 1, Greyed = 2 };

QString TriStateText(TriState state);
// The number in `text`, read in the C locale whatever the user's locale, with blanks around
// it allowed (a hand edit may leave them): nullopt for anything but 0, 1 or 2.
std::optional<TriState> TriStateFromText(const QString& text);

// Everything the program keeps between runs.
struct Settings {
    std::array<QString, kSiteCount> lastListing;  // the last listing title seen per site
    TriState autoPosition = TriState::Unticked;   // restore the scroll offsets
    QString region = kDefaultRegionText;          // the region box's text; empty is a value
    TriState soundAlert = TriState::Unticked;
    // Decimal texts as stored: a hand-edited text that is no number is kept, and refused only
    // when a pane is scrolled to it.
    std::array<QString, kSiteCount> scrollTop{QStringLiteral("0"), QStringLiteral("0"),
                                              QStringLiteral("0"), QStringLiteral("0")};
    std::array<QString, kSiteCount> scrollLeft{QStringLiteral("0"), QStringLiteral("0"),
                                               QStringLiteral("0"), QStringLiteral("0")};
    bool desktopNotifications = true;  // "Notifiche sul desktop"

    bool operator==(const Settings&) const = default;
};

// The settings a file holds, each absent or unreadable value at its default.
Settings ReadSettings(const IniDocument& doc);

// One value to write, where it goes in the file.
struct SettingsEntry {
    QString section;
    QString key;
    QString value;

    bool operator==(const SettingsEntry&) const = default;
};
using SettingsEntries = QList<SettingsEntry>;

// What shutdown writes: the four last titles, then the auto-position option, the region text
// and the sound-alert option, then the desktop notifications option.
SettingsEntries ShutdownEntries(const Settings& settings);
// The four last titles alone.
SettingsEntries ListingEntries(const Settings& settings);
// The vertical then the horizontal offset of one site's pane; none for a site out of range.
SettingsEntries ScrollEntries(const Settings& settings, int site);

// Sets each entry's value, leaving every other key and section of the file as it was. An entry
// whose section or key the file cannot hold (see IsIniName) is left out.
void ApplyEntries(IniDocument& doc, const SettingsEntries& entries);

}  // namespace quintavia
