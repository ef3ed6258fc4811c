#pragma once

#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstring>
#include <utility>

// What the settings and history files share of their POSIX calls.
namespace quintavia::posix {

// The system's words for an error number, for messages to the user.
inline QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

inline QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

// A file descriptor, closed on every way out.
class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    // Closes now, for the callers that must know whether closing failed.
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

  private:
    int fd_;
};

}  // namespace quintavia::posix
