#include <gtest/gtest.h>
#include <signal.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "bench.h"
#include "downloads.h"
#include "fakes.h"
#include "listing_pages.h"
#include "program_run.h"
#include "settings/ini_file_store.h"
#include "tmpfs_mount.h"

namespace quintavia::e2e {
namespace {

const std::array<QString, kSiteCount> kTitles{"Magazziniere - annuncio 4", "Cuoco capo partita",
                                              "Sviluppatore software", "Autista patente C"};

fixtures::Handler Listings(std::array<QString, kSiteCount> titles) {
    return [titles](const fixtures::Request& request) {
        const int site = fixtures::SiteForHost(request.host);
        if (site < 0) return fixtures::Response{.status = 404};
        return fixtures::Response{
            .body = fixtures::ListingPage(site, titles[static_cast<std::size_t>(site)])};
    };
}

class Restart : public ::testing::Test {
  protected:
    void SetUp() override {
        Bench::instance().reset();
        QDir(Bench::instance().configDir() + "/Quintavia").removeRecursively();
    }
    void TearDown() override {
        QDir(Bench::instance().configDir() + "/Quintavia").removeRecursively();
    }

    static QString stored(const QString& configHome, const QString& section, const QString& key) {
        return IniFileStore(configHome).GetSetting(kAppName, section, key, "<absent>");
    }
};

TEST_F(Restart, TwoRunsInARowLogOnlyWhatIsNew) {
    Bench& bench = Bench::instance();
    const QString config = bench.configDir();
    IniFileStore seed(config);
    ASSERT_TRUE(seed.SaveSetting(kAppName, "Posizione", "1", "Lazio"));
    ASSERT_TRUE(seed.SaveSetting(kAppName, "Posizione", "2", "1"));
    bench.server().setHandler(Listings(kTitles));

    // First run: the pages load, their titles are seen, and SIGTERM closes the window.
    {
        ProgramRun first(config);
        ASSERT_TRUE(first.start());
        ASSERT_TRUE(first.waitForTheFirstPages());
        // The program tells nothing while it runs: give the four pages time to be probed.
        WaitUntil([] { return false; }, 6000);
        first.sendSignal(SIGTERM);
        ASSERT_TRUE(first.waitForExit());
        EXPECT_TRUE(first.exitedNormally());
        EXPECT_EQ(first.exitCode(), 0) << first.standardError().toStdString();
    }
    EXPECT_EQ(stored(config, "Posizione", "0"), "0");
    EXPECT_EQ(stored(config, "Posizione", "1"), "Lazio");
    EXPECT_EQ(stored(config, "Posizione", "2"), "1");
    for (int i = 0; i < kSiteCount; ++i) {
        EXPECT_EQ(stored(config, "Settaggio", QString::number(i)),
                  kTitles[static_cast<std::size_t>(i)].toUpper())
            << i;
    }

    // Second run, in this process so its log can be read: the same pages, but Jobonline has a
    // new listing. Only that one is logged.
    std::array<QString, kSiteCount> titles = kTitles;
    titles[2] = "Nuovo annuncio";
    bench.server().setHandler(Listings(titles));
    bench.server().clearRequests();
    auto second = StartWindow();
    DownloadCounter downloads(*second);
    ASSERT_TRUE(WaitUntil([&] { return downloads.eachAtLeast(1); }));
    EXPECT_EQ(second->findChild<QComboBox*>("Combo1")->currentText(), "Lazio");
    EXPECT_EQ(second->checkValue(CheckBox::Check2), kTicked);
    QStringList log;
    auto* logBox = second->findChild<QComboBox*>("Combo2");
    for (int i = 0; i < logBox->count(); ++i) log << logBox->itemText(i);
    EXPECT_EQ(log, QStringList{"Jobonline: NUOVO ANNUNCIO"});
    second->close();
    EXPECT_EQ(stored(config, "Settaggio", "2"), "NUOVO ANNUNCIO");
    EXPECT_EQ(stored(config, "Settaggio", "1"), "CUOCO CAPO PARTITA");
}

TEST_F(Restart, SigintAndSighupCloseTheWindowToo) {
    for (const int signal : {SIGINT, SIGHUP}) {
        QTemporaryDir config;
        ProgramRun run(config.path());
        ASSERT_TRUE(run.start());
        ASSERT_TRUE(run.waitForTheFirstPages());
        run.sendSignal(signal);
        ASSERT_TRUE(run.waitForExit()) << signal;
        EXPECT_TRUE(run.exitedNormally()) << signal;
        EXPECT_EQ(run.exitCode(), 0) << signal;
        EXPECT_EQ(stored(config.path(), "Posizione", "1"), "Abruzzo") << signal;
    }
}

// A run that is killed writes nothing: the file stays byte for byte as the last complete run
// left it, even though this run saw new titles on every site.
TEST_F(Restart, AKilledRunLeavesTheStoredFileAsItWas) {
    Bench& bench = Bench::instance();
    const QString config = bench.configDir();
    IniFileStore seed(config);
    for (int i = 0; i < kSiteCount; ++i)
        ASSERT_TRUE(seed.SaveSetting(kAppName, "Settaggio", QString::number(i), "VISTO PRIMA"));
    ASSERT_TRUE(seed.SaveSetting(kAppName, "Posizione", "0", "1"));
    ASSERT_TRUE(seed.SaveSetting(kAppName, "Posizione", "1", "Valle d'Aosta"));
    ASSERT_TRUE(seed.SaveSetting(kAppName, "Posizione", "2", "2"));
    ASSERT_TRUE(seed.SaveSetting(kAppName, "Scroll", "0", "120"));
    QFile file(config + "/Quintavia/Quintavia.ini");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    // Each page tells the server once it has loaded, so the kill comes after the probes.
    const fixtures::Handler listings = Listings(kTitles);
    bench.server().setHandler([listings](const fixtures::Request& request) {
        if (request.path == "/caricata") return fixtures::Response{.status = 204};
        fixtures::Response response = listings(request);
        response.body.replace("</body>",
                              "<script>addEventListener('load', () => fetch('/caricata'))"
                              "</script></body>");
        return response;
    });
    const auto loaded = [&bench] {
        qsizetype n = 0;
        for (const fixtures::Request& request : bench.server().requests())
            n += request.path == "/caricata";
        return n;
    };
    ProgramRun run(config);
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(WaitUntil([&] { return loaded() >= kSiteCount; }, 30000));
    WaitUntil([] { return false; }, 2000);
    run.sendSignal(SIGKILL);
    ASSERT_TRUE(run.waitForExit());
    EXPECT_FALSE(run.exitedNormally());

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QDir(config + "/Quintavia").entryList(QDir::Files), QStringList{"Quintavia.ini"});
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
        EXPECT_TRUE(error.contains("Quintavia: the settings were not saved: cannot ") &&
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
    expectReportedFailure(dir.path() + "/config", "Not a directory");
}

class FailedShutdownOnASmallDisk : public FailedShutdown {
  protected:
    void SetUp() override {
        FailedShutdown::SetUp();
        QString why;
        disk = fixtures::TmpfsMount::mount(dir.path(), 64 * 1024, &why);
        if (!disk) GTEST_SKIP() << why.toStdString();
        IniFileStore store(dir.path());
        ASSERT_TRUE(store.SaveSetting(kAppName, "Settaggio", "0", "TITOLO PRECEDENTE"));
        ASSERT_TRUE(store.SaveSetting(kAppName, "Posizione", "1", "Lazio"));
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
    expectReportedFailure(dir.path(), "No space left on device");
    EXPECT_EQ(contents(), before);
}

TEST_F(FailedShutdownOnASmallDisk, ReadOnly) {
    ASSERT_TRUE(disk->makeReadOnly());
    expectReportedFailure(dir.path(), "not writable");
    EXPECT_EQ(contents(), before);
}

}  // namespace
}  // namespace quintavia::e2e
