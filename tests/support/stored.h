#pragma once

#include <QString>
#include <array>

#include "core/layout/panes.h"
#include "store/settings_keys.h"

namespace support {

// The settings file of a configuration folder ($XDG_CONFIG_HOME), as the program names it.
QString SettingsPathIn(const QString& configHome);

// One value as the settings file at `path` holds it now, read afresh; "<absent>" when the
// file or the key is missing, "<unreadable>" when the file cannot be read as settings.
QString Stored(const QString& path, const QString& section, const QString& key);

// Whether the settings file in `configHome` holds `titles`, as the program stores them, as the
// last listings seen: a run has read its pages and written what it saw.
bool HoldsTitles(const QString& configHome,
                 const std::array<QString, quintavia::kPaneCount>& titles);

// The permission bits of the file or folder at `path`; -1 when there is none.
int FileMode(const QString& path);

// Writes values into the settings file at `path` as the program does; false on failure.
bool Seed(const QString& path, const quintavia::SettingsEntries& entries);

}  // namespace support
