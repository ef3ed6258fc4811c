#pragma once

#include <QUrl>

namespace quintavia {

// Hands a listing's link to the desktop's opener, the user's browser: only an http or https
// address with a host (IsOpenableLink), since a page chose it. Whether it was handed over.
bool OpenInBrowser(const QUrl& link);

}  // namespace quintavia
