#include "store/io/user_paths.h"

#include <QStandardPaths>

namespace quintavia {
namespace {

const QString kFolderName = QStringLiteral("Quintavia");

QString FileUnder(const QString& home, QStringView name) {
    if (home.isEmpty()) return {};
    // Qt takes "/" between folders on every platform.
    return home + u'/' + kFolderName + u'/' + name.toString();
}

}  // namespace

QString UserConfigFile(QStringView name) {
    return FileUnder(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation), name);
}

QString UserDataFile(QStringView name) {
    return FileUnder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation), name);
}

QString ConfigFileIn(const QString& configHome, QStringView name) {
    return FileUnder(configHome, name);
}

}  // namespace quintavia
