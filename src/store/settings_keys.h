#pragma once

#include <QList>
#include <QString>

#include "core/watch/kept.h"
#include "store/ini_document.h"

namespace quintavia {

// Where each value lives in the settings file. Users' existing files hold these names, so they
// stay exactly as they are; keys are digits written as text.
inline const QString kSectionLastListing = QStringLiteral("Settaggio");  // key: default pane
inline const QString kSectionOptions = QStringLiteral("Posizione");      // keys below
inline const QString kSectionScrollTop = QStringLiteral("Scroll");       // key: default pane
inline const QString kSectionScrollLeft = QStringLiteral("Left");        // key: default pane

inline const QString kKeyAutoPosition = QStringLiteral("0");  // the auto-position option
inline const QString kKeyRegionText = QStringLiteral("1");    // the region box's text
inline const QString kKeySoundAlert = QStringLiteral("2");    // the sound-alert option

// Added after the names above; "1" or "0".
inline const QString kSectionNotifications = QStringLiteral("Notifiche");
inline const QString kKeyDesktopNotifications = QStringLiteral("0");

// Added with the choice of sites: each pane's site id (keyed by the pane's number; empty or
// absent for the pane's default), the keywords, and what is kept of the sites other than the
// four defaults, keyed by their id (the defaults keep theirs in the sections above, under the
// number of the pane they are the default of).
inline const QString kSectionPaneSites = QStringLiteral("Siti");
inline const QString kSectionSearch = QStringLiteral("Ricerca");
inline const QString kKeyKeywords = QStringLiteral("parole");
inline const QString kSectionSiteTitles = QStringLiteral("Titoli");
inline const QString kSectionSiteScrollTop = QStringLiteral("ScrollSiti");
inline const QString kSectionSiteScrollLeft = QStringLiteral("LeftSiti");

// Added with the filter of new listings: the words a title must hold one of, and those it must
// hold none of, as the user typed them.
inline const QString kSectionFilters = QStringLiteral("Filtri");
inline const QString kKeyIncludeWords = QStringLiteral("includi");
inline const QString kKeyExcludeWords = QStringLiteral("escludi");

// Added with the sites' own paces: each site's interval in minutes, by id.
inline const QString kSectionIntervals = QStringLiteral("Intervalli");
// Added with the grids of other sizes: the number of panes, absent for the design's four.
inline const QString kSectionGrid = QStringLiteral("Griglia");
inline const QString kKeyPaneCount = QStringLiteral("riquadri");

// What a file keeps, each absent or unreadable value at its default.
Kept ReadKept(const IniDocument& doc);

// One value to write, where it goes in the file.
struct SettingsEntry {
    QString section;
    QString key;
    QString value;
    // An empty value that the file does not hold yet is not added: a default stays unwritten.
    bool onlyIfSet = false;

    bool operator==(const SettingsEntry&) const = default;
};
using SettingsEntries = QList<SettingsEntry>;

// What shutdown writes: the last titles, then the auto-position option, the region text and
// the sound-alert option, then the desktop notifications option, each pane's site, the
// keywords and the filter words.
SettingsEntries ShutdownEntries(const Kept& kept);
// What "Impostazioni" changes, as shutdown writes it: the desktop notifications option, each
// pane's site, the keywords and the filter words.
SettingsEntries ChoicesEntries(const Options& options);
// The four default sites' last titles, then the others' by id.
SettingsEntries ListingEntries(const Kept& kept);
// The vertical then the horizontal offset of the site that is pane `defaultPane`'s default;
// none for a pane past the four defaults.
SettingsEntries ScrollEntries(const Kept& kept, int defaultPane);
// The same for the site with this id, wherever it is kept.
SettingsEntries ScrollEntriesFor(const Kept& kept, const QString& siteId);

// Sets each entry's value, leaving every other key and section of the file as it was. An entry
// whose section or key the file cannot hold (see IsIniName) is left out.
void ApplyEntries(IniDocument& doc, const SettingsEntries& entries);

}  // namespace quintavia
