#pragma once

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "app/form1.h"
#include "fixture_server.h"

namespace quintavia::e2e {

// What every end-to-end test shares: one fixture server that the browser engine reaches
// through its proxy switch (the engine reads that switch once per process), and a private
// configuration folder.
class Bench {
public:
    static Bench& instance();

    fixtures::FixtureServer& server() { return *server_; }
    const QString& configDir() const { return configDir_; }

    // Only the lines for the four job sites: the engine may ask the proxy for more.
    QList<QByteArray> siteRequestLines() const;

    // Serves the default page for every site and forgets what was asked before.
    void reset();

private:
    friend int RunBench(int argc, char** argv);
    Bench() = default;

    // Lives only while the application does.
    std::unique_ptr<fixtures::FixtureServer> server_;
    QString configDir_;
};

// Processes events until done() holds or the time runs out; false on time-out.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000);

// A started window, as the program makes it; closes it at the end of the test. `beep`, when
// given, hears the alerts in place of the platform.
std::unique_ptr<Form1> StartWindow(Beep* beep = nullptr);

int RunBench(int argc, char** argv);

}  // namespace quintavia::e2e
