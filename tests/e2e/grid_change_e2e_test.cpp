#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "accessible_walk.h"
#include "core/layout/panes.h"
#include "shell/browser/background_pages.h"
#include "shell/window/settings_dialog.h"
#include "sites_file_sites.h"

using namespace Qt::StringLiterals;

namespace quintavia::e2e {
namespace {

// Two by two with six sites in [Siti]: the two boards past the panes are watched without one.
class GridChangeE2e : public TwoBoardsTest {
  protected:
    void SetUp() override {
        TwoBoardsTest::SetUp();
        SettingsEntries entries;
        ASSERT_TRUE(WriteBoards(kPaneCount, entries));
        ASSERT_TRUE(Harness::instance().store().write(entries));
    }

    // "Disposizione dei riquadri" chosen in "Impostazioni", and OK.
    void ChooseGrid(const QString& grid) {
        window->openSettings();
        SettingsDialog* dialog = window->settingsDialog();
        ASSERT_TRUE(dialog);
        auto* box = dialog->findChild<QComboBox*>(u"gridBox"_s);
        ASSERT_TRUE(box);
        box->setCurrentIndex(box->findText(grid));
        dialog->findChild<QPushButton*>(u"okButton"_s)->click();
    }

    // The requests board `b` has had for its listings.
    static int Requests(int b) {
        int count = 0;
        for (const fixtures::Request& request : Harness::instance().server().requests())
            count += request.host == kBoards[b].host && request.path.startsWith("/offerte/");
        return count;
    }

    [[nodiscard]] bool BackgroundIdle() const {
        const BackgroundPages* hidden = window->backgroundPages();
        return hidden->loading() + hidden->waiting() == 0;
    }
};

// Three by two shows the two boards at once in the new panes, named as every pane is, and what
// was seen of them is not news there; back to two by two they are watched without a pane again,
// and nothing found is announced twice.
TEST_F(GridChangeE2e, AnotherGridTakesTheSitesInTheirOrderAtOnce) {
    StandIn();
    Start();
    // The test is the countdown's clock.
    window->findChild<QTimer*>(u"countdownTimer"_s)->stop();
    QSignalSpy background(window->backgroundPages(), &BackgroundPages::pageCaptured);
    ASSERT_TRUE(WaitFor([&] { return background.count() >= 2 && captures->eachAtLeast(1); }));
    const QString first = Add(0, u"Magazziniere, Rieti"_s);
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return background.count() >= 4 && BackgroundIdle(); }));
    ASSERT_EQ(History().size(), 1);

    // A card of the second board's comes between its last load without a pane and its first
    // in one: it is news, the one before it is not.
    const QString second = Add(1, u"Cuoco, Latina"_s);
    ChooseGrid(u"3 × 2"_s);
    ASSERT_EQ(window->paneGrid()->paneCount(), 6);
    EXPECT_EQ(window->controller().backgroundCount(), 0);
    QSignalSpy fifth(window->pane(4), &WebPane::pageCaptured);
    QSignalSpy sixth(window->pane(5), &WebPane::pageCaptured);
    for (int b = 0; b < 2; ++b) {
        const int i = kPaneCount + b;
        WebPane* pane = window->pane(i);
        EXPECT_TRUE(pane->isVisible()) << i;
        EXPECT_EQ(window->controller().paneRule(i).id, kBoards[b].id);
        EXPECT_EQ(pane->accessibleName(), u"Pagina di "_s + kBoards[b].name);
        EXPECT_EQ(window->paneGrid()->siteLabel(i)->text(),
                  window->controller().paneRule(i).paneLabel);
    }
    EXPECT_TRUE(window->pane(4)->accessibleDescription().startsWith(
        u"Riquadro 5 (in basso al centro): "_s));
    EXPECT_TRUE(
        window->pane(1)->accessibleDescription().startsWith(u"Riquadro 2 (in alto al centro): "_s));
    EXPECT_EQ(window->paneGrid()->accessibleDescription(),
              u"Le pagine dei siti, 3 per riga, su 2 righe"_s);
    EXPECT_EQ(AccessibilityFaults(QAccessible::queryAccessibleInterface(window.get())),
              QStringList{});
    ASSERT_TRUE(WaitFor([&] { return fifth.count() >= 1 && sixth.count() >= 1; }));
    ASSERT_TRUE(WaitFor([&] { return History().size() == 2; }));
    EXPECT_EQ(History()[1].mid(1, 3), (QStringList{kBoards[1].name, u"Cuoco, Latina"_s, second}));
    EXPECT_TRUE(LogEntries(*window).last().contains(u"Cuoco, Latina"_s));
    EXPECT_EQ(Requests(0), 3);
    EXPECT_EQ(Requests(1), 3);

    ChooseGrid(u"2 × 2"_s);
    ASSERT_EQ(window->paneGrid()->paneCount(), kPaneCount);
    EXPECT_FALSE(window->findChild<WebPane*>(u"pane4"_s));
    ASSERT_EQ(window->controller().backgroundCount(), 2);
    for (int b = 0; b < 2; ++b) EXPECT_EQ(window->controller().backgroundRule(b).id, kBoards[b].id);
    EXPECT_EQ(Harness::instance().stored(u"Siti"_s, u"5"_s), kBoards[1].id);
    const int capturedBefore = static_cast<int>(background.count());
    RunCountdownOut(*window);
    ASSERT_TRUE(
        WaitFor([&] { return background.count() >= capturedBefore + 2 && BackgroundIdle(); }));
    EXPECT_EQ(Requests(0), 4);
    EXPECT_EQ(Requests(1), 4);

    const QList<QStringList> history = History();
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history[0].mid(2, 2), (QStringList{u"Magazziniere, Rieti"_s, first}));
    ASSERT_TRUE(AllSentNotificationsArrived());
    QStringList summaries;
    for (const NotificationStandIn::Call& call : Notified()) summaries << call.summary;
    EXPECT_EQ(summaries, (QStringList{u"Nuovo annuncio su Bacheca Uno"_s,
                                      u"Nuovo annuncio su Bacheca Due"_s}));
}

}  // namespace
}  // namespace quintavia::e2e
