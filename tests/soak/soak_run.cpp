#include "soak_run.h"

#include <unistd.h>

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <algorithm>

#include "awaiting.h"
#include "core/layout/panes.h"
#include "store/history_file.h"
#include "store/listing_memory_file.h"

namespace quintavia::soak {
namespace {

// Each pane's pages read, the served titles its completed pages showed, and the listings
// in the pages the program asked for: its first such page apart.
class PaneWatch {
  public:
    PaneWatch(MainWindow& window, const SoakSites& sites) {
        for (int i = 0; i < kPaneCount; ++i)
            QObject::connect(window.pane(i), &WebPane::pageCaptured, &context_,
                             [this, &sites](int site, const PageCapture& capture) {
                                 onCapture(sites, site, capture);
                             });
    }
    int completions(int site) const { return completions_[static_cast<std::size_t>(site)]; }
    const QStringList& shown(int site) const { return shown_[static_cast<std::size_t>(site)]; }
    const QSet<QString>& firstRead(int site) const {
        return firstRead_[static_cast<std::size_t>(site)];
    }
    const QSet<QString>& read(int site) const { return read_[static_cast<std::size_t>(site)]; }

  private:
    void onCapture(const SoakSites& sites, int site, const PageCapture& capture) {
        const auto s = static_cast<std::size_t>(site);
        ++completions_[s];
        if (!capture.markup) return;
        const QString title = sites.titleIn(site, *capture.markup);
        if (!title.isEmpty() && !shown_[s].contains(title)) shown_[s] << title;
        // A page that reloaded itself is read, but brings no news.
        if (!capture.startedByProgram) return;
        const QStringList keys = sites.keysIn(site, *capture.markup);
        if (keys.isEmpty()) return;
        QSet<QString>& into = firstRead_[s].isEmpty() ? firstRead_[s] : read_[s];
        into.unite(QSet<QString>(keys.begin(), keys.end()));
    }

    QObject context_;
    std::array<int, kPaneCount> completions_{};
    std::array<QStringList, kPaneCount> shown_;
    std::array<QSet<QString>, kPaneCount> firstRead_;
    std::array<QSet<QString>, kPaneCount> read_;
};

// Every entry added to the log box, as it is added: the box itself keeps only the newest.
class LogWatch {
  public:
    explicit LogWatch(MainWindow& window)
        : log_(window.findChild<QComboBox*>(QStringLiteral("logBox"))) {
        QObject::connect(log_->model(), &QAbstractItemModel::rowsInserted, &context_,
                         [this](const QModelIndex&, int first, int last) {
                             for (int row = first; row <= last; ++row)
                                 entries_ << log_->itemText(row);
                             most_ = std::max(most_, log_->count());
                         });
    }
    const QStringList& entries() const { return entries_; }
    int most() const { return most_; }

    QStringList titles(const QString& logLabel) const {
        const QString prefix = logLabel + QStringLiteral(": ");
        QStringList titles;
        for (const QString& entry : entries_)
            if (entry.startsWith(prefix)) titles << entry.mid(prefix.size());
        return titles;
    }

  private:
    QComboBox* log_;
    QObject context_;
    QStringList entries_;
    int most_ = 0;
};

QStringList Upper(const QStringList& titles) {
    QStringList upper;
    for (const QString& title : titles) upper << title.toUpper();
    return upper;
}

SiteTally Tally(const QStringList& served, const QStringList& shown, const QStringList& logged,
                bool upper) {
    SiteTally tally{.served = served, .shown = shown, .logged = logged};
    // The probe logs titles in upper case, a selector as they are; the served ones have nothing
    // else to change.
    const QStringList shownUpper = upper ? Upper(shown) : shown;
    const QSet<QString> loggedSet(logged.begin(), logged.end());
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (!loggedSet.contains(shownUpper[i])) tally.lost << shown[i];
    QSet<QString> shownSet(shownUpper.begin(), shownUpper.end());
    for (const QString& title : logged) {
        // Each title is logged once: the second time it is no longer in the set.
        if (!shownSet.remove(title)) tally.unexpected << title;
    }
    const QSet<QString> shownOriginal(shown.begin(), shown.end());
    for (const QString& title : served)
        if (!shownOriginal.contains(title)) tally.unshown << title;
    return tally;
}

HistoryTally TallyHistory(const QStringList& served, const QSet<QString>& firstRead,
                          const QSet<QString>& read, const QStringList& history) {
    HistoryTally tally;
    tally.inHistory = history.size();
    QSet<QString> expected = read;
    expected.subtract(firstRead);
    for (const QString& key : served) {
        if (firstRead.contains(key)) continue;
        ++tally.served;
        if (expected.contains(key))
            ++tally.read;
        else
            tally.unread << key;
    }
    QHash<QString, int> times;
    for (const QString& key : history)
        if (++times[key] == 2) tally.duplicated << key;
    for (const QString& key : history)
        if (!expected.contains(key) && !tally.wrong.contains(key)) tally.wrong << key;
    for (const QString& key : served)
        if (expected.contains(key) && !times.contains(key)) tally.missing << key;
    return tally;
}

// The keys that the file of the listings seen holds per site id, read from the file as it
// lies: a load would cut what it reads to what is kept.
QHash<QString, qsizetype> SeenKeysInFile(const QString& path) {
    QFile file(path);
    QHash<QString, qsizetype> keys;
    if (!file.open(QIODevice::ReadOnly)) return keys;
    const QJsonObject sites =
        QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("siti")).toObject();
    for (auto site = sites.constBegin(); site != sites.constEnd(); ++site)
        keys.insert(site.key(),
                    site.value().toObject().value(QStringLiteral("chiavi")).toArray().size());
    return keys;
}

qint64 FileBytes(const QString& path) {
    const QFileInfo info(path);
    return info.exists() ? info.size() : -1;
}

}  // namespace

bool SoakReport::historyWhole() const {
    for (const HistoryTally& site : history)
        if (!site.missing.isEmpty() || !site.duplicated.isEmpty() || !site.wrong.isEmpty())
            return false;
    return true;
}

bool SoakReport::seenBounded() const {
    for (const qsizetype keys : seenKeys)
        if (keys > kSeenKeysKept) return false;
    return seenFileBytes <= kSeenFileBound;
}

bool SoakReport::lostNothing() const {
    for (const SiteTally& site : sites)
        if (!site.lost.isEmpty() || !site.unexpected.isEmpty()) return false;
    return true;
}

std::optional<bool> SoakReport::memoryWithinBound(int from) const {
    for (const MemorySample& sample : memory) {
        if (sample.refresh != from || &sample == &memory.back()) continue;
        return static_cast<double>(memory.back().usage.pssKib) <=
               kMemoryBound * static_cast<double>(sample.usage.pssKib);
    }
    return std::nullopt;
}

std::optional<double> SoakReport::growthPercent(int from, long long TreeUsage::*figure) const {
    for (const MemorySample& sample : memory) {
        const long long base = sample.usage.*figure;
        if (sample.refresh != from || base == 0 || &sample == &memory.back()) continue;
        return 100.0 * static_cast<double>(memory.back().usage.*figure - base) /
               static_cast<double>(base);
    }
    return std::nullopt;
}

std::optional<double> SoakReport::trendPercent(int from, long long TreeUsage::*figure) const {
    // Least squares over (refresh, figure).
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const MemorySample& sample : memory) {
        if (sample.refresh < from) continue;
        const auto x = static_cast<double>(sample.refresh);
        const auto y = static_cast<double>(sample.usage.*figure);
        n += 1;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    if (n < 3 || n * sxx == sx * sx) return std::nullopt;
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double intercept = (sy - slope * sx) / n;
    const double start = intercept + slope * from;
    const double end = intercept + slope * memory.back().refresh;
    if (start <= 0) return std::nullopt;
    return 100.0 * (end - start) / start;
}

SoakReport RunSoak(MainWindow& window, const SoakSites& sites, const SoakOptions& options,
                   const Progress& progress) {
    PaneWatch watch(window, sites);
    LogWatch log(window);
    auto* refreshButton = window.findChild<QPushButton*>(QStringLiteral("refreshButton"));
    SoakReport report;
    const QString seenPath = ListingMemoryFile::UserPath();
    const auto say = [&](const QString& line) {
        if (progress) progress(line);
    };
    const auto allPast = [&](const std::array<int, kPaneCount>& before) {
        for (int i = 0; i < kPaneCount; ++i)
            if (watch.completions(i) <= before[static_cast<std::size_t>(i)]) return false;
        return true;
    };
    // The engine's heaps rise and fall with its garbage collections, by more than a leak
    // would show in a few hundred loads; the lowest reading while idle is the steady figure.
    const auto sample = [&](int refresh) {
        TreeUsage lowest = MeasureTree(getpid());
        QDeadlineTimer settled(options.settleMs);
        while (!settled.hasExpired()) {
            QTest::qWait(250);
            TreeUsage usage = MeasureTree(getpid());
            if (usage.pssKib < lowest.pssKib) lowest = std::move(usage);
        }
        report.memory.push_back({refresh, std::move(lowest), FileBytes(seenPath)});
        const MemorySample& taken = report.memory.back();
        say(QStringLiteral("refresh %1: %2 processes, PSS %3 MiB, RSS %4 MiB, listings seen "
                           "%5 bytes")
                .arg(refresh)
                .arg(taken.usage.processes.size())
                .arg(static_cast<double>(taken.usage.pssKib) / 1024, 0, 'f', 1)
                .arg(static_cast<double>(taken.usage.rssKib) / 1024, 0, 'f', 1)
                .arg(taken.seenFileBytes));
    };

    // The start-up refresh is already on its way.
    if (!support::WaitFor([&] { return allPast({}); }, options.waitMs)) ++report.timedOut;
    if (options.sampleEvery > 0) sample(0);

    for (int refresh = 1; refresh <= options.refreshes; ++refresh) {
        std::array<int, kPaneCount> before{};
        for (int i = 0; i < kPaneCount; ++i)
            before[static_cast<std::size_t>(i)] = watch.completions(i);
        refreshButton->click();
        if (!support::WaitFor([&] { return allPast(before); }, options.waitMs)) {
            ++report.timedOut;
            say(QStringLiteral("refresh %1: not every pane finished in time").arg(refresh));
        }
        report.refreshes = refresh;
        if (options.sampleEvery > 0 &&
            (refresh % options.sampleEvery == 0 || refresh == options.baseline ||
             refresh == options.refreshes))
            sample(refresh);
    }

    // A page that finished late still reaches the log.
    QTest::qWait(options.settleMs);
    QHash<QString, QStringList> history;  // keys by site name
    for (const FoundListing& found : HistoryFile(HistoryFile::UserPath()).readFound())
        history[found.site] << found.title << found.address().toString();
    const QHash<QString, qsizetype> seenKeys = SeenKeysInFile(seenPath);
    for (int i = 0; i < kPaneCount; ++i) {
        const auto s = static_cast<std::size_t>(i);
        const SiteRule& rule = window.controller().paneRule(i);
        report.siteNames[s] = rule.name;
        report.sites[s] =
            Tally(sites.served(i), watch.shown(i), log.titles(rule.logLabel), !sites.isBoard(i));
        // A board's listing is known by its link, a marker site's by its title.
        const QStringList& lines = history[rule.name];
        QStringList keys;
        for (qsizetype k = sites.isBoard(i) ? 1 : 0; k < lines.size(); k += 2) keys << lines[k];
        report.history[s] =
            TallyHistory(sites.servedKeys(i), watch.firstRead(i), watch.read(i), keys);
        report.seenKeys[s] = seenKeys.value(rule.id);
    }
    report.seenFileBytes = FileBytes(seenPath);
    report.logEntries = log.entries().size();
    report.logBoxMost = log.most();
    return report;
}

}  // namespace quintavia::soak
