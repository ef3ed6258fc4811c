#pragma once

#include <QUrl>

namespace quintavia {

// Whether a page in a pane or a pop-up window may go to `url`: only the schemes whose pages the
// browser engine shows itself (http, https, about, data, blob). Any other would be handed to a
// desktop program (mail, ssh, any custom scheme), or would reach local files (file).
bool MayNavigateTo(const QUrl& url);

}  // namespace quintavia
