// One run of the window for each settings folder: a second start shows the first one's window
// and ends, searching nothing.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "harness.h"
#include "program_run.h"
#include "scripted_sites.h"
#include "shell/app/single_instance.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// What any run prints as root: the warning that the engine has no sandbox there.
bool OnlyTheRootWarning(const QString& output) {
    const QStringList lines = output.split(u'\n', Qt::SkipEmptyParts);
    if (::geteuid() != 0) return lines.isEmpty();
    return lines.size() <= 1 &&
           (lines.isEmpty() || lines[0].startsWith(u"Quintavia: attenzione: avviato come root"_s));
}

using OneRun = ScriptedSitesTest;

TEST_F(OneRun, ASecondStartBringsTheRunningWindowToTheFrontAndEnds) {
    const QString folder = QFileInfo(Harness::instance().settingsPath()).absolutePath();
    const std::unique_ptr<SingleInstance> instance = SingleInstance::claim(folder);
    ASSERT_NE(instance, nullptr);
    Start();
    QObject::connect(instance.get(), &SingleInstance::showAsked, window.get(),
                     &MainWindow::bringBack);
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    window->hide();

    ProgramRun second(Harness::instance().configDir());
    ASSERT_TRUE(second.start());
    ASSERT_TRUE(second.waitForExit(20000));
    EXPECT_TRUE(second.exitedNormally());
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(OnlyTheRootWarning(second.standardError())) << second.standardError().toStdString();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(Harness::instance().siteRequestLines(), QList<QByteArray>{});
    EXPECT_EQ(captures->count(0), 1);
}

// The program itself, twice over the same settings; another folder is another run.
TEST_F(OneRun, TheProgramStartedTwiceRunsOnce) {
    QTemporaryDir config;
    QTemporaryDir data;
    ProgramRun first(config.path(), data.path());
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(first.waitForTheFirstPages());
    ProgramRun second(config.path(), data.path());
    ASSERT_TRUE(second.start());
    ASSERT_TRUE(second.waitForExit(20000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(Harness::instance().siteRequestLines(), QList<QByteArray>{});
    EXPECT_NE(first.processId(), 0);
    first.sendSignal(SIGTERM);
    ASSERT_TRUE(first.waitForExit());
    EXPECT_EQ(first.exitCode(), 0);
}

}  // namespace
}  // namespace quintavia::e2e
