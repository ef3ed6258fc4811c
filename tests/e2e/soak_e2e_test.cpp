#include <gtest/gtest.h>

#include <QFile>

#include "core/layout/panes.h"
#include "harness.h"
#include "shell/app/program_start.h"
#include "soak_run.h"
#include "store/history_file.h"

namespace quintavia::e2e {
namespace {

// One title a line, so that a failure shows which are missing.
std::string Lines(const QStringList& titles) {
    return titles.join(u'\n').toStdString();
}

// The soak of scripts/soak.sh, short: sixty refreshes back to back, each site's listing
// changing at its own pace. Every title served reaches the log once, in the order served.
TEST(ShortSoak, SixtyRefreshesInARowLoseNoEntry) {
    Harness::instance().reset();
    soak::SoakSites sites({1, 2, 3, 4}, 16);
    Harness::instance().server().setHandler(sites.handler());
    auto window = StartWindow();

    const soak::SoakReport report =
        soak::RunSoak(*window, sites, {.refreshes = 60, .sampleEvery = 0, .settleMs = 500});

    EXPECT_EQ(report.refreshes, 60);
    EXPECT_EQ(report.timedOut, 0);
    // The first load, then sixty more: 61, 31, 21 and 16 titles.
    const std::array<qsizetype, kPaneCount> titles{61, 31, 21, 16};
    for (int i = 0; i < kPaneCount; ++i) {
        SCOPED_TRACE(i);
        const soak::SiteTally& site = report.sites[static_cast<std::size_t>(i)];
        EXPECT_EQ(site.served.size(), titles[static_cast<std::size_t>(i)]);
        EXPECT_EQ(Lines(site.shown), Lines(site.served));
        EXPECT_EQ(Lines(site.logged), site.served.join(u'\n').toUpper().toStdString());
    }
    EXPECT_TRUE(report.lostNothing());
    window.reset();
    Harness::instance().reset();
}

// The soak against hostile pages, long enough for the log box to pass what it keeps: every
// title still reaches the log, and the box keeps the newest 500 entries.
TEST(ShortSoak, HostilePagesLoseNoEntryAndTheLogKeepsFiveHundred) {
    Harness::instance().reset();
    soak::SoakSites sites({1, 1, 1, 1}, 4, true);
    Harness::instance().server().setHandler(sites.handler());
    auto window = StartWindow();

    const soak::SoakReport report =
        soak::RunSoak(*window, sites, {.refreshes = 130, .sampleEvery = 0, .settleMs = 500});

    EXPECT_EQ(report.refreshes, 130);
    EXPECT_EQ(report.timedOut, 0);
    for (int i = 0; i < kPaneCount; ++i) {
        SCOPED_TRACE(i);
        const soak::SiteTally& site = report.sites[static_cast<std::size_t>(i)];
        EXPECT_GE(site.served.size(), 131);
        EXPECT_EQ(Lines(site.lost), "");
        EXPECT_EQ(Lines(site.unexpected), "");
    }
    EXPECT_GT(report.logEntries, MainWindow::kLogEntriesKept);
    EXPECT_EQ(report.logBoxMost, MainWindow::kLogEntriesKept);
    EXPECT_EQ(LogEntries(*window).size(), MainWindow::kLogEntriesKept);
    window.reset();
    Harness::instance().reset();
}

// The soak with two boards in panes 2 and 3 that add three listings at every load, beside the
// two marker sites: every listing that came after a site's first page is in the history once,
// and nothing else is.
TEST(ShortSoak, BoardsAddingListingsHaveEachInTheHistoryOnce) {
    Harness::instance().reset();
    const QString history = HistoryFile::UserPath();
    const QString sitesFile = SitesPathBeside(Harness::instance().settingsPath());
    const auto forget = [&] {
        for (const QString& path : {history, history + QStringLiteral(".1"), sitesFile})
            QFile::remove(path);
    };
    forget();
    soak::SoakSites sites({1, 2, 1, 1}, 4, false, 3);
    ASSERT_EQ(sites.placeBoards(Harness::instance().store()).toStdString(), "");
    Harness::instance().server().setHandler(sites.handler());
    auto window = StartWindow();

    const soak::SoakReport report =
        soak::RunSoak(*window, sites, {.refreshes = 40, .sampleEvery = 0, .settleMs = 500});

    EXPECT_EQ(report.timedOut, 0);
    // After the first page: forty titles, twenty, and a hundred and twenty listings a board.
    const std::array<qsizetype, kPaneCount> news{40, 20, 120, 120};
    for (int i = 0; i < kPaneCount; ++i) {
        SCOPED_TRACE(i);
        const soak::HistoryTally& site = report.history[static_cast<std::size_t>(i)];
        EXPECT_EQ(site.served, news[static_cast<std::size_t>(i)]);
        EXPECT_EQ(site.read, site.served);
        EXPECT_EQ(site.inHistory, site.served);
        EXPECT_EQ(Lines(site.missing), "");
        EXPECT_EQ(Lines(site.duplicated), "");
        EXPECT_EQ(Lines(site.wrong), "");
    }
    EXPECT_TRUE(report.historyWhole());
    EXPECT_TRUE(report.lostNothing());
    window.reset();
    Harness::instance().reset();
    forget();
}

}  // namespace
}  // namespace quintavia::e2e
