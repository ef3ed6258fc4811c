#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "core/layout/panes.h"
#include "shell/browser/background_pages.h"
#include "shell/desktop/tray_icon.h"
#include "shell/window/found_listings_window.h"
#include "shell/window/settings_dialog.h"
#include "shell/window/sites_overview.h"
#include "sites_file_sites.h"

using namespace Qt::StringLiterals;

namespace quintavia::e2e {
namespace {

// The two boards past the four panes, watched without one: [Siti] 4= and 5=.
class BackgroundSitesE2e : public TwoBoardsTest {
  protected:
    void SetUp() override {
        TwoBoardsTest::SetUp();
        ASSERT_TRUE(WriteBoards(kPaneCount, entries));
        // Each board's answer, read at every request: its page unless a test says otherwise.
        Harness::instance().server().setHandler(
            [this, scripted = sites.handler()](const fixtures::Request& request) {
                for (int b = 0; b < 2; ++b)
                    if (request.host == kBoards[b].host && answers[b]) return *answers[b];
                const auto page = pages.find(request.host.toLower());
                if (page == pages.end()) return scripted(request);
                return fixtures::Response{.body = page->second};
            });
    }

    void StartWatching() {
        ASSERT_TRUE(Harness::instance().store().write(entries));
        Start();
        // The test is the countdown's clock: the ticks of the real one would move the boards'
        // due times against the runs the test makes.
        window->findChild<QTimer*>(u"countdownTimer"_s)->stop();
        spy =
            std::make_unique<QSignalSpy>(window->backgroundPages(), &BackgroundPages::pageCaptured);
    }

    // The requests each board has had, without the icon's.
    static int Requests(int b) {
        int count = 0;
        for (const fixtures::Request& request : Harness::instance().server().requests())
            count += request.host == kBoards[b].host && request.path.startsWith("/offerte/");
        return count;
    }

    // The countdown runs out, and the background captures it asked for have come.
    [[nodiscard]] bool RunOutAndRead(int capturesNow) {
        RunCountdownOut(*window);
        return WaitFor([&] {
            return spy->count() >= capturesNow &&
                   window->backgroundPages()->loading() + window->backgroundPages()->waiting() == 0;
        });
    }

    SettingsEntries entries;
    std::array<std::optional<fixtures::Response>, 2> answers;
    std::unique_ptr<QSignalSpy> spy;
};

// Both boards are loaded through the proxy with no pane of theirs; a card added to one between
// its loads is announced and written to the history with its link, and neither reaches the
// log box.
TEST_F(BackgroundSitesE2e, SitesPastThePanesAreWatchedWithoutShowingThere) {
    StandIn();
    StartWatching();
    ASSERT_TRUE(WaitFor([&] { return spy->count() >= 2 && captures->eachAtLeast(1); }));
    EXPECT_EQ(Requests(0), 1);
    EXPECT_EQ(Requests(1), 1);
    for (int i = 0; i < kPaneCount; ++i) {
        EXPECT_NE(window->controller().paneRule(i).id, kBoards[0].id);
        EXPECT_NE(window->controller().paneRule(i).id, kBoards[1].id);
    }

    const QString link = Add(1, u"Magazziniere, Rieti"_s);
    ASSERT_TRUE(RunOutAndRead(4));
    const QList<QStringList> history = History();
    ASSERT_EQ(history.size(), 1);
    EXPECT_EQ(history[0].mid(1, 3), (QStringList{kBoards[1].name, u"Magazziniere, Rieti"_s, link}));
    ASSERT_TRUE(AllSentNotificationsArrived());
    ASSERT_EQ(Notified().size(), 1);
    EXPECT_EQ(Notified()[0].summary, u"Nuovo annuncio su Bacheca Due"_s);
    for (const QString& entry : LogEntries(*window))
        EXPECT_FALSE(entry.contains(u"Bacheca"_s) || entry.contains(u"Annuncio di ieri"_s) ||
                     entry.contains(u"Magazziniere, Rieti"_s))
            << entry.toStdString();
}

// A board that answers 429 with Retry-After: 30 is left alone by the countdown and by
// "Aggiorna" while the other goes on; once it answers again its own interval is back.
TEST_F(BackgroundSitesE2e, ABoardThatAsksToSlowDownWaitsWhileTheOtherGoesOn) {
    answers[0] = fixtures::Response{
        .status = 429, .body = "Troppe richieste", .headers = {{"Retry-After", "30"}}};
    StartWatching();
    ASSERT_TRUE(WaitFor([&] { return spy->count() >= 2; }));
    ASSERT_TRUE(WaitFor([&] { return window->controller().backgroundPace(0).heldBack(); }));
    EXPECT_TRUE(window->trayIcon()->icon()->toolTip().contains(u"il sito chiede di rallentare"_s))
        << window->trayIcon()->icon()->toolTip().toStdString();

    ASSERT_TRUE(RunOutAndRead(3));
    window->findChild<QPushButton*>(u"refreshButton"_s)->click();
    ASSERT_TRUE(WaitFor([&] { return spy->count() >= 4 && Requests(1) == 3; }));
    EXPECT_EQ(Requests(0), 1);

    answers[0].reset();
    ASSERT_TRUE(RunOutAndRead(5));  // the doubled interval has passed
    EXPECT_EQ(Requests(0), 2);
    EXPECT_FALSE(window->controller().backgroundPace(0).heldBack());
    EXPECT_EQ(window->controller().backgroundPace(0).intervalSeconds(), 5 * 60);
}

// "Impostazioni" confirmed while a board's load is under way leaves the load to finish: the card
// it brings is announced, not waited for until the board's next turn.
TEST_F(BackgroundSitesE2e, ALoadUnderWayOutlivesSettingsThatKeepItsSite) {
    StartWatching();
    ASSERT_TRUE(WaitFor([&] { return spy->count() >= 2; }));
    const QString link = Add(1, u"Magazziniere, Rieti"_s);
    answers[1] = fixtures::Response{.body = pages[kBoards[1].host], .held = true};
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return Harness::instance().server().heldCount() == 1; }));
    window->openSettings();
    window->settingsDialog()->accept();
    Harness::instance().server().releaseHeld();
    ASSERT_TRUE(WaitFor([&] { return History().size() == 1; }));
    EXPECT_EQ(History()[0].mid(1, 3),
              (QStringList{kBoards[1].name, u"Magazziniere, Rieti"_s, link}));
    EXPECT_EQ(Requests(1), 2);
}

// A board out of view that shows its listings again takes its blind notice back, as a pane's
// site does.
TEST_F(BackgroundSitesE2e, ABoardWatchedAgainTakesBackItsBlindNotice) {
    answers[0] = fixtures::Response{
        .body = "<html><body><div id=\"didomi-notice\">Accetta i cookie</div></body></html>"};
    StandIn();
    StartWatching();
    const QString summary = kBoards[0].name + u" non è sorvegliato"_s;
    ASSERT_TRUE(WaitFor([&] { return !standIn->callsWithSummary(summary).isEmpty(); }));
    const uint blind = standIn->callsWithSummary(summary).first().id;
    EXPECT_TRUE(standIn->closed().isEmpty());

    answers[0].reset();
    ASSERT_TRUE(RunOutAndRead(4));
    ASSERT_TRUE(WaitFor([&] { return standIn->closed() == QList<uint>{blind}; }));
}

// Over four runs of the countdown, a board on ten minutes is loaded twice and its neighbour on
// five four times, besides the first loads.
TEST_F(BackgroundSitesE2e, ATenMinuteBoardIsLoadedHalfAsOftenAsAFiveMinuteOne) {
    entries += {u"Intervalli"_s, kBoards[1].id, u"10"_s};
    StartWatching();
    ASSERT_TRUE(WaitFor([&] { return spy->count() >= 2; }));
    const int expected[] = {3, 5, 6, 8};
    for (int capturesNow : expected) ASSERT_TRUE(RunOutAndRead(capturesNow));
    EXPECT_EQ(Requests(0), 1 + 4);
    EXPECT_EQ(Requests(1), 1 + 2);
}

// "Siti seguiti" from the tray: a row a site, the panes' first, each saying where it is; Enter on
// the board watched without a pane puts it in the last pane, whose site takes its place.
TEST_F(BackgroundSitesE2e, TheOverviewShowsEverySiteAndEnterPutsOneInAPane) {
    entries.removeLast();  // one board past the panes
    StartWatching();
    ASSERT_TRUE(WaitFor([&] { return spy->count() >= 1 && captures->eachAtLeast(1); }));
    QAction* sitesAction = window->trayIcon()->findChild<QAction*>(u"sitesAction"_s);
    ASSERT_TRUE(sitesAction);
    sitesAction->trigger();
    // The tab beside "Annunci trovati", which Ctrl+Tab reaches.
    FoundListingsWindow* lists = window->foundWindow();
    ASSERT_TRUE(lists && lists->isVisible());
    EXPECT_EQ(lists->windowTitle(), u"Siti seguiti"_s);
    SitesOverview* overview = window->sitesOverview();
    ASSERT_TRUE(overview && overview->isVisible());
    QTreeWidget* view = overview->view();
    EXPECT_EQ(view->accessibleName(), u"Siti seguiti"_s);
    ASSERT_EQ(view->topLevelItemCount(), kPaneCount + 1);
    const QTreeWidgetItem* board = view->topLevelItem(kPaneCount);
    EXPECT_EQ(board->text(0), kBoards[0].name);
    EXPECT_EQ(board->text(1), u"Senza riquadro"_s);
    EXPECT_EQ(board->text(2), u"Sorvegliato"_s);
    EXPECT_NE(board->text(3), u"non ancora"_s);
    EXPECT_EQ(board->data(5, Qt::AccessibleTextRole).toString(),
              u"0 annunci nuovi negli ultimi 14 giorni, 0 oggi"_s);
    EXPECT_EQ(view->topLevelItem(0)->text(1), u"Riquadro 1"_s);

    const QString lastPaneSite = window->controller().paneRule(kPaneCount - 1).id;
    view->setFocus();
    view->setCurrentItem(view->topLevelItem(kPaneCount));
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(window->controller().paneRule(kPaneCount - 1).id, kBoards[0].id);
    ASSERT_EQ(window->controller().backgroundCount(), 1);
    EXPECT_EQ(window->controller().backgroundRule(0).id, lastPaneSite);
    ASSERT_TRUE(WaitFor([&] {
        return captures->last(kPaneCount - 1).url.host() == QString::fromLatin1(kBoards[0].host);
    }));
    EXPECT_EQ(view->topLevelItem(kPaneCount - 1)->text(0), kBoards[0].name);
    EXPECT_EQ(Harness::instance().stored(u"Siti"_s, QString::number(kPaneCount)), lastPaneSite);

    QTest::keyClick(view, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_FALSE(overview->isVisible());
    EXPECT_TRUE(lists->windowTitle().startsWith(u"Annunci trovati"_s));
    QTest::keyClick(lists->listView(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(overview->isVisible());
}

}  // namespace
}  // namespace quintavia::e2e
