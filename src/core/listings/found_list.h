#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

#include "core/listings/found_listing.h"

namespace quintavia {

// "Annunci trovati": the listings found, newest first, as the history holds those of earlier
// runs and as this run finds them. Listings that this run found and that were announced count
// as not yet opened until they are opened from the list or from their notification.
class FoundList {
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
    // The rows to show, newest first: those whose title, site, company or place holds the
    // query's words (case and accents aside), the filtered ones only when asked for. A word of the
    // query is found within a word as well ("magaz" finds "Magazziniere"): the query is typed
    // letter by letter, and the list narrows as it is.
    QList<qsizetype> shown(const QString& query, bool withFiltered) const;
    // The row is opened: the link to hand to the desktop's opener, none when it has none that
    // may be opened. It no longer counts as not yet opened either way: the user has seen it,
    // and a row without a link would otherwise count for ever.
    std::optional<QUrl> open(qsizetype row);
    // The listing whose address (its own link, else its page's) this is, opened from its
    // notification.
    void openedElsewhere(const QUrl& link);
    int unopenedCount() const;
    // "Segna tutti come aperti": none counts as not yet opened any more.
    void openAll();
    // The addresses (FoundListing::address, encoded) of those not yet opened, oldest first:
    // what a later run marks again with markUnopened.
    QStringList unopenedAddresses() const;
    // The listings of the history loaded whose address is one of these count as not yet
    // opened, as they did in the run that found them.
    void markUnopened(const QStringList& addresses);

  private:
    struct Row {
        FoundListing listing;
        QString folded;  // title, site, company and place, as a query's words are looked for
        bool unopened = false;
    };
    static Row RowOf(const FoundListing& listing, bool waits);
    const Row& rowAt(qsizetype row) const;
    void dropOldest();

    // Oldest first, those loaded ahead of those found: the newest row is the last.
    QList<Row> rows_;
    qsizetype loaded_ = 0;
    int unopened_ = 0;
};

// The list's window title: "Annunci trovati", with the number not yet opened when there are.
QString FoundListingsTitle(int unopened);

}  // namespace quintavia
