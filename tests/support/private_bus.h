#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace support {

// A session bus of the test program's own (dbus-daemon), with no services that the bus could
// start by itself, so that nothing of the user's desktop answers and nothing reaches it. Qt
// reads DBUS_SESSION_BUS_ADDRESS once, when the session bus is first asked for: start it
// before the application object exists. The daemon ends with this object, and with the test
// program should that end first, however it ends.
class PrivateBus {
  public:
    PrivateBus() = default;
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Starts the daemon and waits for its address; false with the reason.
    bool start(QString* error);
    // As DBUS_SESSION_BUS_ADDRESS takes it.
    const QByteArray& address() const { return address_; }

  private:
    QTemporaryDir dir_;
    pid_t pid_ = -1;
    QByteArray address_;
};

}  // namespace support
