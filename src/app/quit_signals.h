#pragma once

#include <QObject>

class QSocketNotifier;

namespace quintavia {

// SIGTERM, SIGINT and SIGHUP (the session ending, Ctrl+C, the terminal going away) arrive as
// `received` on the event loop, so the program can end through its normal path. A second
// signal of the same kind ends the program at once, as if none were handled. One instance at
// a time; nothing happens on platforms without these signals.
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
