#include "shell/listing_opener.h"

#include <QDesktopServices>

#include "core/found_listing.h"

namespace quintavia {

bool OpenInBrowser(const QUrl& link) {
    if (!IsOpenableLink(link)) return false;
    return QDesktopServices::openUrl(link);
}

}  // namespace quintavia
