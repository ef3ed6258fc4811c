#include "bench.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>

#include "headless_run.h"
#include "listing_pages.h"

namespace quintavia::e2e {

Bench& Bench::instance() {
    static Bench bench;
    return bench;
}

QList<QByteArray> Bench::siteRequestLines() const {
    QList<QByteArray> lines;
    for (const fixtures::Request& request : server_->requests())
        if (fixtures::SiteForHost(request.host) >= 0 && request.path != "/favicon.ico")
            lines << request.requestLine;
    return lines;
}

void Bench::reset() {
    server_->setHandler({});
    server_->clearRequests();
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(5);
    }
    return true;
}

std::unique_ptr<Form1> StartWindow(Beep* beep) {
    auto form = std::make_unique<Form1>(nullptr, beep);
    form->startUp();
    form->show();
    return form;
}

int RunBench(int argc, char** argv) {
    // Settings and engine data go to a folder of the run's own.
    static QTemporaryDir home;
    fixtures::PrepareHeadlessRun(home.path());
    QApplication app(argc, argv);
    fixtures::NameLikeTheProgram();

    Bench& bench = Bench::instance();
    bench.configDir_ = home.path() + "/config";
    bench.server_ = std::make_unique<fixtures::FixtureServer>();
    if (!bench.server_->listen()) {
        std::fprintf(stderr, "cannot start the fixture server\n");
        return 2;
    }
    // Every address the program builds reaches the fixture server, unchanged.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            "--proxy-server=http://127.0.0.1:" + QByteArray::number(bench.server_->port()) +
                " --disable-background-networking --no-first-run");

    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    bench.server_.reset();
    return status;
}

}  // namespace quintavia::e2e

int main(int argc, char** argv) {
    return quintavia::e2e::RunBench(argc, argv);
}
