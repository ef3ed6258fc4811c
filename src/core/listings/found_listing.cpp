#include "core/listings/found_listing.h"

#include <QStringList>

#include "core/sites/sites.h"

namespace quintavia {

bool IsOpenableLink(const QUrl& link) {
    return IsWebAddress(link);
}

QString TitleWithDetails(const FoundListing& listing) {
    QStringList details;
    if (!listing.company.isEmpty()) details.append(listing.company);
    if (!listing.place.isEmpty()) details.append(listing.place);
    if (details.isEmpty()) return listing.title;
    return listing.title + QStringLiteral(" · ") + details.join(QStringLiteral(", "));
}

}  // namespace quintavia
