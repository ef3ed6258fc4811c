#pragma once

#include <QObject>

class QSocketNotifier;

namespace quintavia {

// SIGTERM, SIGINT and SIGHUP (the session ending, Ctrl+C, the terminal going away) arrive as
// `received` on the event loop, so the program can end through its normal path; one that
// arrives before the event loop runs waits for it. A second signal of the same kind ends the
// program at once, as if none were handled. One instance at a time, made once the application
// object exists; nothing happens on platforms without these signals.
//
// The browser engine puts these signals back to their defaults when it starts: make this
// after the engine has started.
class QuitSignals final : public QObject {
    Q_OBJECT
  public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

  signals:
    void received(int signal);

  private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quintavia
