#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

#include "core/found_listing.h"

namespace quintavia {

// "Annunci trovati": the listings found, newest first, as the history holds those of earlier
// runs and as this run finds them. Listings that this run found and that were announced count
// as not yet opened until they are opened from the list or from their notification.
class FoundListings {
  public:
    // The most kept: the history files hold more, and a run of weeks must not grow the list
    // without end.
    static constexpr qsizetype kKept = 5000;

    // What the history holds, oldest first: in place of what was loaded before, ahead of what
    // this run found.
    void load(const QList<FoundListing>& earlier);
    // What a capture found, oldest first. `announced` tells which were announced (passed the
    // words and were no other site's): those count as not yet opened.
    void add(const QList<FoundListing>& found, const QList<bool>& announced);

    // Newest first.
    qsizetype size() const;
    const FoundListing& at(qsizetype row) const;
    bool unopened(qsizetype row) const;
    // The rows to show, newest first: those whose title or site holds the query's words (case
    // and accents aside), the filtered ones only when asked for.
    QList<qsizetype> shown(const QString& query, bool withFiltered) const;
    // The row is opened: the link to hand to the desktop's opener, none when it has none that
    // may be opened.
    std::optional<QUrl> open(qsizetype row);
    // The listing whose link this is, opened from its notification.
    void openedElsewhere(const QUrl& link);
    int unopenedCount() const;
};

// The list's window title: "Annunci trovati", with the number not yet opened when there are.
QString FoundListingsTitle(int unopened);

}  // namespace quintavia
