#include "harness.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "core/layout/panes.h"
#include "core/sites/site_rules.h"
#include "headless_run.h"
#include "listing_pages.h"
#include "private_bus.h"
#include "shell/app/engine_environment.h"
#include "shell/app/program_start.h"
#include "shell/app/translations.h"
#include "store/listing_memory_file.h"
#include "store/structure_file.h"
#include "store/unopened_file.h"

namespace quintavia::e2e {

Harness& Harness::instance() {
    static Harness harness;
    return harness;
}

QList<QByteArray> Harness::siteRequestLines() const {
    QList<QByteArray> lines;
    for (const fixtures::Request& request : server_->requests())
        if (fixtures::SiteForHost(request.host) >= 0 && request.path != "/favicon.ico")
            lines << request.requestLine;
    return lines;
}

void Harness::reset() {
    server_->setHandler({});
    server_->clearRequests();
    QFile::remove(settingsPath());
    // A file set aside by one test would be counted by the next that looks for its own.
    const QFileInfo settings(settingsPath());
    for (const QString& aside :
         QDir(settings.path())
             .entryList({settings.fileName() + QStringLiteral(".bad*")}, QDir::Files))
        QFile::remove(settings.path() + u'/' + aside);
    QFile::remove(ListingMemoryFile::UserPath());
    QFile::remove(UnopenedFile::PathBeside(HistoryFile::UserPath()));
    QFile::remove(StructureFile::PathBeside(ListingMemoryFile::UserPath()));
}

std::unique_ptr<MainWindow> StartWindow(Beep* beep) {
    auto window =
        StartProgram(Harness::instance().store(), Harness::instance().engine().profile(), beep);
    window->show();
    return window;
}

QList<QByteArray> RefreshRequestLines(const QByteArray& inPath, const QByteArray& inQuery,
                                      int regionNumber) {
    // Each default site's own address for a stand-in region, which then takes the form the
    // engine gives it where it stands: in the path or in the query.
    const QString standIn(QChar(0x1));
    QList<QByteArray> lines;
    for (const SiteRule& rule : DefaultRules()) {
        const QByteArray address =
            ExpandSearch(rule.search, {standIn, static_cast<qint16>(regionNumber - 1), {}})
                .toUtf8();
        const qsizetype query = address.indexOf('?');
        QByteArray path = query < 0 ? address : address.left(query);
        QByteArray rest = query < 0 ? QByteArray() : address.mid(query);
        path.replace(standIn.toUtf8(), inPath);
        rest.replace(standIn.toUtf8(), inQuery);
        lines << "GET " + path + rest + " HTTP/1.1";
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

QList<QByteArray> NextRefreshLines() {
    Harness& harness = Harness::instance();
    EXPECT_TRUE(WaitFor([&] { return harness.siteRequestLines().size() >= 4; }));
    QList<QByteArray> lines = harness.siteRequestLines();
    std::sort(lines.begin(), lines.end());
    harness.server().clearRequests();
    return lines;
}

QList<PopupWindow*> OpenPopups() {
    QList<PopupWindow*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* popup = qobject_cast<PopupWindow*>(widget)) found << popup;
    return found;
}

QStringList LogEntries(const MainWindow& window) {
    const auto* log = window.findChild<QComboBox*>(QStringLiteral("logBox"));
    QStringList entries;
    for (int i = 0; log && i < log->count(); ++i) entries << log->itemText(i);
    return entries;
}

void RunCountdownOut(MainWindow& window) {
    window.controller().expireCountdown();
    window.countdownTick();
}

Captures::Captures(MainWindow& window) {
    for (int i = 0; i < kPaneCount; ++i) {
        QObject::connect(window.pane(i), &WebPane::pageCaptured, &context_,
                         [this](int site, const PageCapture& capture) {
                             ++counts_[static_cast<std::size_t>(site)];
                             last_[static_cast<std::size_t>(site)] = capture;
                         });
    }
}

bool Captures::eachAtLeast(int n) const {
    for (int c : counts_)
        if (c < n) return false;
    return true;
}

int RunHarness(int argc, char** argv) {
    // Settings and engine data go to a folder of the run's own.
    static QTemporaryDir home;
    support::PrepareHeadlessRun(home.path());
    static support::PrivateBus bus;
    QString why;
    if (!bus.start(&why)) {
        std::fprintf(stderr, "cannot start a session bus: %s\n", qUtf8Printable(why));
        return 2;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address());
    QApplication app(argc, argv);
    support::NameLikeTheProgram();

    Harness& harness = Harness::instance();
    harness.busAddress_ = bus.address();
    harness.home_ = home.path();
    harness.configDir_ = home.path() + "/config";
    harness.store_ = std::make_unique<SettingsFile>(support::SettingsPathIn(harness.configDir_));
    harness.server_ = std::make_unique<fixtures::FixtureServer>();
    if (!harness.server_->listen()) {
        std::fprintf(stderr, "cannot start the fixture server\n");
        return 2;
    }
    support::UseFixtureSites(harness.server_->port());
    // The engine starts as the program starts it, on the fixture sites' proxy, and its texts
    // are the program's.
    PrepareEngineEnvironment();
    InstallItalianTranslations();
    harness.engine_ = std::make_unique<EngineProfile>();

    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    harness.engine_.reset();
    harness.server_.reset();
    return status;
}

}  // namespace quintavia::e2e

int main(int argc, char** argv) {
    return quintavia::e2e::RunHarness(argc, argv);
}
