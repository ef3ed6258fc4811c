#pragma once

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace quintavia {

// What the program remembers of the listings it has met, between runs: per site, the keys of
// the listings seen (a listing's link, or its title where the site gives no links), and the
// jobs announced lately, to announce each job once whichever site shows it.

// The newest keys kept per site: more than any search shows at once, so that a listing that
// moves down a page is never new again, and few enough that the file stays small.
inline constexpr qsizetype kSeenKeysKept = 2000;
// How long an announced job is remembered, and the most remembered.
inline constexpr qint64 kAnnouncedDays = 7;
inline constexpr qsizetype kAnnouncedKept = 5000;

struct SeenKeys {
    // The search whose listings the keys are: the address the pane was given. Another search
    // is not news, so its first capture only learns what it shows.
    QString search;
    QStringList keys;  // oldest first, at most kSeenKeysKept

    bool operator==(const SeenKeys&) const = default;
};

struct Announced {
    QString title;   // folded (FoldText)
    QString siteId;  // the site that announced it
    QString site;    // that site's name, for the history's "anche su" column
    QDateTime when;

    bool operator==(const Announced&) const = default;
};

struct ListingMemory {
    QMap<QString, SeenKeys> sites;  // by site id
    QList<Announced> announced;     // oldest first

    bool operator==(const ListingMemory&) const = default;
};

}  // namespace quintavia
