#include "shell/desktop/sound_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <optional>

#include "core/sites/site_rules.h"

namespace quintavia {

QStringList SoundFolders(const QString& programFolder) {
    // QUINTAVIA_SOUNDS_FROM_PROGRAM comes from the build (data/CMakeLists.txt), which knows
    // where it installs the executable and the sounds, relative to each other.
    return {programFolder,
            QDir::cleanPath(programFolder + u'/' + QStringLiteral(QUINTAVIA_SOUNDS_FROM_PROGRAM))};
}

namespace {

// The first of `folders` that holds `name`, or none.
std::optional<QString> FindIn(const QString& name, const QStringList& folders) {
    // Qt takes "/" between folders on every platform.
    for (const QString& folder : folders) {
        const QString path = folder + u'/' + name;
        if (QFileInfo(path).isFile()) return path;
    }
    return std::nullopt;
}

}  // namespace

QString SoundFileIn(int pane, const QStringList& folders) {
    const QString name = QString::number(pane) + QStringLiteral(".wav");
    return FindIn(name, folders).value_or(folders.value(0) + u'/' + name);
}

QString SoundFile(int pane, const QString& programFolder) {
    return SoundFileIn(pane, SoundFolders(programFolder));
}

QString SoundFile(int pane) {
    return SoundFile(pane, QCoreApplication::applicationDirPath());
}

QString SoundFileFor(const QString& siteId, const QStringList& folders) {
    if (const int pane = DefaultPane(siteId); pane >= 0) return SoundFileIn(pane, folders);
    const QString own = siteId + QStringLiteral(".wav");
    if (std::optional<QString> found = FindIn(own, folders)) return *found;
    const QString chime = QStringLiteral("chime.wav");
    return FindIn(chime, folders).value_or(folders.value(0) + u'/' + chime);
}

QString SoundFileFor(const QString& siteId) {
    return SoundFileFor(siteId, SoundFolders(QCoreApplication::applicationDirPath()));
}

}  // namespace quintavia
