#pragma once

#include <QString>

#include "settings/settings.h"

namespace support {

// The settings file of a configuration folder ($XDG_CONFIG_HOME), as the program names it.
QString SettingsPathIn(const QString& configHome);

// One value as the settings file at `path` holds it now, read afresh; "<absent>" when the
// file or the key is missing, "<unreadable>" when the file cannot be read as settings.
QString Stored(const QString& path, const QString& section, const QString& key);

// Writes values into the settings file at `path` as the program does; false on failure.
bool Seed(const QString& path, const quintavia::SettingsEntries& entries);

}  // namespace support
