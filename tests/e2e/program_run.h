#pragma once

#include <QProcess>
#include <QString>

namespace quintavia::e2e {

// The real program in a process of its own, as a user starts it: headless, with the given
// configuration folder, reaching the fixture sites through the bench's server (this process
// must keep handling events for the server to answer).
class ProgramRun {
  public:
    explicit ProgramRun(const QString& configHome);
    ~ProgramRun();  // kills the program if it is still running

    bool start();
    // True once the four panes asked the fixture sites for their first pages: the program's
    // event loop runs, its signal handling included.
    bool waitForTheFirstPages();
    void sendSignal(int number);
    // True once the program has its own handler for the signal installed.
    bool handles(int number) const;
    // False when the program did not end in time.
    bool waitForExit(int timeoutMs = 30000);

    bool exitedNormally() const { return process_.exitStatus() == QProcess::NormalExit; }
    int exitCode() const { return process_.exitCode(); }
    QString standardError() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

  private:
    QProcess process_;
};

}  // namespace quintavia::e2e
