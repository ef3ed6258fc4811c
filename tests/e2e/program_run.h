#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace quintavia::e2e {

// The real program in a process of its own, as a user starts it: headless, with the given
// configuration folder, reaching the fixture sites through the bench's server (this process
// must keep handling events for the server to answer). Its browser data go to `dataHome`, or
// by default to a folder that the runs of this test process share.
class ProgramRun {
  public:
    explicit ProgramRun(const QString& configHome, const QString& dataHome = {});
    ~ProgramRun();  // kills the program if it is still running

    // Before start(): a variable of the program's environment, set or removed.
    void setEnvironment(const QString& name, const QString& value);
    void removeEnvironment(const QString& name);
    // Before start(): the program is started as `program`, through `launcher`, a command that
    // becomes the program in its own process (such as setpriv); with no launcher, directly.
    void launchThrough(const QStringList& launcher, const QString& program);

    // Before start() and after launchThrough(): the program's own arguments.
    void addArguments(const QStringList& arguments);

    bool start();
    // True once the four panes asked the fixture sites for their first pages: the program's
    // event loop runs, its signal handling included.
    bool waitForTheFirstPages();
    void sendSignal(int number);
    // True once the program has its own handler for the signal installed.
    bool handles(int number) const;
    // False when the program did not end in time.
    bool waitForExit(int timeoutMs = 30000);

    qint64 processId() const { return process_.processId(); }
    bool exitedNormally() const { return process_.exitStatus() == QProcess::NormalExit; }
    int exitCode() const { return process_.exitCode(); }
    // What the program wrote so far that was not read before.
    QString standardError() { return QString::fromLocal8Bit(process_.readAllStandardError()); }
    QString standardOutput() { return QString::fromLocal8Bit(process_.readAllStandardOutput()); }

  private:
    QProcess process_;
    QProcessEnvironment environment_;
};

// What a run of the program to its end gave: its exit status (-1 when it did not end in time
// or crashed) and what it printed.
struct ProgramOutcome {
    int exit = -1;
    QString out, err;
};

// Runs the program with `arguments` to its end, as a user runs one of its tools.
ProgramOutcome RunToExit(const QString& configHome, const QString& dataHome,
                         const QStringList& arguments);

}  // namespace quintavia::e2e
