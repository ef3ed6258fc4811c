#pragma once

#include <QList>
#include <QString>

#include "core/settings.h"
#include "store/ini_document.h"

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
