#include <gtest/gtest.h>
#include <signal.h>

#include <QPushButton>
#include <QWebEnginePage>

#include "scripted_sites.h"
#include "settings/ini_file_store.h"
#include "settings/settings_keys.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// Pane 1's page process is killed; the other panes have processes of their own.
class PageProcess : public ScriptedSitesTest {
  protected:
    void Start() {
        ScriptedSitesTest::Start();
        ASSERT_TRUE(WaitUntil([&] { return downloads->eachAtLeast(1); }));
        for (int i = 0; i < kSiteCount; ++i) pids[i] = form->pane(i)->page()->renderProcessPid();
        for (int i = 0; i < kSiteCount; ++i) {
            ASSERT_GT(pids[i], 0) << i;
            if (i != 1) {
                ASSERT_NE(pids[i], pids[1]) << "pane " << i << " shares pane 1's process";
            }
        }
    }

    void KillPane1Process() {
        QObject listener;
        bool terminated = false;
        QObject::connect(form->pane(1)->page(), &QWebEnginePage::renderProcessTerminated, &listener,
                         [&terminated] { terminated = true; });
        ASSERT_EQ(::kill(static_cast<pid_t>(pids[1]), SIGKILL), 0);
        ASSERT_TRUE(WaitUntil([&] { return terminated; }));
    }

    std::array<qint64, kSiteCount> pids{};
};

TEST_F(PageProcess, AKilledPageProcessComesBackAtTheNextRefreshAndTheOthersNeverNotice) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(LogEntries(*form).size(), 4);
    ASSERT_NO_FATAL_FAILURE(KillPane1Process());

    // The lost page is no document: a completion heard now would end at once.
    EXPECT_EQ(form->pane(1)->document(), nullptr);
    EXPECT_FALSE(form->logic().onDownloadComplete(1));

    // The others load and log on their own meanwhile, in the same processes.
    for (QString& title : sites.titles) title += u" - nuovo"_s;
    for (int i : {0, 2, 3}) form->pane(i)->reload();
    ASSERT_TRUE(WaitUntil([&] {
        return downloads->count(0) >= 2 && downloads->count(2) >= 2 && downloads->count(3) >= 2;
    }));
    for (int i : {0, 2, 3}) EXPECT_EQ(form->pane(i)->page()->renderProcessPid(), pids[i]) << i;
    EXPECT_EQ(downloads->count(1), 1);
    QStringList added = LogEntries(*form).mid(4);
    added.sort();
    EXPECT_EQ(added, (QStringList{u"Infojobs : AUTISTA PATENTE C - NUOVO"_s,
                                  u"Jobonline: CUOCO CAPO PARTITA - NUOVO"_s,
                                  u"MioJob   : MAGAZZINIERE - NUOVO"_s}));

    // The countdown's refresh gives the pane a new process and its listing is read again.
    RunCountdownOut(*form);
    ASSERT_TRUE(WaitUntil([&] { return downloads->count(1) >= 2; }));
    EXPECT_NE(form->pane(1)->page()->renderProcessPid(), 0);
    EXPECT_NE(form->pane(1)->document(), nullptr);
    EXPECT_EQ(LogEntries(*form).mid(7), QStringList{u"Jobrapido: CAMERIERE DI SALA - NUOVO"_s});
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
    return WaitUntil([&] { return page->scrollPosition().y() == top; });
}

TEST_F(PageProcess, SavingPositionsKeepsTheOffsetsOfAPaneWhoseProcessWasKilled) {
    Bench::instance().server().setHandler(TallPages());
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(ScrollTo(form->pane(0)->page(), 200));
    ASSERT_TRUE(ScrollTo(form->pane(1)->page(), 300));
    auto* save = form->findChild<QPushButton*>("Command2");
    save->click();
    IniFileStore store(Bench::instance().configDir());
    const auto stored = [&](int site) {
        return store.GetSetting(kAppName, kSectionScrollTop, QString::number(site), u"<none>"_s);
    };
    ASSERT_EQ(stored(0), u"200"_s);
    ASSERT_EQ(stored(1), u"300"_s);

    ASSERT_NO_FATAL_FAILURE(KillPane1Process());
    ASSERT_TRUE(ScrollTo(form->pane(0)->page(), 400));
    save->click();
    EXPECT_EQ(stored(0), u"400"_s);
    EXPECT_EQ(stored(1), u"300"_s);
}

}  // namespace
}  // namespace quintavia::e2e
