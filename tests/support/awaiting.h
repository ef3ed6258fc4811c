#pragma once

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace support {

// Runs the event loop until `done` holds; false when it did not within the time. The loop
// runs without pause, looking at `done` every few milliseconds: QTest::qWaitFor sleeps between
// its passes, and the browser engine, which does its work through the same loop, then takes
// many times longer to load a page.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 20000) {
    if (done()) return true;
    const QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired()) loop.quit();
    });
    look.start(5);
    loop.exec();
    return done();
}

}  // namespace support
