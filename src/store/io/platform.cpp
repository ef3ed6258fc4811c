#include "store/io/platform.h"

#include <QFile>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quintavia::platform {

QString SyncFolder([[maybe_unused]] const QString& folder) {
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return qt_error_string(errno);
    // Some filesystems cannot sync a folder and say so; nothing more can be done there.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int error = errno;
    ::close(fd);
    if (!synced) return qt_error_string(error);
#endif
    return {};
}

bool RunningAsSuperUser() {
#ifdef Q_OS_UNIX
    return ::geteuid() == 0;
#else
    return false;
#endif
}

}  // namespace quintavia::platform
