// A long run of the real window against the soak sites: the refresh is driven as soon as the
// four panes have read their pages, far faster than the countdown, and at the end the
// log and the history are held against what the sites served and what the panes were shown,
// and the file of the listings seen is measured.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "core/layout/panes.h"
#include "core/listings/listing_memory.h"
#include "process_tree.h"
#include "shell/window/main_window.h"
#include "soak_sites.h"

namespace quintavia::soak {

struct SoakOptions {
    int refreshes = 500;
    int sampleEvery = 50;  // memory is read at the start and after every so many; 0: never
    int baseline = 100;    // memory is read after this refresh too, to count growth from
    int waitMs = 60000;    // for the four pages of one refresh
    int settleMs = 5000;   // of idling while memory is read, the lowest reading kept
};

struct MemorySample {
    int refresh = 0;  // 0: once the start-up's pages are in
    TreeUsage usage{};
    qint64 seenFileBytes = -1;  // the size of the file of the listings seen; -1: none
};

struct SiteTally {
    QStringList served{};      // each title served, in order
    QStringList shown{};       // each served title found in a page the pane completed, in order
    QStringList logged{};      // the titles of the site's log entries, in log order
    QStringList lost{};        // shown, never logged
    QStringList unexpected{};  // logged but never shown, or logged more than once
    QStringList unshown{};     // served but never in a completed page
};

// The history against the listings served, by the key the program knows a listing by. A
// site's first page only teaches the program what it shows; every listing that a later page
// the program asked for showed is written once.
struct HistoryTally {
    qsizetype served = 0;      // listings served after the site's first page
    qsizetype read = 0;        // of those, in a page the program asked for
    qsizetype inHistory = 0;   // the site's lines in the history
    QStringList missing{};     // read after the first page, never in the history
    QStringList duplicated{};  // in the history more than once
    QStringList wrong{};       // in the history, not read after the first page
    QStringList unread{};      // served after the first page, in no page the program asked for
};

// The file of the listings seen may be at most this large: four sites' kept keys and the jobs
// announced that it keeps beside them, at a generous 200 bytes each.
inline constexpr qint64 kSeenFileBound = (4 * qint64{kSeenKeysKept} + kAnnouncedKept) * 200;

// The end of the soak over the memory read after the warm-up may be at most this many times as
// much: a bound for a leak, far above the rise and fall of the engine's heaps.
inline constexpr double kMemoryBound = 1.5;

struct SoakReport {
    int refreshes = 0;
    int timedOut = 0;  // refreshes after which some pane had not finished in time
    std::vector<MemorySample> memory;
    std::array<SiteTally, kPaneCount> sites;
    qsizetype logEntries = 0;                   // entries added to the log box, in all
    int logBoxMost = 0;                         // the most entries the log box held at once
    std::array<QString, kPaneCount> siteNames;  // each pane's site, as the history names it
    std::array<HistoryTally, kPaneCount> history;
    qint64 seenFileBytes = -1;                     // at the end; -1: no file
    std::array<qsizetype, kPaneCount> seenKeys{};  // the keys the file holds per pane's site

    bool lostNothing() const;
    // Nothing missing, duplicated nor wrong in the history.
    bool historyWhole() const;
    // No site holds more than kSeenKeysKept keys, and the file is within kSeenFileBound.
    bool seenBounded() const;
    // Whether the last reading of memory (PSS) is within kMemoryBound of the reading after
    // refresh `from`; none without both readings.
    std::optional<bool> memoryWithinBound(int from) const;
    // Growth of the memory from the reading after `from` refreshes to the last one; none
    // without both readings.
    std::optional<double> growthPercent(int from, long long TreeUsage::*figure) const;
    // The same growth read off a straight line fitted to every reading from `from` on, which
    // the rise and fall of single readings moves less; none with fewer than three readings.
    std::optional<double> trendPercent(int from, long long TreeUsage::*figure) const;
};

using Progress = std::function<void(const QString& line)>;

// `window` is started, its start-up refresh sent, and its sites answered by `sites`.
SoakReport RunSoak(MainWindow& window, const SoakSites& sites, const SoakOptions& options,
                   const Progress& progress = {});

}  // namespace quintavia::soak
