#pragma once

#include <array>

#include "app/window_controls.h"
#include "browser/pane.h"
#include "search/site_table.h"

namespace quintavia {

// The strip along the top of the client area that the window keeps for its own controls.
inline constexpr float kTopStripTwips = 315.0f;

// Fills the client area under the top strip with the four panes, two by two, and puts each
// pane label on its pane's top-left corner. A step that fails (a missing pane, a refused
// value) is skipped and the layout goes on.
void LayOutPanes(WindowControls& controls, const std::array<Pane*, kSiteCount>& panes);

// Shows the four pane labels when Check3 is ticked and hides them otherwise. Stops at the
// first label that refuses, and returns false for it.
bool ShowPaneLabels(WindowControls& controls);

}  // namespace quintavia
