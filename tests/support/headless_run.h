#pragma once

#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

#include "shell/app/application_names.h"

namespace support {

// What a test program sets before its QApplication exists, so that the real window and the
// browser engine run headless and keep their settings and data in `home`.
// The user's download folder is home/Downloads, named in the run's own user-dirs.dirs as a
// desktop names it, so that a test can tell whether anything landed there.
inline void PrepareHeadlessRun(const QString& home) {
    QDir().mkpath(home + "/config");
    QFile userDirs(home + "/config/user-dirs.dirs");
    if (userDirs.open(QIODevice::WriteOnly))
        userDirs.write("XDG_DOWNLOAD_DIR=\"" + QFile::encodeName(home) + "/Downloads\"\n");
    qputenv("XDG_CONFIG_HOME", (home + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home + "/data").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home + "/cache").toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The engine's sandbox cannot run as root.
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // No notification reaches the user's desktop from a test run: the session bus is one
    // that is not there, unless the run starts its own (support::PrivateBus) after this.
    qputenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + home + "/no-session-bus").toLocal8Bit());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

// Sends every address the program builds, unchanged, to the fixture sites' server. The engine
// reads its switches once per process, before it starts. The four sites' pages count as secure,
// as the real sites' are (they move to https): a page's requests for powers then reach the
// program, where the engine would otherwise refuse them itself.
// Switches inherited from the environment come first, as a bench's own (a V8 flag that runs
// the engine unhardened, say).
inline void UseFixtureSites(quint16 port) {
    const QByteArray inherited = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            (inherited.isEmpty() ? QByteArray() : inherited + ' ') +
                "--proxy-server=http://127.0.0.1:" + QByteArray::number(port) +
                " --disable-background-networking --no-first-run"
                " --unsafely-treat-insecure-origin-as-secure=http://miojob.repubblica.it,"
                "http://it.jobrapido.com,http://www.jobonline.it,http://www.infojobs.it");
}

// The names the program gives itself, which its settings file is named after.
inline void NameLikeTheProgram() {
    quintavia::NameTheApplication();
}

}  // namespace support
