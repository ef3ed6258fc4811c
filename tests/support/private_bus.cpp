#include "private_bus.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <cerrno>
#include <cstring>

namespace support {
namespace {

// A session bus as the system's, without the folders of services it may start.
QByteArray Config(const QByteArray& folder) {
    return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n"
           "  <type>session</type>\n"
           "  <listen>unix:dir=" +
           folder +
           "</listen>\n"
           "  <auth>EXTERNAL</auth>\n"
           "  <policy context=\"default\">\n"
           "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
           "    <allow eavesdrop=\"true\"/>\n"
           "    <allow own=\"*\"/>\n"
           "  </policy>\n"
           "</busconfig>\n";
}

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

bool PrivateBus::start(QString* error) {
    if (!dir_.isValid()) {
        *error = QStringLiteral("no temporary folder: ") + dir_.errorString();
        return false;
    }
    const QString configPath = dir_.filePath(QStringLiteral("bus.conf"));
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(Config(QFile::encodeName(dir_.path()))) < 0) {
        *error = QStringLiteral("cannot write %1: %2").arg(configPath, config.errorString());
        return false;
    }
    config.close();

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        *error = QStringLiteral("pipe: ") + Reason(errno);
        return false;
    }
    const QByteArray configArg = "--config-file=" + QFile::encodeName(configPath);
    const QByteArray printArg = "--print-address=" + QByteArray::number(fds[1]);
    const QByteArray logPath = QFile::encodeName(dir_.filePath(QStringLiteral("bus.log")));
    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ < 0) {
        *error = QStringLiteral("fork: ") + Reason(errno);
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (pid_ == 0) {
        // The daemon goes when the test program goes, even killed at its time limit.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(127);
        ::fcntl(fds[1], F_SETFD, 0);
        // What the daemon says goes to its log, shown should it fail to start.
        const int log = ::open(logPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (log >= 0) ::dup2(log, STDERR_FILENO);
        ::execlp("dbus-daemon", "dbus-daemon", configArg.constData(), printArg.constData(),
                 "--nofork", "--nopidfile", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);

    // The daemon writes its address once it listens.
    QByteArray line;
    const QDeadlineTimer deadline(20000);
    while (!line.contains('\n')) {
        pollfd readable{fds[0], POLLIN, 0};
        const int ready = ::poll(&readable, 1, static_cast<int>(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        char buffer[512];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        line.append(buffer, n);
    }
    ::close(fds[0]);
    address_ = line.trimmed();
    if (address_.isEmpty()) {
        QFile log(QFile::decodeName(logPath));
        const QByteArray said = log.open(QIODevice::ReadOnly) ? log.readAll().trimmed() : "";
        *error = QStringLiteral(
                     "dbus-daemon gave no address (is the dbus-daemon package "
                     "installed?) ") +
                 QString::fromLocal8Bit(said);
        return false;
    }
    return true;
}

PrivateBus::~PrivateBus() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace support
