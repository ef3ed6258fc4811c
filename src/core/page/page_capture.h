#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

#include "core/listings/listing.h"
#include "core/page/structure_reading.h"

namespace quintavia {

// What a pane tells once a page has finished loading and its markup has been read.
struct PageCapture {
    QUrl url;                       // the address of the document that was read
    std::optional<QString> markup;  // none when the page is not an HTML document
    // As the engine reported the load: a failure is its own error page or an HTTP error
    // status, whose page may be the site's own body.
    bool loadSucceeded = true;
    int httpStatus = 0;  // 0 when unknown
    // A site whose listings are read by a selector: what the pane's script read, in page
    // order; none when it could not run.
    std::optional<QList<Listing>> listings{};
    // Whether the program asked for this load (start-up, a refresh, a choice): a page that the
    // user or the page itself went to is read all the same, but says nothing of whether the
    // site can still be watched.
    bool startedByProgram = true;
    // The address the program asked for that led to this load: the search whose listings these
    // are, whatever redirects followed. Empty when unknown: the pane's address now stands in.
    QString requested{};
    // The site's selector is not CSS this engine parses: a fault of the rule, not of the page.
    bool selectorFault = false;
    // A site read by the shape of its pages: what that reading found, and by which selectors;
    // its listings are also in `listings`.
    std::optional<StructureReading> structure{};
    // The load was stopped for not ending in time.
    bool timedOut = false;
    // The answer's Retry-After header, where the engine tells the headers.
    std::optional<QString> retryAfter{};
};

}  // namespace quintavia
