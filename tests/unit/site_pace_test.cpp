#include "core/watch/site_pace.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include "core/watch/notices.h"
#include "core/watch/watch_controller.h"
#include "qt_printing.h"
#include "store/ini_document.h"
#include "store/settings_keys.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

const QDateTime kNow(QDate(2026, 12, 8), QTime(7, 27, 0), QTimeZone::utc());

TEST(RetryAfter, SecondsOrAnHttpDateInEachOfItsForms) {
    const struct {
        QString value;
        std::optional<qint64> seconds;
    } cases[] = {
        {u"30"_s, 30},
        {u" 120 "_s, 120},
        {u"0"_s, 0},
        {u"99999999999999999999999"_s, kLongestRetryAfterSeconds},
        {u"Tue, 08 Dec 2026 07:28:00 GMT"_s, 60},
        {u"Tuesday, 08-Dec-26 07:37:00 GMT"_s, 600},
        {u"Tue Dec  8 07:27:30 2026"_s, 30},
        {u"Mon, 07 Dec 2026 07:28:00 GMT"_s, 0},  // already past
        {u""_s, std::nullopt},
        {u"-5"_s, std::nullopt},
        {u"1.5"_s, std::nullopt},
        {u"domani"_s, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RetryAfterSeconds(c.value, kNow), c.seconds) << c.value.toStdString();
}

Observation Seen(Observation::Kind kind, int status = 0, std::optional<WallKind> wall = {}) {
    return {.kind = kind, .httpStatus = status, .host = {}, .wall = wall};
}

TEST(SlowDown, OnlyAnAnswerThatAsksABotCheckOrATimeOutHoldsASiteBack) {
    using Kind = Observation::Kind;
    const struct {
        Observation seen;
        bool timedOut;
        std::optional<SlowDown> slow;
    } cases[] = {
        {Seen(Kind::HttpError, 429), false, SlowDown::TooManyRequests},
        {Seen(Kind::HttpError, 503), false, SlowDown::Unavailable},
        {Seen(Kind::HttpError, 500), false, std::nullopt},
        {Seen(Kind::HttpError, 404), false, std::nullopt},
        {Seen(Kind::Wall, 0, WallKind::BotCheck), false, SlowDown::BotCheck},
        {Seen(Kind::Wall, 0, WallKind::Consent), false, std::nullopt},
        {Seen(Kind::EngineError), true, SlowDown::TimedOut},
        {Seen(Kind::EngineError), false, std::nullopt},
        {Seen(Kind::Listings), false, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SlowDownIn(c.seen, c.timedOut), c.slow)
            << static_cast<int>(c.seen.kind) << " " << c.seen.httpStatus;
}

// Each step at a moment of the countdown's clock, and the pace it leaves.
TEST(SitePace, DoublesUpToAnHourHonoursRetryAfterAndComesBackOnAGoodLoad) {
    enum class Step { Load, Slow, Good };
    const struct {
        const char* name;
        int minutes;
        QList<std::tuple<Step, qint64, std::optional<qint64>>> steps;
        qint64 interval;
        qint64 next;
        bool held;
    } cases[] = {
        {"own pace", 10, {{Step::Load, 0, {}}}, 600, 600, false},
        {"not a choice is the default", 7, {{Step::Load, 0, {}}}, 300, 300, false},
        {"one 429", 5, {{Step::Load, 0, {}}, {Step::Slow, 20, {}}}, 600, 620, true},
        {"twice", 5, {{Step::Slow, 0, {}}, {Step::Slow, 600, {}}}, 1200, 1800, true},
        {"never past an hour",
         15,
         {{Step::Slow, 0, {}}, {Step::Slow, 1800, {}}, {Step::Slow, 5400, {}}},
         3600,
         9000,
         true},
        {"an hour's site waits its hour", 60, {{Step::Slow, 0, {}}}, 3600, 3600, true},
        {"Retry-After longer than the doubling", 5, {{Step::Slow, 10, 5000}}, 600, 5010, true},
        {"Retry-After shorter than the doubling", 5, {{Step::Slow, 10, 30}}, 600, 610, true},
        {"a good load after", 5, {{Step::Slow, 0, {}}, {Step::Good, 100, {}}}, 300, 400, false},
        {"a good load keeps an earlier due time",
         5,
         {{Step::Slow, 0, {}}, {Step::Good, 500, {}}},
         300,
         600,
         false},
    };
    for (const auto& c : cases) {
        SitePace pace(c.minutes);
        for (const auto& [step, at, retryAfter] : c.steps) {
            if (step == Step::Load) pace.loaded(at);
            if (step == Step::Slow)
                pace.slowedDown(SlowDown::TooManyRequests, at, retryAfter, kNow.addSecs(at));
            if (step == Step::Good) pace.answered(at);
        }
        EXPECT_EQ(pace.intervalSeconds(), c.interval) << c.name;
        EXPECT_EQ(pace.nextAt(), c.next) << c.name;
        EXPECT_EQ(pace.heldBack(), c.held) << c.name;
        EXPECT_EQ(pace.due(c.next - 1), false) << c.name;
        EXPECT_EQ(pace.due(c.next), true) << c.name;
    }
}

TEST(SitePace, TheNoteSaysUntilWhenAndWhy) {
    SitePace pace;
    EXPECT_EQ(HeldBackNote(pace), QString());
    const QDateTime at(QDate(2026, 12, 8), QTime(10, 25, 0));
    pace.slowedDown(SlowDown::BotCheck, 0, std::nullopt, at);
    EXPECT_EQ(HeldBackNote(pace), u"in pausa fino alle 10:35: il sito chiede di rallentare"_s);
    pace.slowedDown(SlowDown::TimedOut, 0, std::nullopt, at);
    EXPECT_EQ(HeldBackNote(pace), u"in pausa fino alle 10:45: il sito non risponde in tempo"_s);
}

// The four default sites in their panes, then `background` watched without one; `intervals`
// by id.
WatchController Started(const QStringList& background, const QMap<QString, int>& intervals = {}) {
    WatchController controller;
    Kept kept;
    kept.options.region = u"Lazio"_s;
    kept.options.paneSites = QStringList(kPaneCount) + background;
    kept.options.intervals = intervals;
    controller.startUp(kept);
    return controller;
}

// How many times the countdown loads each pane, and each background site, tick by tick until
// it has refreshed `rounds` times.
QList<int> LoadsOver(WatchController& controller, int rounds) {
    QList<int> loads(controller.paneCount() + controller.backgroundCount());
    for (int round = 0; round < rounds;) {
        const TickOutcome tick = controller.tick(WindowState::Normal);
        if (tick.refresh) ++round;
        for (qsizetype i = 0; i < tick.heldPanes.size(); ++i) loads[i] += !tick.heldPanes[i];
        for (const SiteLoad& load : tick.background) ++loads[controller.paneCount() + load.site];
    }
    return loads;
}

TEST(Paces, EachSiteIsLoadedAtItsOwnIntervalOverTheCountdown) {
    const struct {
        QMap<QString, int> intervals;
        QStringList background;
        QList<int> loads;  // over twelve rounds: the panes, then the background sites
    } cases[] = {
        {{}, {}, {12, 12, 12, 12}},
        {{{u"jobrapido"_s, 10}, {u"infojobs"_s, 60}}, {}, {12, 6, 12, 1}},
        {{{u"indeed"_s, 10}, {u"miojob"_s, 15}},
         {u"indeed"_s, u"linkedin"_s},
         {4, 12, 12, 12, 6, 12}},
    };
    for (const auto& c : cases) {
        WatchController controller = Started(c.background, c.intervals);
        ASSERT_EQ(controller.backgroundCount(), c.background.size());
        EXPECT_EQ(LoadsOver(controller, 12), c.loads)
            << c.intervals.keys().join(u' ').toStdString();
    }
}

TEST(Paces, ASiteThatAsksToSlowDownIsHeldBackUntilAGoodLoad) {
    WatchController controller = Started({u"indeed"_s});
    const QDateTime when(QDate(2026, 12, 8), QTime(10, 0, 0));
    const PageCapture tooMany{.url = QUrl(u"https://it.indeed.com/"_s),
                              .markup = std::nullopt,
                              .loadSucceeded = false,
                              .httpStatus = 429,
                              .retryAfter = u"1000"_s};
    // In pane 1 and in the background: the countdown passes them by.
    PageOutcome outcome = controller.pageCaptured(1, tooMany, when);
    ASSERT_TRUE(outcome.toolTips);
    // A first load refused is no reading yet: the site is still being checked.
    EXPECT_EQ(
        outcome.toolTips->paneLabels[1],
        SiteLabelToolTip({}, true) + u"\nIn pausa fino alle 10:16: il sito chiede di rallentare"_s);
    controller.backgroundCaptured(0, tooMany, when);
    EXPECT_TRUE(controller.backgroundPace(0).heldBack());
    EXPECT_EQ(LoadsOver(controller, 3), (QList<int>{3, 0, 3, 3, 0}));

    // "Aggiorna" loads the pane, as the user asked, and not the site out of view.
    EXPECT_EQ(controller.refresh().size(), kPaneCount);
    EXPECT_TRUE(controller.backgroundLoads(true).isEmpty());
    EXPECT_EQ(LoadsOver(controller, 1), (QList<int>{1, 1, 1, 1, 1}));

    // The load after is good: the own pace is back, and the tooltip says nothing more.
    const PageCapture good{.url = QUrl(u"http://it.jobrapido.com/?w=&l=Lazio&r=auto"_s),
                           .markup =
                               u"<html><body><div><span class=\"title\">Cuoco</span>"
                               u"</div></body></html>"_s};
    outcome = controller.pageCaptured(1, good, when);
    EXPECT_FALSE(controller.paneSitePace(1).heldBack());
    ASSERT_TRUE(outcome.toolTips);
    EXPECT_EQ(outcome.toolTips->paneLabels[1], QString());
    EXPECT_EQ(controller.backgroundLoads(true).size(), 0);
    // The site out of view is still held back: once in those two rounds.
    EXPECT_EQ(LoadsOver(controller, 2), (QList<int>{2, 2, 2, 2, 1}));
}

TEST(Paces, TheSitesPastThePanesAndTheirIntervalsAreReadChosenAndKept) {
    IniDocument doc;
    doc.setValue(u"Siti"_s, u"4"_s, u"indeed"_s);
    doc.setValue(u"Siti"_s, u"5"_s, u"nessuno"_s);
    doc.setValue(u"Siti"_s, u"6"_s, u"miojob"_s);  // already in a pane
    doc.setValue(u"Siti"_s, u"7"_s, u"linkedin"_s);
    doc.setValue(u"Intervalli"_s, u"indeed"_s, u"30"_s);
    doc.setValue(u"Intervalli"_s, u"linkedin"_s, u"7"_s);
    WatchController controller;
    const StartUpOutcome start = controller.startUp(ReadKept(doc));
    EXPECT_EQ(start.warnings.size(), 1);
    ASSERT_EQ(controller.backgroundCount(), 2);
    EXPECT_EQ(controller.backgroundRule(1).id, u"linkedin"_s);
    EXPECT_EQ(controller.backgroundPace(0).minutes(), 30);
    EXPECT_EQ(controller.backgroundPace(1).minutes(), kDefaultPaceMinutes);
    EXPECT_EQ(start.background.size(), 2);

    // One left, one added: only the new one loads now, and the file empties the number left.
    Choices choices = controller.choices();
    EXPECT_EQ(choices.backgroundSites, (QStringList{u"indeed"_s, u"linkedin"_s}));
    choices.backgroundSites = {u"linkedin"_s, u"subito"_s};
    choices.intervals = {{u"subito"_s, 60}};
    const ChoicesOutcome chosen = controller.choose(choices);
    EXPECT_EQ(chosen.background.size(), 1);
    EXPECT_EQ(chosen.background.value(0).site, 1);
    EXPECT_EQ(controller.backgroundPace(1).minutes(), 60);
    IniDocument written;
    written.setValue(u"Siti"_s, u"6"_s, u"miojob"_s);
    ApplyEntries(written, ChoicesEntries(controller.kept().options));
    EXPECT_EQ(written.value(u"Siti"_s, u"4"_s), u"linkedin"_s);
    EXPECT_EQ(written.value(u"Siti"_s, u"5"_s), u"subito"_s);
    EXPECT_EQ(written.value(u"Siti"_s, u"6"_s), u""_s);
    EXPECT_EQ(written.value(u"Intervalli"_s, u"subito"_s), u"60"_s);
    EXPECT_EQ(ReadKept(written).options.intervals, (QMap<QString, int>{{u"subito"_s, 60}}));
    EXPECT_EQ(chosen.backgroundAddresses.size(), 2);
    EXPECT_TRUE(chosen.backgroundAddresses.value(1).contains(u"subito"_s));

    // Other words: the site whose search takes them loads now, as a pane would; the other waits.
    choices.backgroundSites = {u"linkedin"_s, u"manpower"_s};
    controller.choose(choices);
    choices.keywords = u"autista"_s;
    const ChoicesOutcome searched = controller.choose(choices);
    ASSERT_EQ(searched.background.size(), 1);
    EXPECT_EQ(searched.background[0].site, 0);
    EXPECT_TRUE(searched.background[0].address.contains(u"autista"_s));
    EXPECT_EQ(searched.backgroundAddresses.value(0), searched.background[0].address);
}

}  // namespace
}  // namespace quintavia
