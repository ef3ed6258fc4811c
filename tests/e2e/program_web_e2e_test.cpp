// The real program in processes of its own against hostile pages: its profile across runs and
// instances, its output, its exit on a signal.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "core/layout/panes.h"
#include "harness.h"
#include "hostile_sites.h"
#include "program_run.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// What a run prints whatever happens: as root, one warning that the engine has no sandbox
// there; otherwise nothing.
bool OnlyWhatEveryRunPrints(const QString& output) {
    const QStringList lines = output.split(u'\n', Qt::SkipEmptyParts);
    if (::geteuid() != 0) return lines.isEmpty();
    return lines.size() == 1 && lines[0].startsWith(u"Quintavia: attenzione: avviato come root"_s);
}

class ProgramWithHostilePages : public ::testing::Test {
  protected:
    void SetUp() override {
        Harness::instance().reset();
        Harness::instance().server().setHandler(sites.handler());
    }
    void TearDown() override { Harness::instance().reset(); }

    static int ReportsOf(const QString& what) {
        int count = 0;
        for (const QString& report : Reports())
            if (report.endsWith(u'?' + what)) ++count;
        return count;
    }
    static void CloseNormally(ProgramRun& run) {
        run.sendSignal(SIGTERM);
        ASSERT_TRUE(run.waitForExit());
        EXPECT_TRUE(run.exitedNormally());
        EXPECT_EQ(run.exitCode(), 0);
    }

    HostileSites sites;
};

TEST_F(ProgramWithHostilePages, PagesThatAlertOnLoadLetTheProgramCloseOnSigterm) {
    for (QByteArray& script : sites.scripts)
        script =
            "alert('Benvenuto!');\n"
            "report('confirm=' + confirm('Accetti?') + '&prompt=' + prompt('Nome?'));\n";
    QTemporaryDir config;
    ProgramRun run(config.path());
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(WaitFor([&] { return ReportsOf(u"confirm=false&prompt=null"_s) == 4; }, 30000));
    ASSERT_TRUE(WaitFor([&] { return support::HoldsTitles(config.path(), sites.titles); }, 30000));
    ASSERT_NO_FATAL_FAILURE(CloseNormally(run));
    EXPECT_TRUE(OnlyWhatEveryRunPrints(run.standardError())) << run.standardError().toStdString();
}

// Nothing a page writes to its console, nor anything the engine says as it starts and stops,
// reaches the program's output.
TEST_F(ProgramWithHostilePages, APageFloodingTheConsoleLeavesTheOutputQuiet) {
    for (int i = 0; i < kPaneCount; ++i) {
        sites.scripts[static_cast<std::size_t>(i)] =
            "for (var i = 0; i < 3000; ++i) console.log('rumore ' + i);\n"
            "console.error('errore della pagina'); console.warn('avviso della pagina');\n"
            "console.info('informazione'); console.debug('dettaglio');\n"
            "fetch('/manca');\n"
            "setTimeout(function () { throw new Error('non gestito'); }, 0);\n"
            "report('flooded');\n";
        sites.elsewhere[fixtures::SiteHost(i).toLatin1() + "/manca"] = {.status = 404};
    }
    QTemporaryDir config;
    ProgramRun run(config.path());
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(WaitFor([&] { return ReportsOf(u"flooded"_s) == 4; }, 30000));
    // Written a while after the pages were read, by when their consoles have been heard.
    ASSERT_TRUE(WaitFor([&] { return support::HoldsTitles(config.path(), sites.titles); }, 30000));
    ASSERT_NO_FATAL_FAILURE(CloseNormally(run));
    const QString error = run.standardError();
    EXPECT_TRUE(OnlyWhatEveryRunPrints(error)) << error.toStdString();
    EXPECT_EQ(run.standardOutput(), u""_s);
}

// Like a browser's, the profile remembers: a consent given in one run is there in the next.
TEST_F(ProgramWithHostilePages, ACookieAndStorageSetInOneRunAreThereInTheNext) {
    QList<QByteArray> cookies;
    const fixtures::Handler sitesHandler = sites.handler();
    Harness::instance().server().setHandler([&](const fixtures::Request& request) {
        fixtures::Response response = sitesHandler(request);
        if (fixtures::SiteForHost(request.host) != 0 || request.path.startsWith("/report"))
            return response;
        cookies << request.headers.value("cookie");
        response.headers = {{"Set-Cookie", "consenso=si; Max-Age=31536000; Path=/"}};
        return response;
    });
    sites.scripts[0] =
        "report('stored=' + localStorage.getItem('consenso'));\n"
        "localStorage.setItem('consenso', 'dato');\n";
    QTemporaryDir data;
    QTemporaryDir config;
    {
        ProgramRun first(config.path(), data.path());
        ASSERT_TRUE(first.start());
        ASSERT_TRUE(WaitFor([&] { return ReportsOf(u"stored=null"_s) == 1; }, 30000));
        ASSERT_TRUE(
            WaitFor([&] { return support::HoldsTitles(config.path(), sites.titles); }, 30000));
        ASSERT_NO_FATAL_FAILURE(CloseNormally(first));
    }
    ASSERT_EQ(cookies, QList<QByteArray>{""});
    ProgramRun second(config.path(), data.path());
    ASSERT_TRUE(second.start());
    ASSERT_TRUE(WaitFor([&] { return ReportsOf(u"stored=dato"_s) == 1; }, 30000));
    ASSERT_EQ(cookies.size(), 2);
    EXPECT_EQ(cookies[1], "consenso=si");
    ASSERT_NO_FATAL_FAILURE(CloseNormally(second));
}

// One run at a time holds the profile; another, started meanwhile, runs on a profile in
// memory and says so once.
TEST_F(ProgramWithHostilePages, TwoInstancesAtOnceBothRun) {
    QTemporaryDir data;
    QTemporaryDir firstConfig;
    QTemporaryDir secondConfig;
    ProgramRun first(firstConfig.path(), data.path());
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(first.waitForTheFirstPages());
    ProgramRun second(secondConfig.path(), data.path());
    ASSERT_TRUE(second.start());
    ASSERT_TRUE(second.waitForTheFirstPages());
    ASSERT_TRUE(
        WaitFor([&] { return support::HoldsTitles(secondConfig.path(), sites.titles); }, 30000));
    ASSERT_TRUE(
        WaitFor([&] { return support::HoldsTitles(firstConfig.path(), sites.titles); }, 30000));

    ASSERT_NO_FATAL_FAILURE(CloseNormally(second));
    ASSERT_NO_FATAL_FAILURE(CloseNormally(first));
    QStringList secondLines = second.standardError().split(u'\n', Qt::SkipEmptyParts);
    const QStringList notices = secondLines.filter(u"Quintavia: i dati del browser in "_s);
    ASSERT_EQ(notices.size(), 1) << secondLines.join(u'\n').toStdString();
    EXPECT_TRUE(notices[0].contains(data.path() + u"/data/"_s));
    EXPECT_TRUE(notices[0].contains(u"un altro Quintavia li sta usando"_s));
    secondLines.removeAll(notices[0]);
    EXPECT_TRUE(OnlyWhatEveryRunPrints(secondLines.join(u'\n')));
    EXPECT_TRUE(OnlyWhatEveryRunPrints(first.standardError()));
}

// What no live run holds, left where the profile's lock goes (by a crash, an older version, a
// run on another machine sharing the home, a hand), neither holds start-up up nor keeps the
// profile from this run.
TEST_F(ProgramWithHostilePages, ALockNoLiveRunHoldsLeavesTheProfileToThisRun) {
    const auto aged = [](const QString& at, const QByteArray& bytes) {
        QFile lock(at);
        if (!lock.open(QIODevice::WriteOnly) || lock.write(bytes) != bytes.size()) return false;
        lock.close();
        return lock.open(QIODevice::ReadWrite) &&
               lock.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                QFileDevice::FileModificationTime);
    };
    const struct {
        const char* what;
        std::function<bool(const QString&)> leave;
    } cases[] = {
        {"a FIFO", [](const QString& at) { return ::mkfifo(QFile::encodeName(at), 0600) == 0; }},
        {"an empty file", [&](const QString& at) { return aged(at, {}); }},
        {"another host's lock", [&](const QString& at) { return aged(at, "1\nq\nelsewhere\n"); }},
        {"a link to nothing",
         [](const QString& at) { return QFile::link(u"/nonexistent/lock"_s, at); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir data;
        QTemporaryDir config;
        const QString profile = data.path() + u"/data/Quintavia/Quintavia/QtWebEngine/Quintavia"_s;
        ASSERT_TRUE(QDir().mkpath(profile));
        ASSERT_TRUE(c.leave(profile + u"/quintavia.lock"_s));
        ProgramRun run(config.path(), data.path());
        ASSERT_TRUE(run.start());
        ASSERT_TRUE(run.waitForTheFirstPages());
        ASSERT_TRUE(
            WaitFor([&] { return support::HoldsTitles(config.path(), sites.titles); }, 30000));
        ASSERT_NO_FATAL_FAILURE(CloseNormally(run));
        EXPECT_TRUE(OnlyWhatEveryRunPrints(run.standardError()));
    }
}

}  // namespace
}  // namespace quintavia::e2e
