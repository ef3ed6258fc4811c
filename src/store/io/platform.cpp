#include "store/io/platform.h"

#include <QFile>
#include <array>
#include <cerrno>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quintavia::platform {
namespace {

// What glibc and Qt say for the faults a user's files meet, as an Italian system says them.
constexpr std::array<std::pair<const char*, const char*>, 19> kErrorTexts{{
    {"Permission denied", "permesso negato"},
    {"No such file or directory", "file o cartella inesistente"},
    {"No space left on device", "spazio esaurito sul dispositivo"},
    {"Disk quota exceeded", "quota del disco superata"},
    {"Read-only file system", "file system in sola lettura"},
    {"Is a directory", "è una cartella"},
    {"Not a directory", "non è una cartella"},
    {"File exists", "il file esiste già"},
    {"Destination file exists", "il file di destinazione esiste già"},
    {"Operation not permitted", "operazione non permessa"},
    {"Too many open files", "troppi file aperti"},
    {"Input/output error", "errore di input/output"},
    {"Too many levels of symbolic links", "troppi livelli di collegamenti simbolici"},
    {"File name too long", "nome di file troppo lungo"},
    {"Device or resource busy", "dispositivo o risorsa occupati"},
    {"Invalid cross-device link", "collegamento tra dispositivi diversi non valido"},
    {"Directory not empty", "la cartella non è vuota"},
    {"Unknown error", "errore sconosciuto"},
    {"Too many open files in system", "troppi file aperti nel sistema"},
}};

}  // namespace

QString InItalian(const QString& systemText) {
    for (const auto& [english, italian] : kErrorTexts)
        if (systemText == QLatin1StringView(english)) return QString::fromUtf8(italian);
    // Qt's Italian for the few it translates itself starts with a capital, as a sentence does;
    // here it follows a colon.
    if (systemText.size() > 1 && systemText[0].isUpper() && systemText[1].isLower())
        return systemText[0].toLower() + systemText.mid(1);
    return systemText;
}

QString ErrorText(int error) {
    return InItalian(qt_error_string(error));
}

QString SyncFolder([[maybe_unused]] const QString& folder) {
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return ErrorText(errno);
    // Some filesystems cannot sync a folder and say so; nothing more can be done there.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int error = errno;
    ::close(fd);
    if (!synced) return ErrorText(error);
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
