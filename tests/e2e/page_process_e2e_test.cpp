#include <gtest/gtest.h>
#include <signal.h>

#include <QPushButton>
#include <QWebEnginePage>

#include "core/layout/panes.h"
#include "scripted_sites.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// Pane 1's page process is killed; the other panes have processes of their own.
class PageProcess : public ScriptedSitesTest {
  protected:
    void Start() {
        ScriptedSitesTest::Start();
        ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
        for (int i = 0; i < kPaneCount; ++i) pids[i] = window->pane(i)->page()->renderProcessPid();
        for (int i = 0; i < kPaneCount; ++i) {
            ASSERT_GT(pids[i], 0) << i;
            if (i != 1) {
                ASSERT_NE(pids[i], pids[1]) << "pane " << i << " shares pane 1's process";
            }
        }
    }

    void KillPane1Process() {
        QObject listener;
        bool terminated = false;
        QObject::connect(window->pane(1)->page(), &QWebEnginePage::renderProcessTerminated,
                         &listener, [&terminated] { terminated = true; });
        ASSERT_EQ(::kill(static_cast<pid_t>(pids[1]), SIGKILL), 0);
        ASSERT_TRUE(WaitFor([&] { return terminated; }));
    }

    std::array<qint64, kPaneCount> pids{};
};

TEST_F(PageProcess, AKilledPageProcessComesBackAtTheNextRefreshAndTheOthersNeverNotice) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(LogEntries(*window).size(), 4);
    ASSERT_NO_FATAL_FAILURE(KillPane1Process());

    // The lost page is no document: it has no offsets to save.
    EXPECT_FALSE(window->pane(1)->webPage()->hasDocument());
    EXPECT_FALSE(window->pane(1)->scrollOffsets());

    // The others load and log on their own meanwhile, in the same processes.
    for (QString& title : sites.titles) title += u" - nuovo"_s;
    for (int i : {0, 2, 3}) window->pane(i)->reload();
    ASSERT_TRUE(WaitFor([&] {
        return captures->count(0) >= 2 && captures->count(2) >= 2 && captures->count(3) >= 2;
    }));
    for (int i : {0, 2, 3}) EXPECT_EQ(window->pane(i)->page()->renderProcessPid(), pids[i]) << i;
    EXPECT_EQ(captures->count(1), 1);
    QStringList added = LogEntries(*window).mid(4);
    added.sort();
    EXPECT_EQ(added, (QStringList{u"Infojobs : AUTISTA PATENTE C - NUOVO"_s,
                                  u"Jobonline: CUOCO CAPO PARTITA - NUOVO"_s,
                                  u"MioJob   : MAGAZZINIERE - NUOVO"_s}));

    // The countdown's refresh gives the pane a new process and its listing is read again.
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->count(1) >= 2; }));
    EXPECT_NE(window->pane(1)->page()->renderProcessPid(), 0);
    EXPECT_TRUE(window->pane(1)->webPage()->hasDocument());
    EXPECT_EQ(LogEntries(*window).mid(7), QStringList{u"Jobrapido: CAMERIERE DI SALA - NUOVO"_s});
}

// Taller than any pane.
fixtures::Handler TallPages() {
    return [](const fixtures::Request&) {
        return fixtures::Response{
            .body =
                "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head>"
                "<body><div style=\"height:6000px\">annunci</div></body></html>\n"};
    };
}

bool ScrollTo(QWebEnginePage* page, int top) {
    page->runJavaScript(u"window.scrollTo(0, %1)"_s.arg(top));
    return WaitFor([&] { return page->scrollPosition().y() == top; });
}

TEST_F(PageProcess, SavingPositionsKeepsTheOffsetsOfAPaneWhoseProcessWasKilled) {
    Harness::instance().server().setHandler(TallPages());
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(ScrollTo(window->pane(0)->page(), 200));
    ASSERT_TRUE(ScrollTo(window->pane(1)->page(), 300));
    auto* save = window->findChild<QPushButton*>("saveScrollButton");
    save->click();
    const auto stored = [](int site) {
        return Harness::instance().stored(u"Scroll"_s, QString::number(site));
    };
    ASSERT_EQ(stored(0), u"200"_s);
    ASSERT_EQ(stored(1), u"300"_s);

    ASSERT_NO_FATAL_FAILURE(KillPane1Process());
    ASSERT_TRUE(ScrollTo(window->pane(0)->page(), 400));
    save->click();
    EXPECT_EQ(stored(0), u"400"_s);
    EXPECT_EQ(stored(1), u"300"_s);
}

}  // namespace
}  // namespace quintavia::e2e
