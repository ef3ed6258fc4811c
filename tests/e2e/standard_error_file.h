#pragma once

#include <unistd.h>

#include <QFile>
#include <QString>
#include <QTemporaryFile>
#include <cstdio>

namespace quintavia::e2e {

// What standard error receives while it lives.
class StandardErrorFile {
  public:
    StandardErrorFile() {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        if (file_.open()) ::dup2(file_.handle(), STDERR_FILENO);
    }
    ~StandardErrorFile() {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    QString text() {
        std::fflush(stderr);
        QFile read(file_.fileName());
        return read.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(read.readAll()) : QString();
    }

  private:
    QTemporaryFile file_;
    int saved_ = -1;
};

}  // namespace quintavia::e2e
