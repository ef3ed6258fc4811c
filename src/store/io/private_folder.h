#pragma once

#include <QString>

namespace quintavia {

// Makes `folder` and any folder missing above it, each readable by the user alone, as the XDG
// folders should be; those that exist are left as they are. Empty, or the reason it failed.
QString MakePrivateFolder(const QString& folder);

}  // namespace quintavia
