#pragma once

#include <QFont>

namespace quintavia {

// The window's font, which its controls take unless they have one of their own.
QFont WindowFont();

// The font of the site names shown over the panes.
QFont SiteLabelFont();

}  // namespace quintavia
