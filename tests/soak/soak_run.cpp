#include "soak_run.h"

#include <unistd.h>

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QObject>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <algorithm>

#include "awaiting.h"
#include "core/site_rules.h"

namespace quintavia::soak {
namespace {

// Each pane's pages read, and the served titles its completed pages showed.
class PaneWatch {
  public:
    PaneWatch(MainWindow& window, const SoakSites& sites) {
        for (int i = 0; i < kSiteCount; ++i)
            QObject::connect(window.pane(i), &WebPane::pageCaptured, &context_,
                             [this, &sites](int site, const PageCapture& capture) {
                                 onCapture(sites, site, capture);
                             });
    }
    int completions(int site) const { return completions_[static_cast<std::size_t>(site)]; }
    const QStringList& shown(int site) const { return shown_[static_cast<std::size_t>(site)]; }

  private:
    void onCapture(const SoakSites& sites, int site, const PageCapture& capture) {
        const auto s = static_cast<std::size_t>(site);
        ++completions_[s];
        if (!capture.markup) return;
        const QString title = sites.titleIn(site, *capture.markup);
        if (!title.isEmpty() && !shown_[s].contains(title)) shown_[s] << title;
    }

    QObject context_;
    std::array<int, kSiteCount> completions_{};
    std::array<QStringList, kSiteCount> shown_;
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

    QStringList titles(int site) const {
        const QString prefix = DefaultRules()[site].logLabel + QStringLiteral(": ");
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

SiteTally Tally(const QStringList& served, const QStringList& shown, const QStringList& logged) {
    SiteTally tally{.served = served, .shown = shown, .logged = logged};
    // The probe logs titles in upper case; the served ones have nothing else to change.
    const QStringList shownUpper = Upper(shown);
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

}  // namespace

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
    const auto say = [&](const QString& line) {
        if (progress) progress(line);
    };
    const auto allPast = [&](const std::array<int, kSiteCount>& before) {
        for (int i = 0; i < kSiteCount; ++i)
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
        report.memory.push_back({refresh, std::move(lowest)});
        const TreeUsage& usage = report.memory.back().usage;
        say(QStringLiteral("refresh %1: %2 processes, PSS %3 MiB, RSS %4 MiB")
                .arg(refresh)
                .arg(usage.processes.size())
                .arg(static_cast<double>(usage.pssKib) / 1024, 0, 'f', 1)
                .arg(static_cast<double>(usage.rssKib) / 1024, 0, 'f', 1));
    };

    // The start-up refresh is already on its way.
    if (!support::WaitFor([&] { return allPast({}); }, options.waitMs)) ++report.timedOut;
    if (options.sampleEvery > 0) sample(0);

    for (int refresh = 1; refresh <= options.refreshes; ++refresh) {
        std::array<int, kSiteCount> before{};
        for (int i = 0; i < kSiteCount; ++i)
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
    for (int i = 0; i < kSiteCount; ++i)
        report.sites[static_cast<std::size_t>(i)] =
            Tally(sites.served(i), watch.shown(i), log.titles(i));
    report.logEntries = log.entries().size();
    report.logBoxMost = log.most();
    return report;
}

}  // namespace quintavia::soak
