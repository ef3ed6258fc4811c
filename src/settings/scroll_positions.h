#pragma once

#include <QString>
#include <array>
#include <optional>

#include "browser/pane.h"
#include "search/site_table.h"
#include "settings/settings_store.h"

namespace quintavia {

// An offset as the store keeps it: its shortest plain decimal text, never with an exponent;
// nullopt when there is no finite number to write.
std::optional<QString> ScrollOffsetToText(std::optional<double> offset);

// "Salva posizione finestre": both offsets of every pane, straight from its document to the
// store. A value that cannot be read or written is skipped and keeps the text stored before.
void SaveScrollPositions(SettingsStore* store, const std::array<Pane*, kSiteCount>& panes);

// Scrolls the pane of `site` back to its stored offsets ("0" when none), vertical first.
// false at the first step that fails; a refused vertical offset leaves both as they were.
bool RestoreScrollPositions(SettingsStore* store, Pane* pane, int site);

}  // namespace quintavia
