#include <gtest/gtest.h>

#include <QFile>
#include <QTimer>

#include "core/listing_probe.h"
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
        for (int i = 0; i < kSiteCount; ++i)
            if (i != faulty && captures->count(i) < times) return false;
        return true;
    }

    static int RequestsFor(int site) {
        int count = 0;
        for (const fixtures::Request& request : Harness::instance().server().requests())
            if (fixtures::SiteForHost(request.host) == site) ++count;
        return count;
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

TEST_F(SiteFaults, ARefusingSiteShowsTheEngineErrorPageAndLoadsAgainAtTheNextRefresh) {
    sites.answers[0] = fixtures::Response{.refuse = true};
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    EXPECT_EQ(EntriesSince(0),
              (QStringList{u"Infojobs : AUTISTA PATENTE C"_s, u"Jobonline: CUOCO CAPO PARTITA"_s,
                           u"Jobrapido: CAMERIERE DI SALA"_s}));
    ExpectEngineErrorPage(*captures, 0);
    EXPECT_EQ(window->controller().settings().lastListing[0], u""_s);

    // Still refusing: the countdown's refresh asks again, and again nothing is logged for it.
    sites.titles[1] = u"Commesso di negozio"_s;
    RunCountdownOut(*window);
    EXPECT_TRUE(window->windowTitle().endsWith(u" : 299"_s)) << window->windowTitle().toStdString();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(2); }));
    EXPECT_EQ(RequestsFor(0), 2);
    EXPECT_EQ(EntriesSince(3), QStringList{u"Jobrapido: COMMESSO DI NEGOZIO"_s});

    // Back in service: its listing is logged like any other.
    sites.answers[0].reset();
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(3); }));
    EXPECT_EQ(EntriesSince(4), QStringList{u"MioJob   : MAGAZZINIERE"_s});
}

// Every site's marker against the engine's error page; the titles seen in the previous run
// survive it.
TEST_F(SiteFaults, TheEngineErrorPageLeavesEveryLastTitleAsItWas) {
    SettingsEntries seen;
    for (int i = 0; i < kSiteCount; ++i) {
        seen += {u"Settaggio"_s, QString::number(i), UpperCaseUnits(sites.titles[i])};
        sites.answers[i] = fixtures::Response{.refuse = true};
    }
    ASSERT_TRUE(Harness::instance().store().write(seen));
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    for (int i = 0; i < kSiteCount; ++i) {
        ExpectEngineErrorPage(*captures, i);
        EXPECT_EQ(window->controller().settings().lastListing[i], UpperCaseUnits(sites.titles[i]));
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

TEST_F(SiteFaults, ASiteThatClosesMidPageIsProbedOnWhatArrived) {
    // Pane 1's half is on show before the connection drops.
    const QByteArray page = PageToCut(1, u"Mezza pagina"_s);
    sites.answers[1] = fixtures::Response{.body = page, .closeMidBody = true, .closeAfterMs = 500};
    // Pane 2's drops right after it: the engine may have parsed none of it yet, and then holds
    // a document without a root element, which reads as no document.
    sites.answers[2] =
        fixtures::Response{.body = PageToCut(2, u"Pagina troncata"_s), .closeMidBody = true};
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    const QStringList entries = EntriesSince(0);
    EXPECT_TRUE(entries.contains(u"Jobrapido: MEZZA PAGINA"_s));
    EXPECT_TRUE(entries.contains(u"MioJob   : MAGAZZINIERE"_s));
    EXPECT_TRUE(entries.contains(u"Infojobs : AUTISTA PATENTE C"_s));
    const std::optional<QString> half = captures->last(1).markup;
    ASSERT_TRUE(half);
    EXPECT_LE(half->count(u"Annunci scaduti"_s),
              page.left(page.size() / 2).count("Annunci scaduti"));
    const bool parsed = captures->last(2).markup.has_value();
    EXPECT_EQ(entries.contains(u"Jobonline: PAGINA TRONCATA"_s), parsed);
    EXPECT_EQ(entries.size(), parsed ? 4 : 3);

    sites.answers = {};
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(2); }));
    EXPECT_EQ(EntriesSince(entries.size()),
              (QStringList{u"Jobonline: CUOCO CAPO PARTITA"_s, u"Jobrapido: CAMERIERE DI SALA"_s}));
}

TEST_F(SiteFaults, ASlowSiteLogsLateWhileTheWindowGoesOn) {
    // The site answers only when the test lets it, after the others are in and the countdown
    // has ticked meanwhile.
    sites.answers[2] =
        fixtures::Response{.body = fixtures::ListingPage(2, u"Cuoco capo partita"_s), .held = true};
    Start();
    fixtures::FixtureServer& server = Harness::instance().server();
    ASSERT_TRUE(WaitFor([&] { return EachOtherPaneCompleted(2, 1) && server.heldCount() == 1; }));
    const int ticksBefore = ticks;
    ASSERT_TRUE(WaitFor([&] { return ticks > ticksBefore; }, 5000));
    EXPECT_EQ(captures->count(2), 0);
    server.releaseHeld();
    ASSERT_TRUE(WaitFor([&] { return captures->count(2) >= 1; }));
    EXPECT_EQ(LogEntries(*window).back(), u"Jobonline: CUOCO CAPO PARTITA"_s);
    EXPECT_EQ(LogEntries(*window).size(), 4);

    // Slow again at the next refresh, with a new listing.
    sites.answers[2]->body = fixtures::ListingPage(2, u"Cuoco di notte"_s);
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return EachOtherPaneCompleted(2, 2) && server.heldCount() == 1; }));
    EXPECT_EQ(captures->count(2), 1);
    server.releaseHeld();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(2); }));
    EXPECT_EQ(LogEntries(*window).mid(4), QStringList{u"Jobonline: CUOCO DI NOTTE"_s});
}

// The engine waits for an answer as long as it likes; the program does not wait with it. The
// window goes on, and the next refresh abandons the hanging load and asks again.
TEST_F(SiteFaults, ASiteThatNeverAnswersHoldsOnlyItsOwnPane) {
    sites.answers[3] = fixtures::Response{.neverAnswer = true};
    Start();
    ASSERT_TRUE(WaitFor([&] { return EachOtherPaneCompleted(3, 1); }));
    EXPECT_EQ(EntriesSince(0),
              (QStringList{u"Jobonline: CUOCO CAPO PARTITA"_s, u"Jobrapido: CAMERIERE DI SALA"_s,
                           u"MioJob   : MAGAZZINIERE"_s}));
    const int ticksBefore = ticks;
    EXPECT_TRUE(WaitFor([&] { return ticks >= ticksBefore + 2; }, 10000));
    EXPECT_TRUE(window->windowTitle().endsWith(
        u" : "_s + QString::number(window->controller().secondsLeft())));
    EXPECT_EQ(captures->count(3), 0);
    EXPECT_FALSE(window->pane(3)->webPage()->hasDocument());

    // Still silent: the others load their new listings all the same.
    for (QString& title : sites.titles) title += u" - nuovo"_s;
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return EachOtherPaneCompleted(3, 2); }));
    EXPECT_EQ(EntriesSince(3), (QStringList{u"Jobonline: CUOCO CAPO PARTITA - NUOVO"_s,
                                            u"Jobrapido: CAMERIERE DI SALA - NUOVO"_s,
                                            u"MioJob   : MAGAZZINIERE - NUOVO"_s}));
    EXPECT_TRUE(WaitFor([&] { return RequestsFor(3) == 2; }));

    // Refresh after refresh, more than the engine keeps connections to one proxy (32): each
    // abandoned load lets go of its connection, so the others never run short of them.
    for (int refresh = 3; refresh <= 40; ++refresh) {
        RunCountdownOut(*window);
        ASSERT_TRUE(WaitFor([&] { return EachOtherPaneCompleted(3, refresh); })) << refresh;
    }
    EXPECT_TRUE(WaitFor([&] { return RequestsFor(3) == 40; }));
    EXPECT_EQ(OpenConnectionsTo(Harness::instance().server().port()), 1);

    sites.answers[3].reset();
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->count(3) >= 1; }));
    EXPECT_EQ(LogEntries(*window).mid(6), QStringList{u"Infojobs : AUTISTA PATENTE C - NUOVO"_s});
}

}  // namespace
}  // namespace quintavia::e2e
