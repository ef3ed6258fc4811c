#include "store/io/atomic_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#include "store/ini_file.h"
#include "store/io/platform.h"

namespace quintavia {
namespace {

// The temporary files that writers killed mid-write left beside the file: QSaveFile names them
// "<name>.XXXXXX" where the system cannot keep a file nameless until it is complete. Only the
// lock holder can be writing one.
void RemoveLeftovers(const QString& path) {
    const QFileInfo file(path);
    QDir folder = file.absoluteDir();
    const QString prefix = file.fileName() + u'.';
    for (const QString& name : folder.entryList({prefix + QStringLiteral("??????")},
                                                QDir::Files | QDir::Hidden | QDir::System)) {
        const QStringView tail = QStringView(name).sliced(prefix.size());
        if (std::all_of(tail.begin(), tail.end(), [](QChar c) {
                return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                       (c >= u'0' && c <= u'9');
            }))
            folder.remove(name);
    }
}

}  // namespace

QString ReplaceFile(const QString& path, const QByteArray& bytes) {
    // QSaveFile would write through a link to its target.
    if (QString refused = RefusalAt(path); !refused.isEmpty()) return refused;
    RemoveLeftovers(path);

    // A rename replaces the name it lands on, never what a link there points to.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return platform::InItalian(out.errorString());
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);  // for the user alone
    if (out.write(bytes) != bytes.size() || !out.commit())
        return platform::InItalian(out.errorString());
    if (const QString synced = platform::SyncFolder(QFileInfo(path).absolutePath());
        !synced.isEmpty()) {
        return QStringLiteral(
                   "è stato sostituito, ma la cartella non si è potuta sincronizzare sul "
                   "disco: %1")
            .arg(synced);
    }
    return {};
}

std::optional<QString> SetAside(const QString& path, QString* error) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString aside = path + QLatin1String(".bad");
        if (attempt > 0) aside += u'-' + stamp;
        if (attempt > 1) aside += u'-' + QString::number(attempt);
        if (QFileInfo(aside).exists() || QFileInfo(aside).isSymLink()) continue;
        QFile file(path);
        if (!file.rename(aside)) {
            *error = platform::InItalian(file.errorString());
            return std::nullopt;
        }
        // Unsynced, a crash at worst brings the file back, to be moved aside again.
        platform::SyncFolder(QFileInfo(path).absolutePath());
        return aside;
    }
    *error = QStringLiteral("i nomi per metterlo da parte sono tutti già presi");
    return std::nullopt;
}

}  // namespace quintavia
