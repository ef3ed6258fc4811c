// The time from the engine's load-finished to the log entry, on a 1 MB page, with the real
// window and engine against the fixture sites. Prints its figures; asserts nothing on time.
//   listing_latency_bench [--gtest_filter=...]   (QT_QPA_PLATFORM=offscreen by default)
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QComboBox>
#include <QElapsedTimer>
#include <QWebEngineScript>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "harness.h"
#include "listing_pages.h"

namespace quintavia::e2e {
namespace {

constexpr int kRounds = 15;
constexpr qsizetype kPageBytes = 1024 * 1024;

// A Jobrapido results page of about 1 MB whose newest listing carries `title`.
QByteArray BigPage(const QString& title) {
    QByteArray page = fixtures::ListingPage(1, title);
    const qsizetype end = page.lastIndexOf("</body>");
    QByteArray older;
    for (int id = 0; page.size() + older.size() < kPageBytes; ++id)
        older +=
            "<div class=\"risultato\"><a href=\"/offerta/" + QByteArray::number(id) +
            "\">Impiegato contabile</a><p>Sede di lavoro: Pescara. Contratto a tempo "
            "indeterminato, attivit\xc3\xa0 in citt\xc3\xa0, esperienza richiesta.</p></div>\n";
    return page.insert(end, older);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

TEST(ListingLatency, LoadFinishedToLogEntryOnAOneMegabytePage) {
    Harness& harness = Harness::instance();
    harness.reset();
    int served = 0;
    qsizetype pageSize = 0;
    harness.server().setHandler([&](const fixtures::Request& request) {
        const int site = fixtures::SiteForHost(request.host);
        if (site < 0) return fixtures::Response{.status = 404};
        if (site != 1) return fixtures::Response{.body = fixtures::ListingPage(site, "Cuoco")};
        const QByteArray page = BigPage(QStringLiteral("Operaio - annuncio %1").arg(++served));
        pageSize = page.size();
        return fixtures::Response{.body = page};
    });

    auto window = StartWindow();
    auto* log = window->findChild<QComboBox*>("logBox");
    WebPane* pane = window->pane(1);
    QElapsedTimer clock;
    clock.start();
    qint64 started = -1, finished = -1, logged = -1;
    int completions = 0;
    QObject::connect(pane, &QWebEngineView::loadStarted, [&] { started = clock.nsecsElapsed(); });
    QObject::connect(pane, &QWebEngineView::loadFinished, [&] { finished = clock.nsecsElapsed(); });
    QObject::connect(log->model(), &QAbstractItemModel::rowsInserted, [&] {
        if (log->itemText(log->count() - 1).startsWith("Jobrapido")) logged = clock.nsecsElapsed();
    });
    QObject::connect(pane, &WebPane::pageCaptured, [&] { ++completions; });
    ASSERT_TRUE(WaitFor([&] { return completions >= 1; }, 60000));

    std::vector<double> loadMs, toLogMs;
    for (int round = 0; round < kRounds; ++round) {
        started = finished = logged = -1;
        const int before = completions;
        pane->reload();
        ASSERT_TRUE(WaitFor([&] { return completions > before; }, 60000));
        ASSERT_GE(logged, finished) << "no log entry for round " << round;
        loadMs.push_back(static_cast<double>(finished - started) / 1e6);
        toLogMs.push_back(static_cast<double>(logged - finished) / 1e6);
    }

    // The share of the engine: the same markup asked for again, with nothing done on it.
    std::vector<double> markupMs;
    for (int round = 0; round < kRounds; ++round) {
        const qint64 asked = clock.nsecsElapsed();
        qint64 answered = -1;
        pane->page()->runJavaScript(QStringLiteral("document.documentElement.outerHTML"),
                                    QWebEngineScript::ApplicationWorld,
                                    [&](const QVariant&) { answered = clock.nsecsElapsed(); });
        ASSERT_TRUE(WaitFor([&] { return answered >= 0; }, 60000));
        markupMs.push_back(static_cast<double>(answered - asked) / 1e6);
    }

    std::printf("\nJobrapido page of %lld bytes, %d loads\n", static_cast<long long>(pageSize),
                kRounds);
    std::printf("  load started -> load finished:  median %7.1f ms  min %7.1f  max %7.1f\n",
                Median(loadMs), *std::min_element(loadMs.begin(), loadMs.end()),
                *std::max_element(loadMs.begin(), loadMs.end()));
    std::printf("  load finished -> log entry:     median %7.1f ms  min %7.1f  max %7.1f\n",
                Median(toLogMs), *std::min_element(toLogMs.begin(), toLogMs.end()),
                *std::max_element(toLogMs.begin(), toLogMs.end()));
    std::printf(
        "  of which the engine handing over the markup: median %7.1f ms  min %7.1f  max %7.1f\n",
        Median(markupMs), *std::min_element(markupMs.begin(), markupMs.end()),
        *std::max_element(markupMs.begin(), markupMs.end()));
    EXPECT_EQ(log->currentText(), QStringLiteral("Jobrapido: OPERAIO - ANNUNCIO %1").arg(served));
}

}  // namespace
}  // namespace quintavia::e2e
