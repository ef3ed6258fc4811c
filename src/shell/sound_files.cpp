#include "shell/sound_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quintavia {

QStringList SoundFolders(const QString& programFolder) {
    // QUINTAVIA_SOUNDS_FROM_PROGRAM comes from the build (data/CMakeLists.txt), which knows
    // where it installs the executable and the sounds, relative to each other.
    return {programFolder,
            QDir::cleanPath(programFolder + u'/' + QStringLiteral(QUINTAVIA_SOUNDS_FROM_PROGRAM))};
}

QString SoundFileIn(int site, const QStringList& folders) {
    const QString name = QString::number(site) + QStringLiteral(".wav");
    // Qt takes "/" between folders on every platform.
    for (const QString& folder : folders) {
        const QString path = folder + u'/' + name;
        if (QFileInfo(path).isFile()) return path;
    }
    return folders.value(0) + u'/' + name;
}

QString SoundFile(int site, const QString& programFolder) {
    return SoundFileIn(site, SoundFolders(programFolder));
}

QString SoundFile(int site) {
    return SoundFile(site, QCoreApplication::applicationDirPath());
}

}  // namespace quintavia
