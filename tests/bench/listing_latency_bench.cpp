// The time from the engine's load-finished to the log entry, on a 1 MB page with 50 listing
// cards, with the real window and engine against the fixture sites: Jobrapido read by its
// marker, then by a selector of the user's over the same page, then by the page's structure.
// Prints its figures; asserts nothing on time.
//   listing_latency_bench [--gtest_filter=...]   (QT_QPA_PLATFORM=offscreen by default)
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QWebEngineScript>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/page/listing_extraction.h"
#include "core/page/listing_probe.h"
#include "core/page/structure_reading.h"
#include "harness.h"
#include "listing_pages.h"
#include "shell/app/program_start.h"

namespace quintavia::e2e {
namespace {

constexpr int kRounds = 15;
constexpr qsizetype kPageBytes = 1024 * 1024;
constexpr int kCards = 50;

// Jobrapido read by a selector: its pane's rule, over the built-in one, from the sites file.
const char kSelectorRule[] = "[jobrapido]\nselettore = article.offerta h3\nselettore_link = a\n";
// Jobrapido with neither: read by structure.
const char kStructureRule[] = "[jobrapido]\nselettore =\n";

// A Jobrapido results page of about 1 MB whose newest listing carries `title`, both where its
// marker finds it and as the first of kCards cards that a selector finds.
QByteArray BigPage(const QString& title) {
    QByteArray page = fixtures::ListingPage(1, title);
    const qsizetype end = page.lastIndexOf("</body>");
    QByteArray older;
    for (int card = 0; card < kCards; ++card)
        older += "<article class=\"offerta\"><h3>" +
                 (card == 0 ? title.toHtmlEscaped().toUtf8()
                            : "Impiegato contabile " + QByteArray::number(card)) +
                 "</h3><a href=\"/offerta/c" + QByteArray::number(card) +
                 "\">Vedi</a><p>Pescara, tempo pieno.</p></article>\n";
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

struct Figures {
    qsizetype pageSize = 0;
    std::vector<double> loadMs, toLogMs, markupMs;
    std::vector<double> readMs;  // the rule's own reading alone: the probe, or the script
    std::vector<double> pageMs;  // the structure script's own time in the page
    QString lastEntry, expectedEntry;
};

void Print(const char* what, const std::vector<double>& ms) {
    std::printf("  %-44s median %7.1f ms  min %7.1f  max %7.1f\n", what, Median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
}

// kRounds loads of the Jobrapido pane, read by the rule that `sitesFile` gives it (the
// built-in one when none).
void Measure(const char* sitesFile, Figures& figures) {
    Harness& harness = Harness::instance();
    harness.reset();
    const QString sitesPath = SitesPathBeside(harness.settingsPath());
    QFile::remove(sitesPath);
    if (sitesFile) {
        QFile file(sitesPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(sitesFile) > 0);
    }
    int served = 0;
    harness.server().setHandler([&](const fixtures::Request& request) {
        const int site = fixtures::SiteForHost(request.host);
        if (site < 0) return fixtures::Response{.status = 404};
        if (site != 1) return fixtures::Response{.body = fixtures::ListingPage(site, "Cuoco")};
        const QByteArray page = BigPage(QStringLiteral("Operaio - annuncio %1").arg(++served));
        figures.pageSize = page.size();
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
    QString markup;
    QObject::connect(pane, &WebPane::pageCaptured, [&](int, const PageCapture& capture) {
        ++completions;
        markup = capture.markup.value_or(QString());
    });
    ASSERT_TRUE(WaitFor([&] { return completions >= 1; }, 60000));

    for (int round = 0; round < kRounds; ++round) {
        started = finished = logged = -1;
        const int before = completions;
        pane->reload();
        ASSERT_TRUE(WaitFor([&] { return completions > before; }, 60000));
        ASSERT_GE(logged, finished) << "no log entry for round " << round;
        figures.loadMs.push_back(static_cast<double>(finished - started) / 1e6);
        figures.toLogMs.push_back(static_cast<double>(logged - finished) / 1e6);
    }

    // The share of the engine: the same markup asked for again, with nothing done on it.
    for (int round = 0; round < kRounds; ++round) {
        const qint64 asked = clock.nsecsElapsed();
        qint64 answered = -1;
        pane->page()->runJavaScript(QStringLiteral("document.documentElement.outerHTML"),
                                    QWebEngineScript::ApplicationWorld,
                                    [&](const QVariant&) { answered = clock.nsecsElapsed(); });
        ASSERT_TRUE(WaitFor([&] { return answered >= 0; }, 60000));
        figures.markupMs.push_back(static_cast<double>(answered - asked) / 1e6);
    }
    // The rule's own reading, alone: the probe on the markup that was read, or the selector's
    // script run again in the page as the capture runs it.
    const SiteRule& rule = window->controller().paneRule(1);
    for (int round = 0; round < kRounds; ++round) {
        if (rule.findBy == FindBy::Marker) {
            QElapsedTimer probe;
            probe.start();
            const ProbeResult found = FindNewestListing(markup, rule.marker);
            figures.readMs.push_back(static_cast<double>(probe.nsecsElapsed()) / 1e6);
            ASSERT_EQ(found.outcome, ProbeOutcome::Title);
            continue;
        }
        const qint64 asked = clock.nsecsElapsed();
        qint64 answered = -1;
        int read = 0;
        const bool byStructure = rule.findBy == FindBy::Structure;
        pane->page()->runJavaScript(
            byStructure ? StructureScript(rule.domain) : ExtractionScript(rule),
            QWebEngineScript::ApplicationWorld, [&](const QVariant& answer) {
                if (byStructure) {
                    const std::optional<StructureReading> reading = StructureFromAnswer(answer);
                    read = reading ? static_cast<int>(reading->listings.size()) : -1;
                    if (reading) figures.pageMs.push_back(reading->pageMs);
                } else {
                    read = static_cast<int>(ListingsFromAnswer(answer).size());
                }
                answered = clock.nsecsElapsed();
            });
        ASSERT_TRUE(WaitFor([&] { return answered >= 0; }, 60000));
        ASSERT_EQ(read, kCards);
        figures.readMs.push_back(static_cast<double>(answered - asked) / 1e6);
    }
    figures.lastEntry = log->currentText();
    figures.expectedEntry = QStringLiteral("Operaio - annuncio %1").arg(served);
    window.reset();
    QFile::remove(sitesPath);
}

TEST(ListingLatency, LoadFinishedToLogEntryOnAOneMegabytePage) {
    Figures marker, selector, structure;
    ASSERT_NO_FATAL_FAILURE(Measure(nullptr, marker));
    ASSERT_NO_FATAL_FAILURE(Measure(kSelectorRule, selector));
    ASSERT_NO_FATAL_FAILURE(Measure(kStructureRule, structure));

    std::printf("\nJobrapido page of %lld bytes with %d cards, %d loads for each rule\n",
                static_cast<long long>(marker.pageSize), kCards, kRounds);
    std::printf(" the marker probe (the markup read and searched):\n");
    Print("load started -> load finished:", marker.loadMs);
    Print("load finished -> log entry:", marker.toLogMs);
    Print("of which the engine handing over the markup:", marker.markupMs);
    Print("the probe alone on that markup:", marker.readMs);
    std::printf(" a selector (the markup read, and %d cards read in the page):\n", kCards);
    Print("load started -> load finished:", selector.loadMs);
    Print("load finished -> log entry:", selector.toLogMs);
    Print("of which the engine handing over the markup:", selector.markupMs);
    Print("the selector's script alone, asked to answer:", selector.readMs);
    std::printf(" the structure (the markup read, and the cards found by their shape):\n");
    Print("load started -> load finished:", structure.loadMs);
    Print("load finished -> log entry:", structure.toLogMs);
    Print("of which the engine handing over the markup:", structure.markupMs);
    Print("the structure script alone, asked to answer:", structure.readMs);
    Print("the structure script's own time in the page:", structure.pageMs);
    std::printf(" (every capture waits for the page to be quiet %d ms, %d ms at most)\n",
                WebPane::kQuietMs, WebPane::kSettleMs);
    EXPECT_EQ(marker.lastEntry, "Jobrapido: " + marker.expectedEntry.toUpper());
    EXPECT_EQ(structure.lastEntry, "Jobrapido: " + structure.expectedEntry);
    EXPECT_EQ(selector.lastEntry, "Jobrapido: " + selector.expectedEntry);
}

}  // namespace
}  // namespace quintavia::e2e
