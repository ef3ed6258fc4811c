#include "core/watch/site_watch.h"

#include <gtest/gtest.h>

#include "core/watch/watch_controller.h"
#include "kept_sites.h"
#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;
using Kind = Observation::Kind;

const QUrl kJobrapido(u"http://it.jobrapido.com/?w=&l=Lazio&r=auto"_s);

TEST(SiteWatch, EachCaptureIsObservedByWhatItShowed) {
    struct Case {
        const char* what;
        CaptureFacts facts;
        Observation expected;
        QString reason;
        QString advice = u"scegli un altro sito in Impostazioni"_s;
    };
    const Case cases[] = {
        {"the listings",
         {.url = kJobrapido, .httpStatus = 200, .markerSeen = true},
         {Kind::Listings, 0, {}},
         u""_s,
         u""_s},
        {"the marker on another subdomain",
         {.url = QUrl(u"https://m.jobrapido.com/offerte"_s), .markerSeen = true},
         {Kind::Listings, 0, {}},
         u""_s,
         u""_s},
        {"no marker",
         {.url = kJobrapido, .httpStatus = 200},
         {Kind::NoListings, 0, {}},
         u"la pagina non contiene più gli annunci"_s},
        {"a consent wall elsewhere",
         {.url = QUrl(u"https://consent.example.org/?continue=it.jobrapido.com"_s),
          .markerSeen = true},
         {Kind::OtherSite, 0, u"consent.example.org"_s},
         u"la pagina è su un altro sito (consent.example.org)"_s},
        {"a look-alike host, shown in ASCII",
         {.url = QUrl(u"http://it.j\u043Ebrapido.com/"_s)},
         {Kind::OtherSite, 0, u"it.xn--jbrapido-nbh.com"_s},
         u"la pagina è su un altro sito (it.xn--jbrapido-nbh.com)"_s},
        {"no host",
         {.url = QUrl(u"about:blank"_s)},
         {Kind::OtherSite, 0, u"about:"_s},
         u"la pagina è su un altro sito (about:)"_s},
        {"no address",
         {.url = QUrl()},
         {Kind::OtherSite, 0, u"nessun indirizzo"_s},
         u"la pagina è su un altro sito (nessun indirizzo)"_s},
        {"too many requests, with the site's body",
         {.url = kJobrapido, .loadSucceeded = false, .httpStatus = 429, .markerSeen = true},
         {Kind::HttpError, 429, {}},
         u"il sito risponde con errore 429"_s},
        {"forbidden, shown as the engine's page",
         {.url = kJobrapido, .loadSucceeded = false, .httpStatus = 403},
         {Kind::HttpError, 403, {}},
         u"il sito risponde con errore 403"_s},
        {"an error status after a redirect elsewhere",
         {.url = QUrl(u"http://altro.example/"_s), .loadSucceeded = false, .httpStatus = 503},
         {Kind::HttpError, 503, {}},
         u"il sito risponde con errore 503"_s},
        {"no answer at all: the connection first",
         {.url = kJobrapido, .loadSucceeded = false},
         {Kind::EngineError, 0, {}},
         u"pagina di errore del browser"_s,
         u"controlla la connessione a internet; oppure scegli un altro sito in Impostazioni"_s},
        {"a consent banner and no listings",
         {.url = kJobrapido, .wall = WallKind::Consent},
         {Kind::Wall, 0, {}},
         u"la pagina chiede il consenso ai cookie"_s,
         BlindAdvice(WallKind::Consent)},
        {"a bot check",
         {.url = kJobrapido, .wall = WallKind::BotCheck},
         {Kind::Wall, 0, {}},
         u"il sito chiede di dimostrare che non sei un robot"_s,
         BlindAdvice(WallKind::BotCheck)},
        {"listings behind a banner are listings",
         {.url = kJobrapido, .markerSeen = true, .wall = WallKind::Consent},
         {Kind::Listings, 0, {}},
         u""_s,
         u""_s},
    };
    for (const Case& c : cases) {
        const Observation seen = Observe(DefaultRules()[1], c.facts);
        EXPECT_EQ(seen.kind, c.expected.kind) << c.what;
        EXPECT_EQ(seen.httpStatus, c.expected.httpStatus) << c.what;
        EXPECT_EQ(seen.host, c.expected.host) << c.what;
        EXPECT_EQ(BlindReason(seen), c.reason) << c.what;
        EXPECT_EQ(BlindAdviceFor(seen), c.advice) << c.what;
    }
}

// A site known to have closed says so, whatever its pages show; its listings, should they
// come back, are listings all the same.
TEST(SiteWatch, AClosedSiteSaysSoAsItsReason) {
    SiteRule closed = DefaultRules()[3];
    ASSERT_FALSE(closed.closedNote.isEmpty());
    const QUrl page(u"http://www.infojobs.it/offerte-lavoro/Lazio"_s);
    for (const CaptureFacts& facts :
         {CaptureFacts{.url = page, .loadSucceeded = false},
          CaptureFacts{.url = page, .httpStatus = 404}, CaptureFacts{.url = page},
          CaptureFacts{.url = QUrl(u"http://parked.example/"_s)}}) {
        EXPECT_EQ(BlindReason(Observe(closed, facts)), closed.closedNote)
            << facts.url.toString().toStdString();
        // Whatever the page, only another site helps; the one that took over when known.
        Observation seen = Observe(closed, facts);
        EXPECT_EQ(BlindAdviceFor(seen), u"scegli un altro sito in Impostazioni"_s);
        seen.successor = u"Jobrapido (nuovo)"_s;
        EXPECT_EQ(BlindAdviceFor(seen), u"scegli Jobrapido (nuovo) in Impostazioni"_s);
    }
    EXPECT_EQ(Observe(closed, {.url = page, .markerSeen = true}).kind, Kind::Listings);
}

// What cannot pass by itself is said at the first capture; what can waits for three. A site
// never seen working is told apart from one that stopped.
TEST(SiteWatch, AClosedSiteAndWallsTurnBlindAtTheirFirstCapture) {
    Observation closed{Kind::EngineError, 0, {}};
    closed.closedNote = u"chiuso da ieri"_s;
    const Observation consent{Kind::Wall, 0, {}, WallKind::Consent};
    const Observation check{Kind::Wall, 0, {}, WallKind::BotCheck};
    const Observation missing{Kind::NoListings, 0, {}};
    const Observation broken{Kind::EngineError, 0, {}};
    const Observation limited{Kind::HttpError, 429, {}};
    struct Case {
        const char* what;
        Observation seen;
        int capturesToBlind;
    };
    const Case cases[] = {
        {"a closed site", closed, 1},
        {"a consent wall", consent, 1},
        {"a bot check", check, 1},
        {"no listings", missing, kBadCapturesToTurnBlind},
        {"no answer", broken, kBadCapturesToTurnBlind},
        {"an error status", limited, kBadCapturesToTurnBlind},
    };
    for (const bool watchedFirst : {false, true}) {
        for (const Case& c : cases) {
            SiteWatch watch;
            EXPECT_FALSE(watch.seenListings());
            if (watchedFirst) {
                EXPECT_EQ(watch.observe({Kind::Listings, 0, {}}), std::nullopt);
            }
            std::optional<WatchChange> change;
            int captures = 0;
            while (!change && captures < 10) {
                change = watch.observe(c.seen);
                ++captures;
            }
            EXPECT_EQ(captures, c.capturesToBlind) << c.what;
            ASSERT_TRUE(change) << c.what;
            EXPECT_EQ(change->watchedBefore, watchedFirst) << c.what;
            EXPECT_EQ(watch.seenListings(), watchedFirst) << c.what;
            // The advice is kept beside the reason, for the tooltips, and is never empty.
            EXPECT_EQ(watch.advice(), BlindAdviceFor(c.seen)) << c.what;
            EXPECT_FALSE(watch.advice().isEmpty()) << c.what;
        }
    }
}

TEST(SiteWatch, ThreeBadCapturesInARowTurnASiteBlindOnceUntilItsMarkerReturns) {
    const Observation listings{Kind::Listings, 0, {}};
    const Observation missing{Kind::NoListings, 0, {}};
    const Observation elsewhere{Kind::OtherSite, 0, u"altro.example"_s};
    const Observation limited{Kind::HttpError, 429, {}};
    const Observation broken{Kind::EngineError, 0, {}};
    const WatchChange again{WatchChange::Kind::WatchedAgain, {}, {}};
    const auto blind = [](const Observation& o) {
        return WatchChange{WatchChange::Kind::TurnedBlind, BlindReason(o), BlindAdviceFor(o)};
    };
    struct Step {
        const char* what;
        Observation seen;
        std::optional<WatchChange> expected;
        bool blind;
        QString reason;  // while blind, the latest
    };
    const Step steps[] = {
        {"watching", listings, {}, false, {}},
        {"one bad", missing, {}, false, {}},
        {"two bad", missing, {}, false, {}},
        {"the marker again: the count starts over", listings, {}, false, {}},
        {"bad 1", missing, {}, false, {}},
        {"bad 2, of another kind", broken, {}, false, {}},
        {"bad 3, of a third kind: blind for it", missing, blind(missing), true,
         BlindReason(missing)},
        {"the fourth says nothing", missing, {}, true, BlindReason(missing)},
        {"nor another reason, which the state keeps", limited, {}, true, BlindReason(limited)},
        {"the marker back", listings, again, false, {}},
        {"and watching", listings, {}, false, {}},
        {"a second episode: 1", elsewhere, {}, false, {}},
        {"2", elsewhere, {}, false, {}},
        {"3", elsewhere, blind(elsewhere), true, BlindReason(elsewhere)},
        {"many more", elsewhere, {}, true, BlindReason(elsewhere)},
        {"and more", broken, {}, true, BlindReason(broken)},
        {"back", listings, again, false, {}},
    };
    SiteWatch watch;
    for (const Step& step : steps) {
        EXPECT_EQ(watch.observe(step.seen), step.expected) << step.what;
        EXPECT_EQ(watch.blind(), step.blind) << step.what;
        EXPECT_EQ(watch.reason(), step.reason) << step.what;
    }
}

// The controller feeds each site's captures to that site's watch and changes nothing else.
TEST(SiteWatch, TheControllerTellsEachSitesChangesAndLogsAsBefore) {
    WatchController controller;
    controller.startUp({});
    const PageCapture withListing{.url = kJobrapido,
                                  .markup = u"<div><span class=\"title\">Cuoco</span></div>"_s};
    const PageCapture without{.url = kJobrapido, .markup = u"<div><p>Nuova grafica</p></div>"_s};
    const PageCapture notHtml{.url = kJobrapido, .markup = std::nullopt};
    const PageCapture limited{
        .url = kJobrapido, .markup = u"<p>Troppe</p>"_s, .loadSucceeded = false, .httpStatus = 429};

    EXPECT_EQ(controller.pageCaptured(1, withListing).newest->logEntry, u"Jobrapido: CUOCO"_s);
    EXPECT_EQ(controller.pageCaptured(1, without), PageOutcome{});
    EXPECT_EQ(controller.pageCaptured(1, notHtml), PageOutcome{});
    // Another site's pages count for that site alone.
    EXPECT_EQ(controller.pageCaptured(2, without), PageOutcome{});
    const QString reason = u"il sito risponde con errore 429"_s;
    const PageOutcome blind = controller.pageCaptured(1, limited);
    // The default Jobrapido's advice names the preset that reads its new cards.
    const QString advice = u"scegli Jobrapido (nuovo) in Impostazioni"_s;
    EXPECT_EQ(blind.watch, (WatchChange{WatchChange::Kind::TurnedBlind, reason, advice}));
    // Everything the window and the desktop show of it comes with the change; a click on the
    // notice opens the settings at the pane.
    Notice notice = BlindNotice(u"Jobrapido"_s, reason, advice, true, 1);
    notice.tag = BlindTag(u"jobrapido"_s);
    EXPECT_EQ(blind.watchNotice, notice);
    EXPECT_EQ(blind.watchNotice->action, NoticeAction::ShowSettings);
    // A 429 also holds the site back, until a time the capture without a clock cannot tell.
    const QString held = u"in pausa: il sito chiede di rallentare"_s;
    ASSERT_TRUE(blind.toolTips);
    EXPECT_EQ(blind.toolTips->paneLabels[1], SiteLabelToolTip(BlindState(reason, advice)) +
                                                 u"\nIn pausa: il sito chiede di rallentare"_s);
    // The panes not yet seen working are still being checked.
    EXPECT_EQ(blind.toolTips->paneLabels[2], SiteLabelToolTip({}, true));
    EXPECT_EQ(blind.toolTips->tray,
              TrayToolTip(controller.secondsLeft(),
                          {u"MioJob"_s, u"Jobrapido"_s, u"Jobonline"_s, u"InfoJobs"_s},
                          QStringList{QString(), BlindState(reason, advice), QString(), QString()},
                          0, {true, false, true, true}) +
                  u"\nJobrapido: "_s + held);
    EXPECT_FALSE(blind.newest);
    EXPECT_TRUE(controller.siteWatch(1).blind());
    EXPECT_FALSE(controller.siteWatch(2).blind());
    // Still blind, for another reason: no notice, and the tooltips say the latest reason.
    const PageOutcome still = controller.pageCaptured(1, without);
    EXPECT_FALSE(still.watch);
    EXPECT_FALSE(still.watchNotice);
    ASSERT_TRUE(still.toolTips);
    EXPECT_EQ(still.toolTips->paneLabels[1],
              SiteLabelToolTip(BlindState(controller.siteWatch(1).reason(), advice)) +
                  u"\nIn pausa: il sito chiede di rallentare"_s);
    EXPECT_NE(controller.siteWatch(1).reason(), reason);

    // The same title again is not logged; the watch is told all the same.
    const PageOutcome back = controller.pageCaptured(1, withListing);
    EXPECT_EQ(back.watch, (WatchChange{WatchChange::Kind::WatchedAgain, {}, {}}));
    EXPECT_EQ(back.watchNotice, WatchedAgainNotice(u"Jobrapido"_s));
    // The notice that said it was blind is taken back.
    EXPECT_EQ(back.withdrawn, QStringList{BlindTag(u"jobrapido"_s)});
    ASSERT_TRUE(back.toolTips);
    EXPECT_EQ(back.toolTips->paneLabels[1], QString());
    EXPECT_FALSE(back.newest);
    EXPECT_EQ(support::DefaultSite(controller.kept(), 1).lastListing, u"CUOCO"_s);
    EXPECT_EQ(controller.pageCaptured(4, without), PageOutcome{});
}

}  // namespace
}  // namespace quintavia
