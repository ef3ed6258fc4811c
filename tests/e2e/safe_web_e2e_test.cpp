// What a page of the open web may reach on an engine without updates: V8 without its JIT, and
// the advertisements, trackers and malware addresses of Debian's lists kept off, while the
// sites' listings are read as before.
#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <algorithm>

#include "harness.h"
#include "hostile_sites.h"
#include "scripted_sites.h"
#include "shell/app/program_start.h"
#include "shell/browser/engine_profile.h"
#include "shell/browser/request_blocker.h"
#include "shell/desktop/tray_icon.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// Hosts that Debian's lists name, each as a plain "||host^" or a host line: an advertising
// script and frame (EasyList), an analytics pixel (EasyPrivacy, third parties only) and a
// malware address (URLhaus).
const QByteArray kAdScript = "syndication.exoclick.com/ads.js";
const QByteArray kAdFrame = "ads.adform.net/banner.html";
const QByteArray kPixel = "sb.scorecardresearch.com/p?c1=2&c2=1";
const QByteArray kMalware = "checkinetverifk.com/payload.js";

class SafeWebTest : public WindowOnSitesTest<HostileSites> {
  protected:
    void TearDown() override {
        WindowOnSitesTest::TearDown();
        QFile::remove(sitesPath);
    }

    // The miojob page with the four requests in it; each answered, should it come.
    void PutAdvertisements() {
        sites.pages[0] =
            WithScript(fixtures::ListingPage(0, sites.titles[0]), "")
                .replace("<body>",
                         "<body><script src='http://" + kAdScript + "'></script><img src='http://" +
                             kPixel + "'><iframe src='http://" + kAdFrame +
                             "'></iframe><script src='http://" + kMalware + "'></script>");
        for (const QByteArray& address : {kAdScript, kAdFrame, kPixel, kMalware})
            sites.elsewhere[address] = {.contentType = "text/plain", .body = "// annuncio"};
    }
    // Which of the four the fixture server was asked for.
    static QList<QByteArray> Fetched() {
        QList<QByteArray> fetched;
        for (const fixtures::Request& request : Harness::instance().server().requests())
            for (const QByteArray& address : {kAdScript, kAdFrame, kPixel, kMalware})
                if (request.host + request.path == address) fetched << address;
        return fetched;
    }
    bool WriteSitesFile(const QByteArray& text) const {
        QDir().mkpath(QFileInfo(sitesPath).path());
        QFile file(sitesPath);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    }

    const QString sitesPath = SitesPathBeside(Harness::instance().settingsPath());
};

TEST_F(SafeWebTest, PagesOfAnOldEngineHaveNoWebAssemblyAndTheirListingsAreRead) {
    for (QByteArray& script : sites.scripts) script = "report('wasm=' + typeof WebAssembly);\n";
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1) && Reports().size() >= 4; }));
    const QString seen = EngineNeedsHardening() ? u"wasm=undefined"_s : u"wasm=object"_s;
    for (const QString& report : Reports())
        EXPECT_TRUE(report.endsWith(seen)) << report.toStdString();
    EXPECT_EQ(EntriesSince(0).size(), 4);
}

TEST_F(SafeWebTest, AdvertisementsTrackersAndMalwareNeverReachTheNetwork) {
    if (RequestBlocker::instance().ruleCount() == 0) GTEST_SKIP() << "no lists installed";
    PutAdvertisements();
    const quint64 before = RequestBlocker::instance().blockedCount();
    Start();
    // The load ends once every request of the page has ended, stopped or answered.
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    EXPECT_EQ(Fetched(), QList<QByteArray>{});
    EXPECT_EQ(RequestBlocker::instance().blockedCount() - before, 4u);
    EXPECT_TRUE(LogEntries(*window).contains(u"MioJob   : MAGAZZINIERE"_s));
}

TEST_F(SafeWebTest, ASiteWithoutBlockingGetsThemAll) {
    if (RequestBlocker::instance().ruleCount() == 0) GTEST_SKIP() << "no lists installed";
    ASSERT_TRUE(WriteSitesFile("[miojob]\nblocco = no\n"));
    PutAdvertisements();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    QList<QByteArray> fetched = Fetched();
    std::sort(fetched.begin(), fetched.end());
    EXPECT_EQ(fetched, (QList<QByteArray>{kAdFrame, kMalware, kPixel, kAdScript}));
    EXPECT_TRUE(LogEntries(*window).contains(u"MioJob   : MAGAZZINIERE"_s));
}

// The tray's "Informazioni su Quintavia" tells the engine's age, its hardening and what the
// blocking stopped.
TEST_F(SafeWebTest, TheAboutBoxSaysHowTheEngineRuns) {
    if (RequestBlocker::instance().ruleCount() == 0) GTEST_SKIP() << "no lists installed";
    PutAdvertisements();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    auto* about = window->trayIcon()->findChild<QAction*>(u"aboutAction"_s);
    ASSERT_NE(about, nullptr);
    about->trigger();
    QMessageBox* box = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        box = window->findChild<QMessageBox*>(u"aboutBox"_s);
        return box && box->isVisible();
    }));
    const QString text = box->text();
    EXPECT_TRUE(text.contains(u"Chromium "_s + QString::fromLatin1(qWebEngineChromiumVersion())))
        << text.toStdString();
    EXPECT_EQ(text.contains(u"Protezione rafforzata: attiva"_s), EngineNeedsHardening());
    EXPECT_TRUE(text.contains(u"Richieste bloccate (pubblicità, tracciamento, malware): %1"_s.arg(
        RequestBlocker::instance().blockedCount())))
        << text.toStdString();
    EXPECT_GE(RequestBlocker::instance().blockedCount(), 4u);
    box->close();
}

}  // namespace
}  // namespace quintavia::e2e
