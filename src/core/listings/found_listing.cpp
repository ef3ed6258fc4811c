#include "core/listings/found_listing.h"

#include "core/sites/sites.h"

namespace quintavia {

bool IsOpenableLink(const QUrl& link) {
    return IsWebAddress(link);
}

}  // namespace quintavia
