#include "shell/app/quit_signals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#endif

#include "shell/app/warn.h"
#include "store/io/platform.h"

namespace quintavia {

#ifdef Q_OS_UNIX
namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};

// The handler may only do what is safe inside a signal handler: it writes the signal's number
// to a pipe that the event loop watches.
int g_pipe[2] = {-1, -1};
// The end the handler writes to, read atomically: the handler may run on any thread.
std::atomic<int> g_writeEnd{-1};

void OnSignal(int number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    const int fd = g_writeEnd.load();
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    if (g_pipe[0] >= 0) return;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        Warn(QStringLiteral("SIGTERM, SIGINT e SIGHUP chiuderanno il programma senza salvare: ") +
             platform::ErrorText(errno));
        return;
    }
    g_writeEnd = g_pipe[1];
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::drain);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int number : kSignals) ::sigaction(number, &action, nullptr);
}

QuitSignals::~QuitSignals() {
    if (!notifier_) return;
    for (int number : kSignals) ::signal(number, SIG_DFL);
    g_writeEnd = -1;
    delete notifier_;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void QuitSignals::drain() {
    unsigned char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1) emit received(byte);
}

#else

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {}
QuitSignals::~QuitSignals() = default;
void QuitSignals::drain() {}

#endif

}  // namespace quintavia
