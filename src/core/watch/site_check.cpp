#include "core/watch/site_check.h"

#include "core/listings/listing.h"
#include "core/text/shown_text.h"

namespace quintavia {

SiteCheck CheckSite(const SiteRule& rule, const PageCapture& capture) {
    const PageListings read = ReadListings(rule, capture);
    SiteCheck check;
    for (const Listing& listing : read.listings) {
        if (check.listings.size() == kCheckedListings) break;
        const QString title = ShownText(CutTitle(listing.title));
        if (!title.isEmpty()) check.listings.append({title, listing.link});
    }
    // The same judgement as the pane's watch, on a single capture.
    check.blindReason = BlindReason(Observe(rule, WatchFacts(rule, capture, read)));
    return check;
}

QString CheckReport(const QString& address, const PageCapture& capture, const SiteCheck& check) {
    QString status;
    if (capture.httpStatus != 0)
        status = QString::number(capture.httpStatus);
    else if (capture.loadSucceeded)
        status = QStringLiteral("success");  // a page that came by other means than HTTP
    else
        status = QStringLiteral("none, the page did not load");
    QString report = QStringLiteral("address: %1\nHTTP status: %2\nfinal address: %3\n")
                         .arg(address, status, QString::fromLatin1(capture.url.toEncoded()));
    report += QStringLiteral("listings: %1\n").arg(check.listings.size());
    for (const Listing& listing : check.listings)
        report += QStringLiteral("  %1\n    %2\n")
                      .arg(listing.title, QString::fromLatin1(listing.link.toEncoded()));
    if (!check.blindReason.isEmpty())
        report += QStringLiteral("blind: %1\n").arg(check.blindReason);
    return report;
}

}  // namespace quintavia
