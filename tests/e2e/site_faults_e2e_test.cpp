#include <gtest/gtest.h>

#include <QFile>
#include <QTimer>

#include "core/layout/panes.h"
#include "core/page/listing_probe.h"
#include "kept_sites.h"
#include "scripted_sites.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// One site misbehaves; the other three serve their listings.
class SiteFaults : public ScriptedSitesTest {
  protected:
    void Start() {
        ScriptedSitesTest::Start();
        QObject::connect(window->findChild<QTimer*>("countdownTimer"), &QTimer::timeout,
                         window.get(), [this] { ++ticks; });
    }

    bool EachOtherPaneCompleted(int faulty, int times) const {
        for (int i = 0; i < kPaneCount; ++i)
            if (i != faulty && captures->count(i) < times) return false;
        return true;
    }

    static int RequestsFor(int site) {
        int count = 0;
        for (const fixtures::Request& request : Harness::instance().server().requests())
            if (fixtures::SiteForHost(request.host) == site) ++count;
        return count;
    }

    // The entries logged for one site, oldest first.
    QStringList EntriesOf(int site) const {
        QStringList entries = LogEntries(*window);
        const QString label = DefaultRules()[site].logLabel;
        entries.removeIf([&](const QString& entry) { return !entry.startsWith(label); });
        return entries;
    }

    int ticks = 0;
};

// The connections that the fixture server holds open, as the system lists them.
int OpenConnectionsTo(quint16 port) {
    QFile table(u"/proc/net/tcp"_s);
    if (!table.open(QIODevice::ReadOnly)) return -1;
    const QByteArray local = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    constexpr QByteArrayView kEstablished = "01";
    int open = 0;
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields[1].endsWith(local) && fields[3] == kEstablished) ++open;
    }
    return open;
}

// What the probe reads in the engine's own page for a failed load: no site's marker is in it,
// so the search for ">" starts at position 10; the ">" found there closes the root element's
// tag and the head's "<" follows at once. The title is empty: nothing is logged, and the last
// title seen stays as it was.
void ExpectEngineErrorPage(const Captures& captures, int site) {
    const std::optional<QString> markup = captures.last(site).markup;
    ASSERT_TRUE(markup) << "pane " << site;
    EXPECT_TRUE(markup->contains(u"ERR_EMPTY_RESPONSE"_s)) << "pane " << site;
    EXPECT_FALSE(UpperCaseUnits(*markup).contains(UpperCaseUnits(DefaultRules()[site].marker)))
        << "pane " << site;
    const qsizetype tagEnd = markup->indexOf(u'>', 9);
    EXPECT_TRUE(markup->startsWith(u"<html"_s)) << "pane " << site;
    EXPECT_GT(tagEnd, 0) << "pane " << site;
    EXPECT_EQ(markup->indexOf(u'<', 1), tagEnd + 1) << "pane " << site;
}

// Every site's marker against the engine's error page; the titles seen in the previous run
// survive it.
TEST_F(SiteFaults, TheEngineErrorPageLeavesEveryLastTitleAsItWas) {
    SettingsEntries seen;
    for (int i = 0; i < kPaneCount; ++i) {
        seen += {u"Settaggio"_s, QString::number(i), UpperCaseUnits(sites.titles[i])};
        sites.answers[i] = fixtures::Response{.refuse = true};
    }
    ASSERT_TRUE(Harness::instance().store().write(seen));
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    for (int i = 0; i < kPaneCount; ++i) {
        ExpectEngineErrorPage(*captures, i);
        EXPECT_EQ(support::DefaultSite(window->controller().kept(), i).lastListing,
                  UpperCaseUnits(sites.titles[i]));
    }
    EXPECT_EQ(LogEntries(*window), QStringList{});

    // The same listings again are not new; a changed one is.
    sites.answers = {};
    sites.titles[3] = u"Elettricista industriale"_s;
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(2); }));
    EXPECT_EQ(LogEntries(*window), QStringList{u"Infojobs : ELETTRICISTA INDUSTRIALE"_s});
}

// The listings come first, well inside the half that arrives.
QByteArray PageToCut(int site, const QString& title) {
    return fixtures::ListingPage(site, title) +
           QByteArray("<p>Annunci scaduti</p>\n").repeated(200);
}

// A fault in each pane at once: MioJob refuses, Jobrapido closes mid-page, Jobonline answers
// only when the test lets it, and Infojobs never answers. None of them holds another pane,
// the countdown or the next refresh.
TEST_F(SiteFaults, EachFaultHoldsOnlyItsOwnPane) {
    sites.answers[0] = fixtures::Response{.refuse = true};
    // Jobrapido's half is on show before the connection drops.
    const QByteArray page = PageToCut(1, u"Mezza pagina"_s);
    sites.answers[1] = fixtures::Response{.body = page, .closeMidBody = true, .closeAfterMs = 500};
    sites.answers[2] =
        fixtures::Response{.body = fixtures::ListingPage(2, u"Cuoco capo partita"_s), .held = true};
    // The engine waits for an answer as long as it likes; the program does not wait with it.
    sites.answers[3] = fixtures::Response{.neverAnswer = true};
    Start();
    fixtures::FixtureServer& server = Harness::instance().server();
    ASSERT_TRUE(WaitFor([&] {
        return captures->count(0) >= 1 && captures->count(1) >= 1 && server.heldCount() == 1;
    }));

    // Refusing: the engine's error page, and nothing logged or stored for it.
    ExpectEngineErrorPage(*captures, 0);
    EXPECT_EQ(EntriesOf(0), QStringList{});
    EXPECT_EQ(support::DefaultSite(window->controller().kept(), 0).lastListing, u""_s);

    // Closed mid-page: probed on what arrived.
    EXPECT_EQ(EntriesOf(1), QStringList{u"Jobrapido: MEZZA PAGINA"_s});
    const std::optional<QString> half = captures->last(1).markup;
    ASSERT_TRUE(half);
    EXPECT_LE(half->count(u"Annunci scaduti"_s),
              page.left(page.size() / 2).count("Annunci scaduti"));

    // The slow and the silent site hold nothing but their own panes: the countdown ticks on.
    const int ticksBefore = ticks;
    ASSERT_TRUE(WaitFor([&] { return ticks >= ticksBefore + 2; }, 10000));
    EXPECT_TRUE(window->windowTitle().endsWith(
        u" : "_s + QString::number(window->controller().secondsLeft())));
    EXPECT_EQ(captures->count(2), 0);
    EXPECT_EQ(captures->count(3), 0);
    EXPECT_FALSE(window->pane(3)->webPage()->hasDocument());

    // The slow site logs late.
    server.releaseHeld();
    ASSERT_TRUE(WaitFor([&] { return captures->count(2) >= 1; }));
    EXPECT_EQ(LogEntries(*window),
              (QStringList{u"Jobrapido: MEZZA PAGINA"_s, u"Jobonline: CUOCO CAPO PARTITA"_s}));

    // The same faults at the countdown's refresh, but Jobrapido's connection drops right
    // after the half: the engine may have parsed none of it yet, and then holds a document
    // without a root element, which reads as no document. Jobonline is slow again, with a new
    // listing.
    sites.answers[1] =
        fixtures::Response{.body = PageToCut(1, u"Pagina troncata"_s), .closeMidBody = true};
    sites.answers[2]->body = fixtures::ListingPage(2, u"Cuoco di notte"_s);
    RunCountdownOut(*window);
    EXPECT_TRUE(window->windowTitle().endsWith(u" : 299"_s)) << window->windowTitle().toStdString();
    ASSERT_TRUE(WaitFor([&] {
        return captures->count(0) >= 2 && captures->count(1) >= 2 && server.heldCount() == 1;
    }));
    EXPECT_EQ(captures->count(2), 1);
    EXPECT_EQ(RequestsFor(0), 2);
    EXPECT_EQ(EntriesOf(0), QStringList{});
    const bool parsed = captures->last(1).markup.has_value();
    EXPECT_EQ(EntriesOf(1).contains(u"Jobrapido: PAGINA TRONCATA"_s), parsed);
    EXPECT_EQ(EntriesOf(1).size(), parsed ? 2 : 1);
    server.releaseHeld();
    ASSERT_TRUE(WaitFor([&] { return captures->count(2) >= 2; }));
    EXPECT_EQ(EntriesOf(2).mid(1), QStringList{u"Jobonline: CUOCO DI NOTTE"_s});
    // The refresh abandoned the hanging load and asked again.
    EXPECT_TRUE(WaitFor([&] { return RequestsFor(3) == 2; }));
    EXPECT_EQ(captures->count(3), 0);

    // Back in service but for the silent site: their listings are logged like any other.
    for (const int site : {0, 1, 2}) sites.answers[site].reset();
    const qsizetype before = LogEntries(*window).size();
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return EachOtherPaneCompleted(3, 3); }));
    EXPECT_EQ(EntriesSince(before),
              (QStringList{u"Jobonline: CUOCO CAPO PARTITA"_s, u"Jobrapido: CAMERIERE DI SALA"_s,
                           u"MioJob   : MAGAZZINIERE"_s}));

    // Refresh after refresh, more than the engine keeps connections to one proxy (32): each
    // abandoned load lets go of its connection, so the others never run short of them.
    for (int refresh = 4; refresh <= 40; ++refresh) {
        RunCountdownOut(*window);
        ASSERT_TRUE(WaitFor([&] { return EachOtherPaneCompleted(3, refresh); })) << refresh;
    }
    EXPECT_TRUE(WaitFor([&] { return RequestsFor(3) == 40; }));
    EXPECT_EQ(OpenConnectionsTo(server.port()), 1);

    sites.answers[3].reset();
    const qsizetype settled = LogEntries(*window).size();
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->count(3) >= 1; }));
    EXPECT_EQ(LogEntries(*window).mid(settled), QStringList{u"Infojobs : AUTISTA PATENTE C"_s});
}

}  // namespace
}  // namespace quintavia::e2e
