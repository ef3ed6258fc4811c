#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <memory>

class QLocalServer;

namespace quintavia {

class FileLock;

// One run of the window for each settings folder: the listing memory, the history and the
// browser profile never have two writers. The run that holds the lock for the folder listens on
// a local socket beside it, both in the user's runtime folder and named after the settings
// folder; a second start finds the lock taken, asks that run to show its window and ends.
class SingleInstance final : public QObject {
    Q_OBJECT
  public:
    ~SingleInstance() override;

    // The run's hold on the folder, or none when another run has it. A folder that cannot be
    // locked at all (no configuration folder, no runtime folder) is held by nobody: the run
    // goes on, as it would without this.
    static std::unique_ptr<SingleInstance> claim(const QString& settingsFolder);

    // Asks the run that holds the folder to show its window; true once it said it does. That
    // run may be starting still: it is asked again until `wait` is over.
    static bool askToShow(const QString& settingsFolder, std::chrono::milliseconds wait);

  signals:
    // A second start asked for the window.
    void showAsked();

  private:
    SingleInstance() = default;

    std::unique_ptr<FileLock> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace quintavia
