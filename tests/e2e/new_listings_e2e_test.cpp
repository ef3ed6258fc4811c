#include <gtest/gtest.h>
#include <signal.h>

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "browser_stand_in.h"
#include "core/layout/panes.h"
#include "counting_beep.h"
#include "program_run.h"
#include "shell/window/found_listings_window.h"
#include "shell/window/region_box.h"
#include "shell/window/settings_dialog.h"
#include "sites_file_sites.h"

using namespace Qt::StringLiterals;

namespace quintavia::e2e {
namespace {

// The two boards in panes 2 and 3.
constexpr int kFirstBoardPane = 2;

class NewListingsE2e : public TwoBoardsTest {
  protected:
    void SetUp() override {
        TwoBoardsTest::SetUp();
        SettingsEntries panes;
        ASSERT_TRUE(WriteBoards(kFirstBoardPane, panes));
        ASSERT_TRUE(Harness::instance().store().write(panes));
        for (const QString& scheme : {u"http"_s, u"https"_s})
            QDesktopServices::setUrlHandler(scheme, &browser, "open");
    }
    void TearDown() override {
        for (const QString& scheme : {u"http"_s, u"https"_s})
            QDesktopServices::unsetUrlHandler(scheme);
        TwoBoardsTest::TearDown();
    }

    // Every pane has read the page of a refresh begun now.
    [[nodiscard]] bool Refreshed(const std::function<void()>& refresh) {
        std::array<int, kPaneCount> before{};
        for (int i = 0; i < kPaneCount; ++i)
            before[static_cast<std::size_t>(i)] = captures->count(i);
        refresh();
        return WaitFor([&] {
            for (int i = 0; i < kPaneCount; ++i)
                if (captures->count(i) <= before[static_cast<std::size_t>(i)]) return false;
            return true;
        });
    }
    [[nodiscard]] bool Refreshed() {
        return Refreshed([this] { RunCountdownOut(*window); });
    }

    BrowserStandIn browser;
};

// A load that adds three listings at once: three lines of the history, each with its own link,
// and one notification naming them, whose click opens the first listing in the browser.
TEST_F(NewListingsE2e, ThreeAtOnceAreThreeLinesAndOneNotificationThatOpensTheFirst) {
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    const QString first = Add(0, u"Aiuto cuoco, Latina"_s);
    const QString second = Add(0, u"Barista, Rieti"_s);
    const QString third = Add(0, u"Cameriere di sala, Roma"_s);
    ASSERT_TRUE(Refreshed());

    const QList<QStringList> history = History();
    ASSERT_EQ(history.size(), 3);
    const QStringList titles = {u"Cameriere di sala, Roma"_s, u"Barista, Rieti"_s,
                                u"Aiuto cuoco, Latina"_s};
    const QStringList links = {third, second, first};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(history[k].mid(1, 5),
                  (QStringList{kBoards[0].name, titles[k], links[k], {}, {}}));
    }
    ASSERT_TRUE(AllSentNotificationsArrived());
    ASSERT_EQ(Notified().size(), 1);
    EXPECT_EQ(Notified()[0].summary, u"3 nuovi annunci su Bacheca Uno"_s);
    EXPECT_EQ(Notified()[0].body, titles.join(u'\n'));

    standIn->invokeAction(Notified()[0].id, u"default"_s);
    ASSERT_TRUE(WaitFor([&] { return !browser.opened.isEmpty(); }));
    EXPECT_EQ(browser.opened, QList<QUrl>{QUrl(third)});
}

// Neither the first load of a site nor the first after another region is news: the log box
// gains its entries, and nothing is notified or written until a listing comes on that search.
TEST_F(NewListingsE2e, TheFirstLoadAndTheFirstAfterANewRegionNotifyNothing) {
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    EXPECT_EQ(LogEntries(*window).size(), kPaneCount);

    Add(0, u"Magazziniere, Padova"_s);
    auto* region = window->findChild<RegionBox*>(u"regionBox"_s);
    auto* refresh = window->findChild<QPushButton*>(u"refreshButton"_s);
    ASSERT_TRUE(region && refresh);
    region->setEditText(u"Veneto"_s);
    ASSERT_TRUE(Refreshed([&] { refresh->click(); }));
    EXPECT_EQ(captures->last(kFirstBoardPane).url.query(), u"r=veneto"_s);
    EXPECT_TRUE(LogEntries(*window).contains(u"Bacheca Uno: Magazziniere, Padova"_s));
    ASSERT_TRUE(AllSentNotificationsArrived());
    EXPECT_TRUE(Notified().isEmpty());
    EXPECT_TRUE(History().isEmpty());

    Add(1, u"Commessa, Verona"_s);
    ASSERT_TRUE(Refreshed());
    ASSERT_TRUE(AllSentNotificationsArrived());
    ASSERT_EQ(Notified().size(), 1);
    EXPECT_EQ(Notified()[0].summary, u"Nuovo annuncio su Bacheca Due"_s);
    EXPECT_EQ(History().size(), 1);
}

// What a run saw, a killed run included, is never news again: the run after it announces only
// what came since.
TEST_F(NewListingsE2e, ARestartAndAKilledRunAnnounceNothingSeen) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    ASSERT_TRUE(QFileInfo::exists(ListingMemoryFile::UserPath()));
    window->close();
    captures.reset();
    window.reset();

    // The program itself, in a home of its own that holds what this run left, finds one new
    // listing and is killed as soon as the history has it.
    const QString link = Add(0, u"Operaio, Frosinone"_s);
    QTemporaryDir programHome;
    const QString programData = programHome.path() + u"/data/Quintavia/"_s;
    ASSERT_TRUE(QDir().mkpath(programData));
    const QString memory = ListingMemoryFile::UserPath();
    ASSERT_TRUE(QFile::copy(memory, programData + QFileInfo(memory).fileName()));
    ProgramRun run(Harness::instance().configDir(), programHome.path());
    ASSERT_TRUE(run.start());
    const auto programHistory = [&] {
        QFile file(programData + u"cronologia.csv"_s);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    ASSERT_TRUE(WaitFor([&] { return programHistory().contains(link); }, 60000))
        << run.standardError().toStdString();
    run.sendSignal(SIGKILL);
    ASSERT_TRUE(run.waitForExit());
    QFile::remove(memory);
    ASSERT_TRUE(QFile::copy(programData + QFileInfo(memory).fileName(), memory));
    QFile::remove(historyPath);
    ASSERT_TRUE(QFile::copy(programData + u"cronologia.csv"_s, historyPath));

    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    ASSERT_TRUE(AllSentNotificationsArrived());
    EXPECT_TRUE(Notified().isEmpty());
    ASSERT_EQ(History().size(), 1);
    EXPECT_EQ(History()[0][3], link);
    // And what comes next is news.
    Add(0, u"Operaia, Anagni"_s);
    ASSERT_TRUE(Refreshed());
    EXPECT_EQ(History().size(), 2);
}

// A word to exclude, chosen in "Impostazioni", silences what the same run announced before it:
// the listing is written to the history all the same, marked.
TEST_F(NewListingsE2e, AnExcludedWordSilencesAListingAndTheHistoryKeepsItMarked) {
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    Add(0, u"Stage in cucina, Roma"_s);
    ASSERT_TRUE(Refreshed());
    ASSERT_TRUE(AllSentNotificationsArrived());
    ASSERT_EQ(Notified().size(), 1);

    window->openSettings();
    SettingsDialog* dialog = window->settingsDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>(u"excludeWords"_s)->setText(u"tirocinio, STAGE"_s);
    dialog->findChild<QPushButton*>(u"okButton"_s)->click();
    EXPECT_EQ(Harness::instance().stored(u"Filtri"_s, u"escludi"_s), u"tirocinio, STAGE"_s);

    Add(1, u"Stage di cucina, Latina"_s);
    Add(1, u"Cuoco, Latina"_s);
    ASSERT_TRUE(Refreshed());
    const QList<QStringList> history = History();
    ASSERT_EQ(history.size(), 3);
    EXPECT_EQ(history[1][2], u"Cuoco, Latina"_s);
    EXPECT_EQ(history[1][4], u""_s);
    EXPECT_EQ(history[2][2], u"Stage di cucina, Latina"_s);
    EXPECT_EQ(history[2][4], u"sì"_s);
    ASSERT_TRUE(AllSentNotificationsArrived());
    ASSERT_EQ(Notified().size(), 2);
    EXPECT_EQ(Notified()[1].summary, u"Nuovo annuncio su Bacheca Due"_s);
    EXPECT_EQ(Notified()[1].body, u"Cuoco, Latina"_s);
}

// A listing the words leave out is kept out of everything that tells of news: the log box, the
// alert sound and the notifications; the next one they let through is the newest shown.
TEST_F(NewListingsE2e, AnExcludedWordKeepsAListingOutOfTheLogBoxTheSoundAndTheNotifications) {
    support::CountingBeep beep;
    StandIn();
    window = StartWindow(&beep);
    captures = std::make_unique<Captures>(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    window->openSettings();
    SettingsDialog* dialog = window->settingsDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>(u"excludeWords"_s)->setText(u"notturno"_s);
    dialog->findChild<QPushButton*>(u"okButton"_s)->click();
    window->controller().setSoundAlert(TriState::Ticked);
    const QString label = kBoards[1].name;

    // The excluded one on top: the one under it is the newest news.
    Add(1, u"Magazziniere settore farmaceutico"_s);
    Add(1, u"Magazziniere turno notturno"_s);
    const int beepsBefore = beep.beeps;
    ASSERT_TRUE(Refreshed());
    EXPECT_EQ(LogEntries(*window).last(), label + u": Magazziniere settore farmaceutico"_s);
    EXPECT_EQ(beep.beeps, beepsBefore + 1);  // no sound file of its own: the alert

    // Only an excluded one new: nothing logged, sounded or notified.
    const qsizetype entries = LogEntries(*window).size();
    Add(1, u"Autista notturno"_s);
    ASSERT_TRUE(Refreshed());
    EXPECT_EQ(LogEntries(*window).size(), entries);
    EXPECT_EQ(beep.beeps, beepsBefore + 1);
    ASSERT_TRUE(AllSentNotificationsArrived());
    for (const NotificationStandIn::Call& call : Notified())
        EXPECT_FALSE(call.body.contains(u"notturno"_s)) << call.body.toStdString();
    ASSERT_FALSE(Notified().isEmpty());
    EXPECT_EQ(Notified().last().body, u"Magazziniere settore farmaceutico"_s);
}

// The same job on two boards is announced once; the history has it on both, the second naming
// the first.
TEST_F(NewListingsE2e, TheSameTitleOnTwoBoardsIsAnnouncedOnce) {
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    Add(0, u"Cuoco capo partita"_s);
    Add(1, u"CUOCO – Capo Partita!"_s);
    ASSERT_TRUE(Refreshed());
    ASSERT_TRUE(AllSentNotificationsArrived());
    ASSERT_EQ(Notified().size(), 1);
    const QList<QStringList> history = History();
    ASSERT_EQ(history.size(), 2);
    const QString announcedBy =
        Notified()[0].summary.endsWith(kBoards[0].name) ? kBoards[0].name : kBoards[1].name;
    const QStringList& other = history[0][1] == announcedBy ? history[1] : history[0];
    EXPECT_NE(other[1], announcedBy);
    EXPECT_EQ(other[5], announcedBy);

    // The list, from the tray, shows both: the one announced waits to be opened.
    auto* found = window->findChild<QAction*>(u"foundAction"_s);
    ASSERT_NE(found, nullptr);
    found->trigger();
    ASSERT_NE(window->foundWindow(), nullptr);
    EXPECT_EQ(window->foundWindow()->windowTitle(), u"Annunci trovati (1 da aprire)"_s);
    QAbstractItemModel* rows = window->foundWindow()->listView()->model();
    ASSERT_EQ(rows->rowCount(), 2);
    QStringList notes = {rows->index(0, 3).data().toString(), rows->index(1, 3).data().toString()};
    notes.sort();
    EXPECT_EQ(notes, (QStringList{{}, u"anche su "_s + announcedBy}));
}

// A title that a spreadsheet would run is written defused, shown as it was in "Annunci
// trovati" (opened by a double-click on the log box), and opened from there with Enter.
TEST_F(NewListingsE2e, AFormulaTitleIsDefusedInTheHistoryAndTheListOpensItWithEnter) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    const QString title = u"=HYPERLINK(\"http://x.example\";\"Cuoco\")"_s;
    const QString link = Add(0, title);
    ASSERT_TRUE(Refreshed());
    QFile file(historyPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\"'=HYPERLINK(\"\"http://x.example\"\";"));
    EXPECT_EQ(History()[0][2], u"'"_s + title);

    // A double-click on the log box shows the list.
    auto* logBox = window->findChild<QComboBox*>(u"logBox"_s);
    ASSERT_NE(logBox, nullptr);
    QTest::mouseDClick(logBox->lineEdit(), Qt::LeftButton);
    FoundListingsWindow* list = window->foundWindow();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(list));
    EXPECT_EQ(list->windowTitle(), u"Annunci trovati (1 da aprire)"_s);
    QAbstractItemView* rows = list->listView();
    ASSERT_EQ(rows->model()->rowCount(), 1);
    EXPECT_EQ(rows->model()->index(0, 2).data().toString(), title);
    rows->setFocus();
    rows->setCurrentIndex(rows->model()->index(0, 0));
    QTest::keyClick(rows, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return !browser.opened.isEmpty(); }));
    EXPECT_EQ(browser.opened, QList<QUrl>{QUrl(link)});
    EXPECT_EQ(list->windowTitle(), u"Annunci trovati"_s);
}

// What waits to be opened waits in the next run as well, until it is opened or all are marked
// as opened; the list is read by the title, which says so to a screen reader.
TEST_F(NewListingsE2e, WhatWaitsToBeOpenedStillWaitsAfterARestart) {
    const auto showList = [&] {
        window->showFound();
        FoundListingsWindow* list = window->foundWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(list));
        return list;
    };
    const auto restart = [&] {
        window->close();
        captures.reset();
        window.reset();
        Start();
        return WaitFor([&] { return captures->eachAtLeast(1); });
    };
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    const QString opened = Add(0, u"Operaio, Frosinone"_s);
    const QString waiting = Add(1, u"Cuoco, Latina"_s);
    ASSERT_TRUE(Refreshed());
    FoundListingsWindow* list = showList();
    EXPECT_EQ(list->windowTitle(), u"Annunci trovati (2 da aprire)"_s);
    QAbstractItemView* rows = list->listView();
    for (int row = 0; row < rows->model()->rowCount(); ++row) {
        if (rows->model()->index(row, 2).data(Qt::ToolTipRole).toString().contains(opened)) {
            rows->setCurrentIndex(rows->model()->index(row, 2));
            QTest::keyClick(rows, Qt::Key_Return);
        }
    }
    ASSERT_TRUE(WaitFor([&] { return browser.opened == QList<QUrl>{QUrl(opened)}; }));
    EXPECT_EQ(list->windowTitle(), u"Annunci trovati (1 da aprire)"_s);

    ASSERT_TRUE(restart());
    list = showList();
    EXPECT_EQ(list->windowTitle(), u"Annunci trovati (1 da aprire)"_s);
    rows = list->listView();
    ASSERT_EQ(rows->model()->rowCount(), 2);
    // Each title shows whole on hover, with its link.
    for (int row = 0; row < 2; ++row) {
        const QModelIndex title = rows->model()->index(row, 2);
        const bool waits = title.data(Qt::ToolTipRole).toString().contains(waiting);
        EXPECT_EQ(title.data(Qt::FontRole).value<QFont>().bold(), waits) << row;
        EXPECT_EQ(title.data(Qt::AccessibleTextRole).toString().endsWith(u", non ancora aperto"_s),
                  waits)
            << row;
        EXPECT_TRUE(title.data(Qt::ToolTipRole).toString().contains(title.data().toString()))
            << row;
    }

    QTest::mouseClick(list->openAllButton(), Qt::LeftButton);
    EXPECT_EQ(list->windowTitle(), u"Annunci trovati"_s);
    EXPECT_FALSE(list->openAllButton()->isEnabled());
    ASSERT_TRUE(restart());
    EXPECT_EQ(showList()->windowTitle(), u"Annunci trovati"_s);
}

}  // namespace
}  // namespace quintavia::e2e
