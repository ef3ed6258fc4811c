#include "store/io/private_folder.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

#include "store/io/platform.h"

namespace quintavia {

QString MakePrivateFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    if (QFileInfo(clean).isDir()) return {};
    // From the root down, so that each folder made gets its permissions as it is made.
    QString above = clean.startsWith(u'/') ? QString() : clean.section(u'/', 0, 0);
    const QStringList names = clean.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = above.isEmpty() ? 0 : 1; i < names.size(); ++i) {
        above += u'/' + names[i];
        const QFileInfo info(above);
        if (info.isDir()) continue;
        if (info.exists()) return platform::ErrorText(ENOTDIR);
        errno = 0;
        if (!QDir().mkdir(above, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
            !QFileInfo(above).isDir())
            return platform::ErrorText(errno != 0 ? errno : EACCES);
    }
    return {};
}

}  // namespace quintavia
