// Run from an installation's bin folder in place of the program: resolves each site's sound as
// the program does, from its own folder, and loads it as the program would play it.
//   sound_probe EXPECTED_FOLDER
// Prints one line per site and exits 0 when every sound is a file in EXPECTED_FOLDER that
// loads without an error.
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

#include "core/layout/panes.h"
#include "core/sites/sites.h"
#include "shell/desktop/sound_files.h"

namespace {

// Loads `path` as the program's player does (the same player each time, its source cleared
// first) and awaits the end: Ready, or Error for a file that cannot be decoded.
QSoundEffect::Status Load(QSoundEffect& effect, const QString& path) {
    QEventLoop loop;
    const auto done = [&] {
        return effect.status() == QSoundEffect::Ready || effect.status() == QSoundEffect::Error;
    };
    const QMetaObject::Connection watch =
        QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, [&] {
            if (done()) loop.quit();
        });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    effect.stop();
    effect.setSource(QUrl());
    effect.setSource(QUrl::fromLocalFile(path));
    if (!done()) loop.exec();
    QObject::disconnect(watch);
    return effect.status();
}

const char* Name(QSoundEffect::Status status) {
    switch (status) {
        case QSoundEffect::Null:
            return "Null";
        case QSoundEffect::Loading:
            return "Loading (still, after 30 s)";
        case QSoundEffect::Ready:
            return "Ready";
        case QSoundEffect::Error:
            return "Error";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc != 2) {
        std::fprintf(stderr, "usage: sound_probe EXPECTED_FOLDER\n");
        return 2;
    }
    const QString expected = QDir(QString::fromLocal8Bit(argv[1])).canonicalPath();
    int failures = 0;
    QSoundEffect effect;
    for (int site = 0; site < quintavia::kPaneCount; ++site) {
        const QString path = quintavia::SoundFile(site);
        const QFileInfo file(path);
        const bool there = file.isFile() && file.canonicalPath() == expected;
        const QSoundEffect::Status status = there ? Load(effect, path) : QSoundEffect::Null;
        const bool good = there && status == QSoundEffect::Ready;
        std::printf("%s site %d: %s%s, %s\n", good ? "ok  " : "FAIL", site, qUtf8Printable(path),
                    there ? "" : " (not a file in the expected folder)", Name(status));
        if (!good) ++failures;
        // A file cut short stays Loading for good, and the player then waits for it for good
        // when it lets the file go (Qt 6.4): the probe ends without that.
        if (status == QSoundEffect::Loading) std::_Exit(1);
    }
    return failures == 0 ? 0 : 1;
}
