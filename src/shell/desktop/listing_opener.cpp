#include "shell/desktop/listing_opener.h"

#include <QDesktopServices>

#include "core/listings/found_listing.h"

namespace quintavia {

bool OpenInBrowser(const QUrl& link) {
    if (!IsOpenableLink(link)) return false;
    return QDesktopServices::openUrl(link);
}

}  // namespace quintavia
