#include <gtest/gtest.h>
#include <signal.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/layout/panes.h"
#include "harness.h"
#include "listing_pages.h"
#include "program_run.h"
#include "shell/window/tri_state_check_box.h"
#include "tmpfs_mount.h"

namespace quintavia::e2e {
namespace {

const std::array<QString, kPaneCount> kTitles{"Magazziniere - annuncio 4", "Cuoco capo partita",
                                              "Sviluppatore software", "Autista patente C"};

fixtures::Handler Listings(std::array<QString, kPaneCount> titles) {
    return [titles](const fixtures::Request& request) {
        const int site = fixtures::SiteForHost(request.host);
        if (site < 0) return fixtures::Response{.status = 404};
        return fixtures::Response{
            .body = fixtures::ListingPage(site, titles[static_cast<std::size_t>(site)])};
    };
}

class Restart : public ::testing::Test {
  protected:
    void SetUp() override { Harness::instance().reset(); }
    void TearDown() override { Harness::instance().reset(); }

    static QString stored(const QString& configHome, const QString& section, const QString& key) {
        return support::Stored(support::SettingsPathIn(configHome), section, key);
    }
    static bool seed(const QString& configHome, const SettingsEntries& entries) {
        return support::Seed(support::SettingsPathIn(configHome), entries);
    }
};

// A settings file that stopped being text while the program ran is moved aside whole by the
// next write, and the program says so on standard error.
TEST_F(Restart, AFileMovedAsideByAWriteIsReported) {
    Harness& harness = Harness::instance();
    const QString config = harness.configDir();
    const QString path = support::SettingsPathIn(config);
    ASSERT_TRUE(seed(config, {{"Posizione", "1", "Lazio"}}));
    harness.server().setHandler(Listings(kTitles));
    ProgramRun run(config);
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(run.waitForTheFirstPages());
    ASSERT_TRUE(WaitFor([&] { return support::HoldsTitles(config, kTitles); }, 30000));

    const QByteArray garbage("[Posizione]\n1=\xFF\xFE\x00\x01", 18);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(garbage), garbage.size());
    }
    run.sendSignal(SIGTERM);
    ASSERT_TRUE(run.waitForExit());
    EXPECT_EQ(run.exitCode(), 0);
    const QString said = run.standardError();
    EXPECT_TRUE(said.contains(path + " non si legge come impostazioni")) << said.toStdString();
    EXPECT_TRUE(said.contains(path + ".bad")) << said.toStdString();
    QFile aside(path + ".bad");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), garbage);
    EXPECT_EQ(stored(config, "Posizione", "1"), "Lazio");  // the run's own values, written anew
    aside.remove();  // the tests of one process share the harness's folder
}

TEST_F(Restart, TwoRunsInARowLogOnlyWhatIsNew) {
    Harness& harness = Harness::instance();
    const QString config = harness.configDir();
    ASSERT_TRUE(seed(config, {{"Posizione", "1", "Lazio"}, {"Posizione", "2", "1"}}));
    harness.server().setHandler(Listings(kTitles));

    // First run: the pages load, their titles are seen and stored, and SIGTERM closes the
    // window.
    {
        ProgramRun first(config);
        ASSERT_TRUE(first.start());
        ASSERT_TRUE(first.waitForTheFirstPages());
        ASSERT_TRUE(WaitFor([&] { return support::HoldsTitles(config, kTitles); }, 30000));
        first.sendSignal(SIGTERM);
        ASSERT_TRUE(first.waitForExit());
        EXPECT_TRUE(first.exitedNormally());
        EXPECT_EQ(first.exitCode(), 0) << first.standardError().toStdString();
    }
    EXPECT_EQ(stored(config, "Posizione", "0"), "0");
    EXPECT_EQ(stored(config, "Posizione", "1"), "Lazio");
    EXPECT_EQ(stored(config, "Posizione", "2"), "1");
    EXPECT_TRUE(support::HoldsTitles(config, kTitles));

    // Second run, in this process so its log can be read: the same pages, but Jobonline has a
    // new listing. Only that one is logged.
    std::array<QString, kPaneCount> titles = kTitles;
    titles[2] = "Nuovo annuncio";
    harness.server().setHandler(Listings(titles));
    harness.server().clearRequests();
    auto second = StartWindow();
    Captures captures(*second);
    ASSERT_TRUE(WaitFor([&] { return captures.eachAtLeast(1); }));
    EXPECT_EQ(second->findChild<QComboBox*>("regionBox")->currentText(), "Lazio");
    EXPECT_EQ(second->findChild<TriStateCheckBox*>("soundAlertOption")->value(), TriState::Ticked);
    EXPECT_EQ(LogEntries(*second), QStringList{"Jobonline: NUOVO ANNUNCIO"});
    second->close();
    EXPECT_EQ(stored(config, "Settaggio", "2"), "NUOVO ANNUNCIO");
    EXPECT_EQ(stored(config, "Settaggio", "1"), "CUOCO CAPO PARTITA");
}

// Each signal that asks the program to quit closes the window through its normal path, which
// stores the settings: from the moment the program handles the signal, before its window has
// started up, as well as once it runs.
TEST_F(Restart, AQuitSignalClosesTheWindowThroughTheNormalPath) {
    enum class When { DuringStartUp, OnceThePagesAreAsked };
    const struct {
        const char* what;
        int signal;
        When when;
    } cases[] = {
        {"SIGINT", SIGINT, When::OnceThePagesAreAsked},
        {"SIGHUP", SIGHUP, When::OnceThePagesAreAsked},
        {"SIGTERM during start-up", SIGTERM, When::DuringStartUp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir config;
        ProgramRun run(config.path());
        ASSERT_TRUE(run.start());
        if (c.when == When::DuringStartUp)
            ASSERT_TRUE(WaitFor([&] { return run.handles(c.signal); }, 30000));
        else
            ASSERT_TRUE(run.waitForTheFirstPages());
        run.sendSignal(c.signal);
        ASSERT_TRUE(run.waitForExit());
        EXPECT_TRUE(run.exitedNormally());
        EXPECT_EQ(run.exitCode(), 0) << run.standardError().toStdString();
        EXPECT_EQ(stored(config.path(), "Posizione", "1"), "Abruzzo");
    }
}

// A run that is killed loses nothing it had seen: the titles it logged reach the file within
// a few seconds, and the next run does not announce them again. What is stored only when the
// window closes (the region, the options) stays as the last complete run left it.
TEST_F(Restart, AKilledRunKeepsTheTitlesItHadSeen) {
    Harness& harness = Harness::instance();
    const QString config = harness.configDir();
    SettingsEntries before;
    for (int i = 0; i < kPaneCount; ++i) before += {"Settaggio", QString::number(i), "VISTO PRIMA"};
    before += {{"Posizione", "0", "1"},
               {"Posizione", "1", "Valle d'Aosta"},
               {"Posizione", "2", "2"},
               {"Scroll", "0", "120"}};
    ASSERT_TRUE(seed(config, before));
    harness.server().setHandler(Listings(kTitles));

    ProgramRun run(config);
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(WaitFor([&] { return support::HoldsTitles(config, kTitles); }, 30000));
    run.sendSignal(SIGKILL);
    ASSERT_TRUE(run.waitForExit());
    EXPECT_FALSE(run.exitedNormally());

    EXPECT_TRUE(support::HoldsTitles(config, kTitles));
    EXPECT_EQ(stored(config, "Posizione", "0"), "1");
    EXPECT_EQ(stored(config, "Posizione", "1"), "Valle d'Aosta");
    EXPECT_EQ(stored(config, "Posizione", "2"), "2");
    EXPECT_EQ(stored(config, "Scroll", "0"), "120");
    // No half-written file is left behind; a run killed as it held the lock leaves that, for
    // the next writer to take over.
    QStringList files = QDir(config + "/Quintavia").entryList(QDir::Files);
    files.removeAll("Quintavia.ini.lock");
    EXPECT_EQ(files, QStringList{"Quintavia.ini"});

    auto next = StartWindow();
    Captures captures(*next);
    ASSERT_TRUE(WaitFor([&] { return captures.eachAtLeast(1); }));
    EXPECT_EQ(LogEntries(*next), QStringList{});
}

// A shutdown write that fails is reported with the file and the reason, the program exits
// with a failure status, and the file written before stays whole.
class FailedShutdown : public Restart {
  protected:
    void expectReportedFailure(const QString& configHome, const QString& reason) {
        ProgramRun run(configHome);
        ASSERT_TRUE(run.start());
        ASSERT_TRUE(run.waitForTheFirstPages());
        run.sendSignal(SIGTERM);
        ASSERT_TRUE(run.waitForExit());
        EXPECT_TRUE(run.exitedNormally());
        EXPECT_EQ(run.exitCode(), 1);
        const QString error = run.standardError();
        EXPECT_TRUE(
            error.contains("Quintavia: le impostazioni non sono state salvate: impossibile ") &&
            error.contains(configHome + "/Quintavia") && error.contains(reason))
            << error.toStdString();
    }
};

TEST_F(FailedShutdown, TheConfigurationFolderCannotBeMade) {
    // Even root cannot make a folder under a regular file.
    QTemporaryDir dir;
    QFile blocker(dir.path() + "/config");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    expectReportedFailure(dir.path() + "/config", "non è una cartella");
}

class FailedShutdownOnASmallDisk : public FailedShutdown {
  protected:
    void SetUp() override {
        FailedShutdown::SetUp();
        QString why;
        disk = fixtures::TmpfsMount::mount(dir.path(), 64 * 1024, &why);
        if (!disk) GTEST_SKIP() << why.toStdString();
        ASSERT_TRUE(seed(dir.path(),
                         {{"Settaggio", "0", "TITOLO PRECEDENTE"}, {"Posizione", "1", "Lazio"}}));
        before = contents();
    }
    QByteArray contents() const {
        QFile file(dir.path() + "/Quintavia/Quintavia.ini");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    QTemporaryDir dir;
    std::unique_ptr<fixtures::TmpfsMount> disk;
    QByteArray before;
};

TEST_F(FailedShutdownOnASmallDisk, Full) {
    ASSERT_TRUE(disk->fill("filler"));
    // In the system's words, told in Italian.
    expectReportedFailure(dir.path(), "spazio esaurito sul dispositivo");
    EXPECT_EQ(contents(), before);
}

TEST_F(FailedShutdownOnASmallDisk, ReadOnly) {
    ASSERT_TRUE(disk->makeReadOnly());
    expectReportedFailure(dir.path(), "file system in sola lettura");
    EXPECT_EQ(contents(), before);
}

}  // namespace
}  // namespace quintavia::e2e
