#include "core/listings/found_listing.h"

namespace quintavia {

bool IsOpenableLink(const QUrl& link) {
    const QString scheme = link.scheme();
    return link.isValid() && !link.host().isEmpty() && (scheme == u"http" || scheme == u"https");
}

}  // namespace quintavia
