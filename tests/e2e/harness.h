#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

#include "awaiting.h"
#include "core/layout/panes.h"
#include "fixture_server.h"
#include "qt_printing.h"
#include "shell/browser/engine_profile.h"
#include "shell/browser/popup_window.h"
#include "shell/window/main_window.h"
#include "store/settings_file.h"
#include "stored.h"

namespace quintavia::e2e {

using support::WaitFor;

// What every end-to-end test shares: one fixture server that the browser engine reaches
// through its proxy switch (the engine reads that switch once per process), and a private
// home with the settings file and the engine profile the windows of this process use.
class Harness {
  public:
    static Harness& instance();

    fixtures::FixtureServer& server() { return *server_; }
    const QString& configDir() const { return configDir_; }
    // The session bus of this process, started before the application: no service on it
    // until a test registers one.
    const QByteArray& busAddress() const { return busAddress_; }
    SettingsFile& store() { return *store_; }
    EngineProfile& engine() { return *engine_; }
    // The run's private home: its configuration, data and cache folders, and the user's
    // download folder (home/Downloads).
    const QString& home() const { return home_; }
    QString settingsPath() const { return store_->path(); }
    // The value the settings file holds now, read afresh.
    QString stored(const QString& section, const QString& key) const {
        return support::Stored(settingsPath(), section, key);
    }

    // Only the lines for the four job sites: the engine may ask the proxy for more.
    QList<QByteArray> siteRequestLines() const;

    // Serves the default page for every site, forgets what was asked before, and removes the
    // settings file, the listings seen and what waited to be opened.
    void reset();

  private:
    friend int RunHarness(int argc, char** argv);
    Harness() = default;

    // Lives only while the application does.
    std::unique_ptr<fixtures::FixtureServer> server_;
    std::unique_ptr<SettingsFile> store_;
    std::unique_ptr<EngineProfile> engine_;
    QString configDir_;
    QByteArray busAddress_;
    QString home_;
};

// A window started as the program starts it, from what the harness's settings file holds.
// `beep`, when given, hears the alerts in place of the platform.
std::unique_ptr<MainWindow> StartWindow(Beep* beep = nullptr);

// The request lines of one refresh as the fixture server receives them, sorted: the panes load
// in parallel. The engine escapes what the program leaves as it is: blanks everywhere, the
// apostrophe only in a query, so the region comes as it stands in a path and in a query.
QList<QByteArray> RefreshRequestLines(const QByteArray& inPath, const QByteArray& inQuery,
                                      int regionNumber);

// The request lines of the next refresh, sorted, once all four have arrived; then forgets them.
QList<QByteArray> NextRefreshLines();

// The windows that pages opened: windows of their own, outside the main window's children.
QList<PopupWindow*> OpenPopups();

// The entries of the window's log box, oldest first.
QStringList LogEntries(const MainWindow& window);

// The tick that finds the countdown run out: the countdown's own refresh, without waiting.
void RunCountdownOut(MainWindow& window);

// What the panes have told of the pages they read: how many, and the last one.
class Captures {
  public:
    explicit Captures(MainWindow& window);
    int count(int site) const { return counts_[static_cast<std::size_t>(site)]; }
    bool eachAtLeast(int n) const;
    const PageCapture& last(int site) const { return last_[static_cast<std::size_t>(site)]; }

  private:
    QObject context_;
    std::array<int, kPaneCount> counts_{};
    std::array<PageCapture, kPaneCount> last_{};
};

int RunHarness(int argc, char** argv);

}  // namespace quintavia::e2e
