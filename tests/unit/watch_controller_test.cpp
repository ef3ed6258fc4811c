#include "core/watch/watch_controller.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include "kept_sites.h"
#include "qt_printing.h"
#include "store/history_csv.h"
#include "store/settings_keys.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

Addresses Expected(const QString& region, int number) {
    return {
        "http://miojob.repubblica.it/offerte/lavoro/cerca/offer_location_region-" + region,
        "http://it.jobrapido.com/?w=&l=" + region + "&r=auto",
        "http://www.jobonline.it/lavoro/?fld2=0&fld3=" + QString::number(number) +
            "&fld4=0&fld1=ricerca+testuale&search=cerca+lavoro",
        "http://www.infojobs.it/offerte-lavoro/" + region,
    };
}

QString LongTitle(int count) {
    return u"Quintavia by Norvello - www.norvello.it : "_s + QString::number(count);
}

// A page of a site whose newest listing carries `title`, shaped as that site writes it.
PageCapture Page(int site, const QString& title) {
    static const QString before[kPaneCount] = {
        u"<div class=\"clearfix\"><a href=\"/offerta/1\">"_s,
        u"<div><span class=\"title\">"_s,
        u"<div id=\"dettaglioPosizione\">"_s,
        u"<p><a href=\"http://www.infojobs.it/selezionare/1\">"_s,
    };
    return {.url = QUrl(Expected(u"Lazio"_s, 7)[static_cast<std::size_t>(site)]),
            .markup = u"<html><head></head><body>\n"_s + before[site] + title +
                      u"</a></div><p>Annuncio precedente</p></body></html>"_s};
}

// Markup as read from the site's own search page.
PageCapture OnSite(int site, const QString& markup) {
    return {.url = QUrl(Expected(u"Lazio"_s, 7)[static_cast<std::size_t>(site)]), .markup = markup};
}

// What the window shows and sounds of an outcome; what else it tells is checked on its own.
struct Shown {
    std::optional<QString> logEntry;
    bool sound = false;
    bool lastTitleChanged = false;
    std::optional<WatchChange> watch;

    bool operator==(const Shown&) const = default;
};

Shown Of(const PageOutcome& outcome) {
    return {.logEntry = outcome.newest ? std::optional(outcome.newest->logEntry) : std::nullopt,
            .sound = outcome.newest && outcome.newest->sound,
            .lastTitleChanged = outcome.keep.lastTitles,
            .watch = outcome.watch};
}

Shown Logged(const QString& entry, bool sound = false) {
    return {.logEntry = entry, .sound = sound, .lastTitleChanged = true, .watch = std::nullopt};
}

TEST(StartUp, TheFirstPagesSearchTheStoredRegion) {
    struct Case {
        QString stored;
        Addresses first;
        Addresses next;  // after "Aggiorna", nothing typed meanwhile
    };
    const Case cases[] = {
        {u"Lazio"_s, Expected(u"Lazio"_s, 7), Expected(u"Lazio"_s, 7)},
        {u"Veneto"_s, Expected(u"Veneto"_s, 20), Expected(u"Veneto"_s, 20)},
        // Named in another letter case, with blanks: the text goes as it stands.
        {u" lombardia "_s, Expected(u" lombardia "_s, 9), Expected(u" lombardia "_s, 9)},
        // Typed text that names no region: Jobonline has the first region, as nothing was
        // chosen yet.
        {u"Milano"_s, Expected(u"Milano"_s, 1), Expected(u"Milano"_s, 1)},
        {u""_s, Expected(u""_s, 1), Expected(u""_s, 1)},
    };
    for (const Case& c : cases) {
        Kept stored;
        stored.options.region = c.stored;
        stored.options.autoPosition = TriState::Ticked;
        stored.options.soundAlert = TriState::Greyed;
        support::DefaultSite(stored, 2).lastListing = u"CUOCO"_s;
        WatchController controller;
        const StartUpOutcome start = controller.startUp(stored);
        EXPECT_EQ(start.addresses, c.first) << c.stored.toStdString();
        EXPECT_EQ(start.options.region, c.stored);
        EXPECT_EQ(start.options.autoPosition, TriState::Ticked);
        EXPECT_EQ(start.options.soundAlert, TriState::Greyed);
        EXPECT_EQ(controller.kept(), stored);
        EXPECT_EQ(controller.refresh(), c.next) << c.stored.toStdString();
    }
}

TEST(Refresh, TheRegionTextGoesToThreeSitesAndTheChosenPositionToJobonline) {
    WatchController controller;
    controller.startUp({});
    struct Step {
        const char* what;
        std::optional<int> chosen;  // none: "Aggiorna"
        QString typed;
        Addresses expected;
    };
    const Step steps[] = {
        {"Lazio chosen", 6, u"Lazio"_s, Expected(u"Lazio"_s, 7)},
        {"typed, then Aggiorna", {}, u"Roma e provincia"_s, Expected(u"Roma e provincia"_s, 7)},
        {"pressed again", {}, u"Roma e provincia"_s, Expected(u"Roma e provincia"_s, 7)},
        {"the last region", 18, u"Valle d'Aosta"_s, Expected(u"Valle d'Aosta"_s, 19)},
        {"blanks kept", 16, u"Trentino Alto Adige"_s, Expected(u"Trentino Alto Adige"_s, 17)},
        {"the twentieth region", 19, u"Veneto"_s, Expected(u"Veneto"_s, 20)},
        {"nothing selected", -1, u""_s, Expected(u""_s, 0)},
        {"text as typed", {}, u"  mIlAnO & co%20 "_s, Expected(u"  mIlAnO & co%20 "_s, 0)},
        // A typed region name is that region for Jobonline too, and stays its region while
        // the text names none.
        {"a region typed", {}, u" lombardia  "_s, Expected(u" lombardia  "_s, 9)},
        {"then other text", {}, u"Milano"_s, Expected(u"Milano"_s, 9)},
        {"a name with an apostrophe", {}, u"VALLE D'AOSTA"_s, Expected(u"VALLE D'AOSTA"_s, 19)},
        {"part of a name", {}, u"Valle"_s, Expected(u"Valle"_s, 19)},
        {"blanks inside differ", {}, u"Emilia  Romagna"_s, Expected(u"Emilia  Romagna"_s, 19)},
        {"chosen after typing", 6, u"Lazio"_s, Expected(u"Lazio"_s, 7)},
    };
    for (const Step& step : steps) {
        controller.setRegionText(step.typed);
        const Addresses sent =
            step.chosen ? controller.chooseRegion(*step.chosen) : controller.refresh();
        EXPECT_EQ(sent, step.expected) << step.what;
    }
    EXPECT_EQ(controller.regionIndex(), 6);
    EXPECT_EQ(Expected(u""_s, 0)[0],
              u"http://miojob.repubblica.it/offerte/lavoro/cerca/offer_location_region-"_s);
}

TEST(Countdown, CountsDownFrom299AndRefreshesOnTheTickThatFindsZero) {
    struct Row {
        int tick;
        int shown;
        int refreshes;
    };
    const Row table[] = {{1, 299, 0},   {2, 298, 0},   {299, 1, 0}, {300, 0, 0},
                         {301, 299, 1}, {302, 298, 1}, {600, 0, 1}, {601, 299, 2}};
    WatchController controller;
    controller.startUp({});
    int tick = 0;
    int refreshes = 0;
    QStringList titles;
    for (const Row& row : table) {
        TickOutcome outcome;
        while (tick < row.tick) {
            outcome = controller.tick(WindowState::Normal);
            if (outcome.refresh) {
                ++refreshes;
                EXPECT_EQ(*outcome.refresh, Expected(u"Abruzzo"_s, 1));
            }
            titles << outcome.title;
            ++tick;
        }
        EXPECT_EQ(outcome.title, LongTitle(row.shown)) << tick;
        EXPECT_EQ(refreshes, row.refreshes) << tick;
    }
    EXPECT_FALSE(titles.contains(LongTitle(300)));
}

TEST(Countdown, TheTitleFollowsTheWindowStateAndOtherRefreshesLeaveTheCount) {
    WatchController controller;
    controller.startUp({});
    EXPECT_EQ(controller.tick(WindowState::Minimized).title, u"299 - Quintavia"_s);
    EXPECT_EQ(controller.tick(WindowState::Minimized).title, u"298 - Quintavia"_s);
    controller.refresh();
    controller.chooseRegion(6);
    EXPECT_EQ(controller.tick(WindowState::Maximized).title, LongTitle(297));
    EXPECT_EQ(controller.tick(WindowState::Normal).title, LongTitle(296));

    // Minimized on the tick that refreshes.
    controller.expireCountdown();
    const TickOutcome reset = controller.tick(WindowState::Minimized);
    EXPECT_TRUE(reset.refresh);
    EXPECT_EQ(reset.title, u"299 - Quintavia"_s);
}

TEST(PageCaptured, ANewTitleIsStoredLoggedAndAnnouncedOnce) {
    WatchController controller;
    controller.startUp({});
    struct Step {
        const char* what;
        int site;
        PageCapture page;
        Shown expected;
    };
    const Step steps[] = {
        {"new, blanks trimmed", 1, Page(1, u"  Cuoco capo partita "_s),
         Logged(u"Jobrapido: CUOCO CAPO PARTITA"_s)},
        {"the same again", 1, Page(1, u"Cuoco capo partita"_s), {}},
        {"only the case differs", 1, Page(1, u"CUOCO Capo Partita"_s), {}},
        {"the label keeps its blanks", 0, Page(0, u"Autista"_s), Logged(u"MioJob   : AUTISTA"_s)},
        {"each site its own title", 3, Page(3, u"Autista"_s), Logged(u"Infojobs : AUTISTA"_s)},
        {"another title", 1, Page(1, u"Bar &amp; ristorante"_s),
         Logged(u"Jobrapido: BAR &AMP; RISTORANTE"_s)},
        {"one that comes back", 1, Page(1, u"Cuoco capo partita"_s),
         Logged(u"Jobrapido: CUOCO CAPO PARTITA"_s)},
        {"blanks only", 2, Page(2, u"   "_s), {}},
        {"a line break is a title, shown as nothing", 2, Page(2, u" \n "_s),
         Logged(u"Jobonline: "_s)},
        {"a bidi override is kept but not shown", 3, Page(3, u"Offerta \u202Eexe.fdp\u202C"_s),
         Logged(u"Infojobs : OFFERTA EXE.FDP"_s)},
        {"adjacent tags", 2, Page(2, u""_s), {}},
        {"not an HTML document", 2, {.url = Page(2, {}).url, .markup = std::nullopt}, {}},
        {"no tag end", 1, OnSite(1, u"<div><span class=\"title\" Cuoco, no end"_s), {}},
        {"no tag start", 1, OnSite(1, u"<div><span class=\"title\">Cuoco, no start"_s), {}},
        {"a site index out of range", 4, Page(1, u"Nuovo"_s), {}},
    };
    for (const Step& step : steps)
        EXPECT_EQ(Of(controller.pageCaptured(step.site, step.page)), step.expected) << step.what;
    EXPECT_EQ(support::LastTitles(controller.kept()),
              (support::FourTexts{u"AUTISTA"_s, u"CUOCO CAPO PARTITA"_s, u"\n"_s,
                                  u"OFFERTA \u202EEXE.FDP\u202C"_s}));
}

// A page that took its pane away from the site is not the site's, whatever it carries: the
// MioJob marker is a class name found on many sites.
TEST(PageCaptured, APageOffTheSitesOwnDomainEndsTheHandling) {
    Kept stored;
    support::SetScrollTops(stored, {u"300"_s, u"300"_s, u"300"_s, u"300"_s});
    stored.options.autoPosition = TriState::Ticked;
    stored.options.soundAlert = TriState::Ticked;
    WatchController controller;
    controller.startUp(stored);
    struct Case {
        const char* what;
        int site;
        const char* url;
        bool own;
    };
    const Case cases[] = {
        {"the search address", 0, "http://miojob.repubblica.it/offerte", true},
        {"the board's new home", 0, "https://www.repubblica.it/economia/miojob/offerte", true},
        {"the news of the same domain", 0, "https://www.repubblica.it/lavoro", false},
        {"the domain itself", 1, "http://jobrapido.com/", true},
        {"another site's domain", 0, "http://it.jobrapido.com/", false},
        {"a look-alike ending", 2, "http://notjobonline.it/", false},
        {"the domain inside a longer one", 3, "http://www.infojobs.it.example.com/", false},
        {"a path that names it", 3, "http://example.com/www.infojobs.it/", false},
        {"the engine's error page", 1, "chrome-error://chromewebdata/", false},
        {"a blank page", 2, "about:blank", false},
        {"no address", 0, "", false},
    };
    int round = 0;
    for (const Case& c : cases) {
        const QString title = u"Titolo %1"_s.arg(++round);
        const PageCapture capture{.url = QUrl(QString::fromLatin1(c.url)),
                                  .markup = Page(c.site, title).markup};
        const PageOutcome outcome = controller.pageCaptured(c.site, capture);
        EXPECT_EQ(outcome.newest.has_value(), c.own) << c.what;
        EXPECT_EQ(outcome.newest && outcome.newest->sound, c.own) << c.what;
        EXPECT_EQ(outcome.keep.lastTitles, c.own) << c.what;
        EXPECT_EQ(outcome.scroll.has_value(), c.own) << c.what;
        EXPECT_EQ(
            support::DefaultSite(controller.kept(), static_cast<std::size_t>(c.site)).lastListing ==
                title.toUpper(),
            c.own)
            << c.what;
    }
}

// A new newest title comes with what the log box and the sound do with it, decided here.
TEST(PageCaptured, ANewListingSaysWhatToAnnounce) {
    const QDateTime when(QDate(2024, 5, 1), QTime(9, 30), QTimeZone(7200));
    struct Row {
        const char* what;
        bool notifications;
        TriState sound;
    };
    const Row rows[] = {
        {"notifications on, sound ticked", true, TriState::Ticked},
        {"notifications off", false, TriState::Ticked},
        {"sound greyed", true, TriState::Greyed},
    };
    int round = 0;
    for (const Row& row : rows) {
        WatchController controller;
        controller.startUp({});
        controller.setDesktopNotifications(row.notifications);
        controller.setSoundAlert(row.sound);
        const QString title = u"MAGAZZINIERE %1"_s.arg(++round);
        const PageCapture page = Page(3, title);
        const PageOutcome outcome = controller.pageCaptured(3, page, when);
        ASSERT_TRUE(outcome.newest) << row.what;
        const NewestTitle& listing = *outcome.newest;
        EXPECT_EQ(listing.pane, 3) << row.what;
        EXPECT_EQ(listing.title, title) << row.what;
        EXPECT_EQ(listing.address, page.url) << row.what;
        EXPECT_EQ(listing.logEntry, u"Infojobs : "_s + title) << row.what;
        EXPECT_EQ(listing.sound, row.sound == TriState::Ticked) << row.what;
        // The site's first capture: it is no longer being checked, but watched.
        ASSERT_TRUE(outcome.toolTips) << row.what;
        EXPECT_EQ(outcome.toolTips->paneLabels[3], QString()) << row.what;
        EXPECT_FALSE(controller.pageCaptured(3, Page(3, title), when).toolTips) << row.what;
    }
}

TEST(PageCaptured, ATitleIsCutToFiveHundredUnitsBeforeItIsCompared) {
    WatchController controller;
    controller.startUp({});
    const QString label = u"Jobonline: "_s;
    const QString longTitle = u"A"_s.repeated(499) + u"BC"_s + u"D"_s.repeated(4000);
    const QString cut = u"A"_s.repeated(499) + u"B"_s;
    EXPECT_EQ(Of(controller.pageCaptured(2, Page(2, longTitle))), Logged(label + cut));
    EXPECT_EQ(support::DefaultSite(controller.kept(), 2).lastListing, cut);
    // Whatever follows the cut, it is the same title.
    EXPECT_EQ(Of(controller.pageCaptured(2, Page(2, cut + u"other ending"_s))), Shown{});
    EXPECT_EQ(Of(controller.pageCaptured(2, Page(2, cut))), Shown{});
    // A character of two units across the cut is left out whole.
    const QString emoji = u"\U0001F600"_s;
    const QString across = u"E"_s.repeated(499) + emoji + u"F"_s;
    EXPECT_EQ(Of(controller.pageCaptured(2, Page(2, across))),
              Logged(label + u"E"_s.repeated(499)));
    const QString within = u"G"_s.repeated(498) + emoji + u"H"_s;
    EXPECT_EQ(Of(controller.pageCaptured(2, Page(2, within))),
              Logged(label + u"G"_s.repeated(498) + emoji));
    EXPECT_EQ(CutTitle(u"breve"_s), u"breve"_s);
    EXPECT_EQ(CutTitle(u"x"_s.repeated(500)).size(), 500);
}

TEST(PageCaptured, OnlyATickedSoundOptionPlays) {
    WatchController controller;
    controller.startUp({});
    const std::pair<TriState, bool> cases[] = {
        {TriState::Unticked, false}, {TriState::Greyed, false}, {TriState::Ticked, true}};
    int round = 0;
    for (const auto& [value, plays] : cases) {
        controller.setSoundAlert(value);
        const QString title = u"Titolo %1"_s.arg(++round);
        EXPECT_EQ(Of(controller.pageCaptured(2, Page(2, title))),
                  Logged(u"Jobonline: "_s + title.toUpper(), plays));
    }
}

TEST(PageCaptured, ATickedAutoPositionScrollsBackAfterEveryPageThatWasRead) {
    Kept stored;
    support::DefaultSite(stored, 0).scrollTop = u"300"_s;
    support::DefaultSite(stored, 0).scrollLeft = u"40"_s;
    support::DefaultSite(stored, 1).scrollTop = u"abc"_s;  // edited by hand
    support::DefaultSite(stored, 2).scrollLeft = u"x"_s;
    WatchController controller;
    controller.startUp(stored);
    // Unticked or greyed: nothing is scrolled.
    EXPECT_FALSE(controller.pageCaptured(0, Page(0, u"Uno"_s)).scroll);
    controller.setAutoPosition(TriState::Greyed);
    EXPECT_FALSE(controller.pageCaptured(0, Page(0, u"Uno"_s)).scroll);

    controller.setAutoPosition(TriState::Ticked);
    struct Case {
        const char* what;
        int site;
        PageCapture page;
        std::optional<ScrollTo> expected;
    };
    const Case cases[] = {
        {"the same title", 0, Page(0, u"Uno"_s), ScrollTo{300, 40}},
        {"a new title", 0, Page(0, u"Due"_s), ScrollTo{300, 40}},
        {"nothing ever saved", 3, Page(3, u"Tre"_s), ScrollTo{0, 0}},
        {"a vertical offset that is no number", 1, Page(1, u"Quattro"_s), std::nullopt},
        {"a horizontal offset that is no number", 2, Page(2, u"Cinque"_s), ScrollTo{0, {}}},
        {"a page that could not be read", 0, OnSite(0, u"no tags"_s), std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<ScrollTo> scroll = controller.pageCaptured(c.site, c.page).scroll;
        ASSERT_EQ(scroll.has_value(), c.expected.has_value()) << c.what;
        if (!scroll) continue;
        EXPECT_EQ(scroll->top, c.expected->top) << c.what;
        EXPECT_EQ(scroll->left, c.expected->left) << c.what;
    }
}

TEST(SavePositions, StoresThePanesThatHaveAPageAndKeepsTheOthers) {
    Kept stored;
    support::DefaultSite(stored, 2).scrollTop = u"77"_s;
    support::DefaultSite(stored, 2).scrollLeft = u"5"_s;
    WatchController controller;
    controller.startUp(stored);
    const QStringList saved =
        controller
            .savePositions({QPointF(40, 300), QPointF(0, 0), std::nullopt, QPointF(-0.0, 12.5)})
            .scrolledSites;
    const QStringList expected = {u"miojob"_s, u"jobrapido"_s, u"infojobs"_s};
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(support::ScrollTops(controller.kept()),
              (support::FourTexts{u"300"_s, u"0"_s, u"77"_s, u"12.5"_s}));
    EXPECT_EQ(support::ScrollLefts(controller.kept()),
              (support::FourTexts{u"40"_s, u"0"_s, u"5"_s, u"0"_s}));
    // Saving again without scrolling gives the same texts again.
    EXPECT_EQ(
        controller.savePositions({QPointF(40, 300), QPointF(0, 0), std::nullopt, QPointF(0, 12.5)})
            .scrolledSites,
        expected);
}

TEST(Kept, WhatIsStoredAtTheEndIsWhatTheRunLeft) {
    Kept stored;
    support::SetLastTitles(stored, {u"A"_s, u"B"_s, u"C"_s, u"D"_s});
    stored.options.region = u""_s;
    WatchController controller;
    controller.startUp(stored);
    controller.pageCaptured(2, Page(2, u"Nuovo"_s));
    controller.setRegionText(u"Lombardia"_s);
    controller.setSoundAlert(TriState::Ticked);
    controller.setDesktopNotifications(false);
    const SettingsEntries expected = {
        {u"Settaggio"_s, u"0"_s, u"A"_s},
        {u"Settaggio"_s, u"1"_s, u"B"_s},
        {u"Settaggio"_s, u"2"_s, u"NUOVO"_s},
        {u"Settaggio"_s, u"3"_s, u"D"_s},
        {u"Posizione"_s, u"0"_s, u"0"_s},
        {u"Posizione"_s, u"1"_s, u"Lombardia"_s},
        {u"Posizione"_s, u"2"_s, u"1"_s},
        {u"Notifiche"_s, u"0"_s, u"0"_s},
        // Each pane's own site and no keywords nor filter words: written only over what the file
        // holds.
        {u"Siti"_s, u"0"_s, u""_s, true},
        {u"Siti"_s, u"1"_s, u""_s, true},
        {u"Siti"_s, u"2"_s, u""_s, true},
        {u"Siti"_s, u"3"_s, u""_s, true},
        {u"Ricerca"_s, u"parole"_s, u""_s, true},
        {u"Filtri"_s, u"includi"_s, u""_s, true},
        {u"Filtri"_s, u"escludi"_s, u""_s, true},
        {u"Griglia"_s, u"riquadri"_s, u""_s, true},
    };
    EXPECT_EQ(ShutdownEntries(controller.kept()), expected);
    EXPECT_EQ(ListingEntries(controller.kept()), expected.mid(0, 4));
}

// A pane can show any site of the catalogue: its address, its titles and its offsets are its
// own, and a site shown again finds what it had.
TEST(Sites, EachPanesSiteKeepsItsOwnTitleAddressAndOffsets) {
    Kept stored;
    stored.options.paneSites[3] = u"indeed"_s;
    stored.options.paneSites[1] = u"nessuno"_s;  // not in the catalogue: the pane's own site
    support::DefaultSite(stored, 3).lastListing = u"VECCHIO INFOJOBS"_s;
    stored.options.keywords = u"cuoco capo"_s;
    stored.options.autoPosition = TriState::Ticked;
    stored.sites[u"indeed"_s].scrollTop = u"120"_s;
    WatchController controller;
    const StartUpOutcome start = controller.startUp(stored);
    ASSERT_EQ(start.warnings.size(), 1);
    EXPECT_TRUE(start.warnings[0].contains(u"nessuno"_s));
    EXPECT_EQ(start.panes[3].id, u"indeed"_s);
    EXPECT_EQ(start.panes[1].id, u"jobrapido"_s);
    EXPECT_EQ(controller.kept().options.paneSites[1], u""_s);
    controller.setRegionText(u"Lazio"_s);
    EXPECT_EQ(controller.refresh()[3],
              u"https://it.indeed.com/jobs?q=cuoco%20capo&l=Lazio&sort=date"_s);
    EXPECT_EQ(controller.refresh()[1], u"http://it.jobrapido.com/?w=cuoco%20capo&l=Lazio&r=auto"_s);

    // Indeed's listings come with their links: the newest is logged with its own address.
    const QUrl search(controller.refresh()[3]);
    const PageCapture page{.url = search,
                           .markup = u"<html><body></body></html>"_s,
                           .listings = QList<Listing>{
                               {u"Cuoco capo partita"_s, QUrl(u"https://it.indeed.com/v?jk=1"_s)},
                               {u"Aiuto cuoco"_s, QUrl(u"https://it.indeed.com/v?jk=2"_s)}}};
    const PageOutcome outcome = controller.pageCaptured(3, page);
    ASSERT_TRUE(outcome.newest);
    EXPECT_EQ(outcome.newest->logEntry, u"Indeed: Cuoco capo partita"_s);
    EXPECT_EQ(outcome.newest->siteId, u"indeed"_s);
    EXPECT_EQ(outcome.newest->address, QUrl(u"https://it.indeed.com/v?jk=1"_s));
    EXPECT_EQ(outcome.scroll, (ScrollTo{120, 0}));
    EXPECT_EQ(controller.kept().sites[u"indeed"_s].lastListing, u"Cuoco capo partita"_s);
    EXPECT_EQ(support::DefaultSite(controller.kept(), 3).lastListing, u"VECCHIO INFOJOBS"_s);

    // Back to InfoJobs: only that pane reloads, and its old title is no news.
    Choices back = controller.choices();
    EXPECT_EQ(back.paneSites[3], u"indeed"_s);
    back.paneSites[3] = u"infojobs"_s;
    const ChoicesOutcome chosen = controller.choose(back);
    EXPECT_EQ(chosen.reload[3], u"http://www.infojobs.it/offerte-lavoro/Lazio"_s);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(chosen.reload[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(controller.kept().options.paneSites[3], u""_s);
    EXPECT_FALSE(controller.pageCaptured(3, Page(3, u"Vecchio Infojobs"_s)).newest);
    EXPECT_TRUE(chosen.desktopNotifications);
    // New keywords reload the panes whose address takes them; the option comes back as chosen.
    back.keywords = u"autista"_s;
    back.desktopNotifications = false;
    const ChoicesOutcome searched = controller.choose(back);
    EXPECT_FALSE(searched.desktopNotifications);
    EXPECT_TRUE(searched.reload[1]);
    EXPECT_FALSE(searched.reload[0]);
    EXPECT_EQ(controller.kept().options.keywords, u"autista"_s);
}

// A capture of a site that shows its listings, newest first, with their links.
PageCapture Board(const QStringList& titles, const QString& search = {}) {
    PageCapture page{.url = QUrl(u"https://it.indeed.com/jobs?q=&l=Lazio&sort=date"_s),
                     .markup = u"<html><body>annunci</body></html>"_s,
                     .listings = QList<Listing>(),
                     .requested = search};
    for (const QString& title : titles)
        page.listings->append(
            {title, QUrl(u"https://it.indeed.com/viewjob?jk="_s + title.toLower())});
    return page;
}

Choices WithIndeedInPane3(const WatchController& controller) {
    Choices choices = controller.choices();
    choices.paneSites[3] = u"indeed"_s;
    return choices;
}

// The listings never seen on a search are found once each: written to the history, announced
// in one notification a capture, and counted until opened.
TEST(NewListings, FoundOnceAnnouncedOnceAndCountedUntilOpened) {
    const QDateTime when(QDate(2026, 12, 7), QTime(9, 30), QTimeZone(3600));
    WatchController controller;
    controller.startUp({});
    controller.choose(WithIndeedInPane3(controller));
    const QString lazio = u"https://it.indeed.com/jobs?q=&l=Lazio&sort=date"_s;

    struct Step {
        const char* what;
        PageCapture page;
        QStringList found;
        std::optional<QString> summary;
    };
    PageCapture byPage = Board({u"Sei"_s, u"Uno"_s}, lazio);
    byPage.startedByProgram = false;
    const Step steps[] = {
        {"the first capture learns", Board({u"Uno"_s, u"Due"_s}, lazio), {}, std::nullopt},
        {"three at once",
         Board({u"Tre"_s, u"Quattro"_s, u"Cinque"_s, u"Uno"_s}, lazio),
         {u"Tre"_s, u"Quattro"_s, u"Cinque"_s},
         u"3 nuovi annunci su Indeed"_s},
        {"a page that loaded itself brings no news", byPage, {}, std::nullopt},
        {"but the next refresh does, held for a minute",
         Board({u"Sei"_s, u"Uno"_s}, lazio),
         {u"Sei"_s},
         std::nullopt},
        {"another search learns",
         Board({u"Sette"_s}, u"https://it.indeed.com/jobs?q=&l=Veneto&sort=date"_s),
         {},
         std::nullopt},
    };
    for (const Step& step : steps) {
        const PageOutcome outcome = controller.pageCaptured(3, step.page, when);
        QStringList titles;
        for (const FoundListing& found : outcome.keep.found) titles.append(found.title);
        EXPECT_EQ(titles, step.found) << step.what;
        EXPECT_EQ(outcome.keep.found.size(), step.found.size()) << step.what;
        EXPECT_EQ(outcome.foundNotice ? std::optional(outcome.foundNotice->summary) : std::nullopt,
                  step.summary)
            << step.what;
        EXPECT_EQ(outcome.keep.memory.has_value(), step.page.startedByProgram) << step.what;
    }
    const Notice held = controller.tick(WindowState::Normal).notices.value(0);
    EXPECT_TRUE(held.summary.isEmpty());
    QList<Notice> later;
    for (int t = 0; t < NoticeThrottle::kQuietSeconds; ++t)
        later += controller.tick(WindowState::Normal).notices;
    ASSERT_EQ(later.size(), 1);
    EXPECT_EQ(later[0].summary, u"Nuovo annuncio su Indeed"_s);
    EXPECT_EQ(later[0].link, QUrl(u"https://it.indeed.com/viewjob?jk=sei"_s));

    // The list, newest first; the tray counts what is not yet opened.
    const FoundList& list = controller.found();
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list.at(0).title, u"Sei"_s);
    EXPECT_EQ(list.at(1).title, u"Tre"_s);
    EXPECT_EQ(list.unopenedCount(), 4);
    EXPECT_TRUE(controller.tick(WindowState::Normal)
                    .trayToolTip.endsWith(u"\n4 annunci trovati da aprire"_s));
    const OpenOutcome opened = controller.openFound(1);
    EXPECT_EQ(opened.link, QUrl(u"https://it.indeed.com/viewjob?jk=tre"_s));
    EXPECT_TRUE(opened.toolTips.tray.endsWith(u"\n3 annunci trovati da aprire"_s));
    EXPECT_FALSE(controller.openFound(4).link);

    // A click on a notification: its link, the list, or the window.
    struct Click {
        NoticeAction action;
        QUrl link;
        OpenOutcome expected;
    };
    const QUrl sei(u"https://it.indeed.com/viewjob?jk=sei"_s);
    const Click clicks[] = {
        {NoticeAction::OpenLink, sei, {.link = sei}},
        {NoticeAction::OpenLink, QUrl(u"file:///etc/passwd"_s), {.showFound = true}},
        {NoticeAction::ShowFound, {}, {.showFound = true}},
        {NoticeAction::ShowWindow, {}, {.bringBack = true}},
    };
    for (const Click& click : clicks) {
        const OpenOutcome outcome = controller.noticeClicked(click.action, click.link);
        EXPECT_EQ(outcome.link, click.expected.link);
        EXPECT_EQ(outcome.showFound, click.expected.showFound);
        EXPECT_EQ(outcome.bringBack, click.expected.bringBack);
        EXPECT_EQ(outcome.settingsPane, std::nullopt);
    }
    // A blind site's notice leads to the settings, at its pane.
    const OpenOutcome settings = controller.noticeClicked(NoticeAction::ShowSettings, {}, 2);
    EXPECT_TRUE(settings.bringBack);
    EXPECT_EQ(settings.settingsPane, 2);
    EXPECT_EQ(controller.found().unopenedCount(), 2);
}

// What a run learned is what the next starts from: nothing seen is news again, and a site
// chosen for a pane starts with a new search.
TEST(NewListings, ARestartAnnouncesNothingSeenAndAChosenSiteLearnsFirst) {
    const QString lazio = u"https://it.indeed.com/jobs?q=&l=Lazio&sort=date"_s;
    WatchController first;
    first.startUp({});
    first.choose(WithIndeedInPane3(first));
    first.pageCaptured(3, Board({u"Uno"_s, u"Due"_s}, lazio));
    EXPECT_EQ(first.pageCaptured(3, Board({u"Tre"_s, u"Uno"_s}, lazio)).keep.found.size(), 1);

    WatchController second;
    second.startUp(first.kept(), first.listingMemory());
    const PageOutcome again = second.pageCaptured(3, Board({u"Quattro"_s, u"Tre"_s}, lazio));
    ASSERT_EQ(again.keep.found.size(), 1);
    EXPECT_EQ(again.keep.found[0].title, u"Quattro"_s);

    // InfoJobs back in the pane, then Indeed again: its first page is a new search.
    Choices back = second.choices();
    back.paneSites[3] = u"infojobs"_s;
    second.choose(back);
    second.choose(WithIndeedInPane3(second));
    EXPECT_TRUE(second.pageCaptured(3, Board({u"Cinque"_s}, lazio)).keep.found.isEmpty());
    EXPECT_EQ(second.pageCaptured(3, Board({u"Sei"_s, u"Cinque"_s}, lazio)).keep.found.size(), 1);
}

// The user's words filter what is announced, not what is kept.
TEST(NewListings, TheChosenWordsFilterWhatIsAnnounced) {
    const QString lazio = u"https://it.indeed.com/jobs?q=&l=Lazio&sort=date"_s;
    WatchController controller;
    controller.startUp({});
    Choices choices = WithIndeedInPane3(controller);
    choices.excludeWords = u"stage, tirocinio"_s;
    controller.choose(choices);
    EXPECT_EQ(controller.choices().excludeWords, u"stage, tirocinio"_s);
    EXPECT_EQ(controller.kept().options.excludeWords, u"stage, tirocinio"_s);
    controller.pageCaptured(3, Board({u"Uno"_s}, lazio));
    const PageOutcome outcome =
        controller.pageCaptured(3, Board({u"STAGE in cucina"_s, u"Cuoco"_s, u"Uno"_s}, lazio));
    ASSERT_EQ(outcome.keep.found.size(), 2);
    EXPECT_TRUE(outcome.keep.found[0].filtered);
    EXPECT_FALSE(outcome.keep.found[1].filtered);
    EXPECT_TRUE(HistoryLine(outcome.keep.found[0]).contains(u",sì,"_s));
    ASSERT_TRUE(outcome.foundNotice);
    EXPECT_EQ(outcome.foundNotice->summary, u"Nuovo annuncio su Indeed"_s);
    EXPECT_EQ(outcome.foundNotice->body, u"Cuoco"_s);
    EXPECT_EQ(controller.found().unopenedCount(), 1);
}

// A listing the user's words leave out is not the newest news: neither logged nor sounded.
// The words match the company and the place too.
TEST(NewListings, TheChosenWordsKeepALeftOutListingOutOfTheLogAndTheSound) {
    const QString lazio = u"https://it.indeed.com/jobs?q=&l=Lazio&sort=date"_s;
    const auto page = [&](const QList<Listing>& listings) {
        PageCapture capture = Board({}, lazio);
        capture.listings = listings;
        return capture;
    };
    const Listing night{.title = u"Magazziniere turno notturno"_s,
                        .link = QUrl(u"https://it.indeed.com/viewjob?jk=1"_s)};
    const Listing day{.title = u"Magazziniere farmaceutico"_s,
                      .link = QUrl(u"https://it.indeed.com/viewjob?jk=2"_s),
                      .company = u"Beta"_s};
    const Listing far{.title = u"Autista"_s,
                      .link = QUrl(u"https://it.indeed.com/viewjob?jk=3"_s),
                      .place = u"Vercelli, Piemonte"_s};
    struct Case {
        const char* what;
        QString include;
        QString exclude;
        QList<Listing> listings;
        std::optional<QString> logged;
    };
    const Case cases[] = {
        {"no words: the first, as ever",
         {},
         {},
         {night, day},
         u"Indeed: Magazziniere turno notturno"_s},
        {"the first left out: the next that passes",
         {},
         u"notturno"_s,
         {night, day},
         u"Indeed: Magazziniere farmaceutico"_s},
        {"all left out: nothing", {}, u"magazziniere"_s, {night, day}, std::nullopt},
        {"by place", {}, u"piemonte"_s, {far, day}, u"Indeed: Magazziniere farmaceutico"_s},
        {"by company, to include",
         u"beta"_s,
         {},
         {night, day},
         u"Indeed: Magazziniere farmaceutico"_s},
    };
    for (const Case& c : cases) {
        WatchController controller;
        controller.startUp({});
        Choices choices = WithIndeedInPane3(controller);
        choices.includeWords = c.include;
        choices.excludeWords = c.exclude;
        controller.choose(choices);
        controller.setSoundAlert(TriState::Ticked);
        const PageOutcome outcome = controller.pageCaptured(3, page(c.listings));
        EXPECT_EQ(outcome.newest ? std::optional(outcome.newest->logEntry) : std::nullopt, c.logged)
            << c.what;
        EXPECT_EQ(outcome.newest && outcome.newest->sound, c.logged.has_value()) << c.what;
    }
}

// What was said of a site is taken back once another site takes its pane.
TEST(Sites, ABlindSitesNoticeIsTakenBackWhenItsPaneShowsAnotherSite) {
    WatchController controller;
    controller.startUp({});
    const PageOutcome blind = controller.pageCaptured(3, OnSite(3, u"<p>chiuso</p>"_s));
    ASSERT_TRUE(blind.watchNotice);
    EXPECT_EQ(blind.watchNotice->tag, BlindTag(u"infojobs"_s));
    // The same site stays: nothing is taken back.
    EXPECT_EQ(controller.choose(controller.choices()).withdrawn, QStringList{});
    EXPECT_EQ(controller.choose(WithIndeedInPane3(controller)).withdrawn,
              QStringList{BlindTag(u"infojobs"_s)});
    // A site watched without a pane that is watched no more: the same.
    Choices choices = controller.choices();
    choices.backgroundSites = {u"linkedin"_s};
    EXPECT_EQ(controller.choose(choices).withdrawn, QStringList{});
    choices.backgroundSites.clear();
    EXPECT_EQ(controller.choose(choices).withdrawn, QStringList{BlindTag(u"linkedin"_s)});
}

}  // namespace
}  // namespace quintavia
