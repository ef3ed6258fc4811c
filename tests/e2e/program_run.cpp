#include "program_run.h"

#include <signal.h>

#include <QFile>
#include <QTemporaryDir>

#include "harness.h"

namespace quintavia::e2e {

ProgramOutcome RunToExit(const QString& configHome, const QString& dataHome,
                         const QStringList& arguments) {
    ProgramRun run(configHome, dataHome);
    run.addArguments(arguments);
    ProgramOutcome result;
    if (!run.start() || !run.waitForExit(90000) || !run.exitedNormally()) return result;
    result.exit = run.exitCode();
    result.out = run.standardOutput();
    result.err = run.standardError();
    return result;
}

ProgramRun::ProgramRun(const QString& configHome, const QString& dataHome)
    : environment_(QProcessEnvironment::systemEnvironment()) {
    // The bench's environment already holds the engine's switches (proxy, sandbox).
    static QTemporaryDir engineData;
    const QString data = dataHome.isEmpty() ? engineData.path() : dataHome;
    environment_.insert("QT_QPA_PLATFORM", "offscreen");
    environment_.insert("XDG_CONFIG_HOME", configHome);
    environment_.insert("XDG_DATA_HOME", data + "/data");
    environment_.insert("XDG_CACHE_HOME", data + "/cache");
    process_.setProgram(QStringLiteral(QUINTAVIA_PROGRAM));
    process_.setProcessChannelMode(QProcess::SeparateChannels);
}

void ProgramRun::setEnvironment(const QString& name, const QString& value) {
    environment_.insert(name, value);
}

void ProgramRun::removeEnvironment(const QString& name) {
    environment_.remove(name);
}

void ProgramRun::launchThrough(const QStringList& launcher, const QString& program) {
    if (launcher.isEmpty()) {
        process_.setProgram(program);
        return;
    }
    process_.setProgram(launcher.front());
    process_.setArguments(launcher.mid(1) << program);
}

void ProgramRun::addArguments(const QStringList& arguments) {
    process_.setArguments(process_.arguments() + arguments);
}

ProgramRun::~ProgramRun() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(10000);
}

bool ProgramRun::start() {
    Harness::instance().server().clearRequests();
    process_.setProcessEnvironment(environment_);
    process_.start();
    return process_.waitForStarted(10000);
}

bool ProgramRun::waitForTheFirstPages() {
    return WaitFor([] { return Harness::instance().siteRequestLines().size() >= 4; }, 30000);
}

bool ProgramRun::handles(int number) const {
    QFile status(QStringLiteral("/proc/%1/status").arg(process_.processId()));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith("SigCgt:")) continue;
        bool ok = false;
        const qulonglong caught = line.mid(7).trimmed().toULongLong(&ok, 16);
        return ok && (caught >> (number - 1) & 1) != 0;
    }
    return false;
}

void ProgramRun::sendSignal(int number) {
    ::kill(static_cast<pid_t>(process_.processId()), number);
}

bool ProgramRun::waitForExit(int timeoutMs) {
    return WaitFor([this] { return process_.state() == QProcess::NotRunning; }, timeoutMs);
}

}  // namespace quintavia::e2e
