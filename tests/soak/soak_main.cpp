// A long run of the real window, headless, against the fixture sites served from this process:
//   soak [--refreshes N] [--change-every K | K0,K1,K2,K3] [--page-kib P] [--sample-every S]
//        [--hostile] [--boards N]
// Refreshes the panes as soon as their pages are in, reads the memory of this process and
// the engine's processes as it goes, and at the end holds the log and the history against the
// titles served. With --boards, panes 2 and 3 show two boards of the user's that add N listings
// at every load. Exits 1 when an entry was lost or logged wrongly, when the log box held more
// than it keeps, when a listing is missing from the history, written twice or never served,
// when the file of the listings seen holds more keys than a site keeps or grew past its bound,
// or when the memory at the end is beyond a generous bound of its reading after the warm-up
// (refresh 100); the figures themselves are reported, never judged.
#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "core/layout/panes.h"
#include "fixture_server.h"
#include "headless_run.h"
#include "shell/app/program_start.h"
#include "shell/browser/engine_profile.h"
#include "shell/window/main_window.h"
#include "soak_run.h"
#include "soak_sites.h"
#include "store/settings_file.h"

namespace {

using quintavia::soak::SoakReport;

void Print(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString Mib(long long kib) {
    return QString::number(static_cast<double>(kib) / 1024, 'f', 1);
}

void PrintReport(const SoakReport& report, int growthFrom) {
    Print(QStringLiteral("\nRefreshes: %1 (%2 with a pane that did not finish in time)")
              .arg(report.refreshes)
              .arg(report.timedOut));

    Print(QStringLiteral("\nMemory, this process and the engine's processes together:"));
    Print(QStringLiteral("  %1  %2  %3  %4")
              .arg(QStringLiteral("after refresh"), 13)
              .arg(QStringLiteral("processes"), 9)
              .arg(QStringLiteral("PSS MiB"), 9)
              .arg(QStringLiteral("RSS MiB"), 9));
    for (const auto& sample : report.memory)
        Print(QStringLiteral("  %1  %2  %3  %4")
                  .arg(sample.refresh, 13)
                  .arg(sample.usage.processes.size(), 9)
                  .arg(Mib(sample.usage.pssKib), 9)
                  .arg(Mib(sample.usage.rssKib), 9));
    if (!report.memory.empty()) {
        Print(QStringLiteral("  processes at the end:"));
        for (const auto& p : report.memory.back().usage.processes)
            Print(QStringLiteral("    PSS %1 MiB  RSS %2 MiB  %3 %4 (of %5)")
                      .arg(Mib(p.pssKib), 7)
                      .arg(Mib(p.rssKib), 7)
                      .arg(QString::fromStdString(p.kind))
                      .arg(p.pid)
                      .arg(p.parent));
        const auto pss = report.growthPercent(growthFrom, &quintavia::soak::TreeUsage::pssKib);
        const auto rss = report.growthPercent(growthFrom, &quintavia::soak::TreeUsage::rssKib);
        if (pss && rss) {
            Print(QStringLiteral("  growth from refresh %1 to the end: PSS %2%, RSS %3% "
                                 "(target: under 10%)")
                      .arg(growthFrom)
                      .arg(*pss, 0, 'f', 1)
                      .arg(*rss, 0, 'f', 1));
            const auto pssTrend =
                report.trendPercent(growthFrom, &quintavia::soak::TreeUsage::pssKib);
            const auto rssTrend =
                report.trendPercent(growthFrom, &quintavia::soak::TreeUsage::rssKib);
            if (pssTrend && rssTrend)
                Print(QStringLiteral("  the same along a straight line through every reading "
                                     "from refresh %1 on: PSS %2%, RSS %3%")
                          .arg(growthFrom)
                          .arg(*pssTrend, 0, 'f', 1)
                          .arg(*rssTrend, 0, 'f', 1));
            long long low = -1, high = 0;
            for (const auto& sample : report.memory) {
                if (sample.refresh < growthFrom) continue;
                if (low < 0 || sample.usage.pssKib < low) low = sample.usage.pssKib;
                high = std::max(high, sample.usage.pssKib);
            }
            Print(QStringLiteral("  PSS from refresh %1 on: between %2 and %3 MiB")
                      .arg(growthFrom)
                      .arg(Mib(low))
                      .arg(Mib(high)));
            Print(QStringLiteral("  PSS at the end within %1 times its reading after refresh "
                                 "%2: %3")
                      .arg(quintavia::soak::kMemoryBound)
                      .arg(growthFrom)
                      .arg(report.memoryWithinBound(growthFrom).value_or(false)
                               ? QStringLiteral("yes")
                               : QStringLiteral("NO")));
        } else {
            Print(QStringLiteral("  no growth figure: it counts from a reading after refresh "
                                 "%1 to a later one")
                      .arg(growthFrom));
        }
    }

    Print(QStringLiteral("\nLog box: %1 entries added in all, at most %2 held at once (it "
                         "keeps the newest %3)")
              .arg(report.logEntries)
              .arg(report.logBoxMost)
              .arg(quintavia::MainWindow::kLogEntriesKept));

    Print(QStringLiteral("\nLog entries against the titles served:"));
    Print(QStringLiteral("  site  served  shown  logged  lost  wrong  never shown"));
    int served = 0, logged = 0, lost = 0, wrong = 0;
    for (int i = 0; i < quintavia::kPaneCount; ++i) {
        const auto& site = report.sites[static_cast<std::size_t>(i)];
        Print(QStringLiteral("  %1  %2  %3  %4  %5  %6  %7")
                  .arg(i, 4)
                  .arg(site.served.size(), 6)
                  .arg(site.shown.size(), 5)
                  .arg(site.logged.size(), 6)
                  .arg(site.lost.size(), 4)
                  .arg(site.unexpected.size(), 5)
                  .arg(site.unshown.size(), 11));
        for (const QString& title : site.lost) Print(QStringLiteral("    lost: ") + title);
        for (const QString& title : site.unexpected) Print(QStringLiteral("    wrong: ") + title);
        for (const QString& title : site.unshown)
            Print(QStringLiteral("    never shown: ") + title);
        served += static_cast<int>(site.served.size());
        logged += static_cast<int>(site.logged.size());
        lost += static_cast<int>(site.lost.size());
        wrong += static_cast<int>(site.unexpected.size());
    }
    Print(QStringLiteral("  all: %1 titles served, %2 entries logged, %3 lost, %4 wrong")
              .arg(served)
              .arg(logged)
              .arg(lost)
              .arg(wrong));

    Print(QStringLiteral("\nHistory against the listings served after each site's first page:"));
    Print(
        QStringLiteral("  site  served    read  in history  missing  duplicated  wrong  unread"
                       "  name"));
    for (int i = 0; i < quintavia::kPaneCount; ++i) {
        const auto s = static_cast<std::size_t>(i);
        const auto& site = report.history[s];
        Print(QStringLiteral("  %1  %2  %3  %4  %5  %6  %7  %8  %9")
                  .arg(i, 4)
                  .arg(site.served, 6)
                  .arg(site.read, 6)
                  .arg(site.inHistory, 10)
                  .arg(site.missing.size(), 7)
                  .arg(site.duplicated.size(), 10)
                  .arg(site.wrong.size(), 5)
                  .arg(site.unread.size(), 6)
                  .arg(report.siteNames[s]));
        // The first few of each: a run that goes wrong goes wrong by the thousand.
        const auto some = [](const QString& what, const QStringList& keys) {
            for (const QString& key : keys.mid(0, 10)) Print(what + key);
            if (keys.size() > 10) Print(QStringLiteral("    ... %1 in all").arg(keys.size()));
        };
        some(QStringLiteral("    missing: "), site.missing);
        some(QStringLiteral("    duplicated: "), site.duplicated);
        some(QStringLiteral("    wrong: "), site.wrong);
        some(QStringLiteral("    unread: "), site.unread);
    }
    Print(QStringLiteral("  the history whole: %1")
              .arg(report.historyWhole() ? QStringLiteral("yes") : QStringLiteral("NO")));

    Print(QStringLiteral("\nListings seen, as the file keeps them:"));
    for (const auto& sample : report.memory)
        Print(QStringLiteral("  after refresh %1: %2 bytes")
                  .arg(sample.refresh, 4)
                  .arg(sample.seenFileBytes));
    Print(QStringLiteral("  at the end: %1 bytes (bound %2)")
              .arg(report.seenFileBytes)
              .arg(quintavia::soak::kSeenFileBound));
    for (int i = 0; i < quintavia::kPaneCount; ++i) {
        const auto s = static_cast<std::size_t>(i);
        Print(QStringLiteral("  site %1: %2 keys (at most %3)  %4")
                  .arg(i)
                  .arg(report.seenKeys[s], 5)
                  .arg(quintavia::kSeenKeysKept)
                  .arg(report.siteNames[s]));
    }
    Print(QStringLiteral("  within bounds: %1")
              .arg(report.seenBounded() ? QStringLiteral("yes") : QStringLiteral("NO")));
}

}  // namespace

int main(int argc, char** argv) {
    // Settings and engine data go to a folder of the run's own.
    QTemporaryDir home;
    support::PrepareHeadlessRun(home.path());
    QApplication app(argc, argv);
    support::NameLikeTheProgram();

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption refreshesOption("refreshes", "Refreshes to drive (500).", "N", "500");
    const QCommandLineOption everyOption(
        "change-every",
        "Loads of a site before its newest title changes, one for all four or "
        "four separated by commas (1).",
        "K", "1");
    const QCommandLineOption pageOption("page-kib", "Size of each page in KiB (64).", "P", "64");
    const QCommandLineOption sampleOption("sample-every",
                                          "Refreshes between readings of memory "
                                          "(50); growth is counted from refresh 100.",
                                          "S", "50");
    const QCommandLineOption hostileOption(
        "hostile",
        "Pages that alert, ask for powers and windows, flood their console and reload "
        "themselves every second.");
    const QCommandLineOption settleOption("settle-ms",
                                          "Idle time over which memory is read, "
                                          "the lowest reading kept (5000).",
                                          "MS", "5000");
    const QCommandLineOption boardsOption("boards",
                                          "Panes 2 and 3 show two boards read by selector, "
                                          "each load of which adds N listings.",
                                          "N");
    parser.addOptions({refreshesOption, everyOption, pageOption, sampleOption, settleOption,
                       hostileOption, boardsOption});
    parser.process(app);

    bool ok = true;
    const auto number = [&](const QString& text, int least) {
        bool good = false;
        const int value = text.toInt(&good);
        if (!good || value < least) ok = false;
        return value;
    };
    quintavia::soak::SoakOptions options;
    options.refreshes = number(parser.value(refreshesOption), 1);
    options.sampleEvery = number(parser.value(sampleOption), 1);
    options.settleMs = number(parser.value(settleOption), 0);
    const int pageKib = number(parser.value(pageOption), 0);
    const int boards = parser.isSet(boardsOption) ? number(parser.value(boardsOption), 1) : 0;
    std::array<int, quintavia::kPaneCount> every{};
    const QStringList everyTexts = parser.value(everyOption).split(u',');
    if (everyTexts.size() != 1 && everyTexts.size() != quintavia::kPaneCount) ok = false;
    for (int i = 0; i < quintavia::kPaneCount && ok; ++i)
        every[static_cast<std::size_t>(i)] = number(everyTexts[everyTexts.size() == 1 ? 0 : i], 1);
    if (!ok) {
        std::fprintf(stderr, "soak: bad option value; see --help\n");
        return 2;
    }

    fixtures::FixtureServer server;
    const bool hostile = parser.isSet(hostileOption);
    quintavia::soak::SoakSites sites(every, pageKib, hostile, boards);
    server.setHandler(sites.handler());
    // The server's own record of requests would grow with the run and count as ours.
    QObject::connect(&server, &fixtures::FixtureServer::requestReceived, &server,
                     [&server] { server.clearRequests(); });
    if (!server.listen()) {
        std::fprintf(stderr, "soak: cannot start the fixture server\n");
        return 2;
    }
    support::UseFixtureSites(server.port());

    Print(QStringLiteral("Soak: %1 refreshes, pages of %2 KiB%3, titles changing every %4 loads%5")
              .arg(options.refreshes)
              .arg(pageKib)
              .arg(hostile ? QStringLiteral(", hostile") : QString())
              .arg(parser.value(everyOption))
              .arg(boards > 0 ? QStringLiteral(", panes 2 and 3 boards adding %1 listings a load")
                                    .arg(boards)
                              : QString()));
    quintavia::SettingsFile store(quintavia::SettingsFile::UserPath());
    if (const QString error = sites.placeBoards(store); !error.isEmpty()) {
        std::fprintf(stderr, "soak: %s\n", qPrintable(error));
        return 2;
    }
    quintavia::EngineProfile engine;
    const std::unique_ptr<quintavia::MainWindow> window =
        quintavia::StartProgram(store, engine.profile());
    window->show();
    const SoakReport report = quintavia::soak::RunSoak(*window, sites, options, Print);
    PrintReport(report, options.baseline);
    window->close();
    const bool logBounded = report.logBoxMost <= quintavia::MainWindow::kLogEntriesKept;
    const bool memoryBounded = report.memoryWithinBound(options.baseline).value_or(true);
    return report.lostNothing() && report.historyWhole() && report.seenBounded() && logBounded &&
                   memoryBounded
               ? 0
               : 1;
}
