#pragma once

#include <QString>
#include <array>
#include <optional>

#include "app/window_controls.h"
#include "search/site_table.h"
#include "settings/settings_store.h"

namespace quintavia {

// A check box's stored text as its value, by the locale's integer conversion: nullopt for
// text that is not a 16-bit integer. Whether the box takes the value is the box's business.
std::optional<qint16> CheckValueFromText(const QString& text);
QString CheckValueToText(int value);

// The last work of start-up: the last titles seen, Check1, the region box's text and Check2,
// in that order. Each step stands alone: one that fails leaves its target as it was. Setting
// the region text is not a region choice.
void RestorePersistedState(SettingsStore* store, WindowControls& controls,
                           std::array<QString, kSiteCount>& lastListing);

// The whole of shutdown: the four titles, Check1, the region box's text and Check2, in that
// order. The first write that fails ends it, keeping what was written before; false then.
bool PersistState(SettingsStore* store, const WindowControls& controls,
                  const std::array<QString, kSiteCount>& lastListing);

}  // namespace quintavia
