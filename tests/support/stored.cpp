#include "stored.h"

#include <sys/stat.h>

#include <QFile>

#include "core/layout/panes.h"
#include "store/ini_document.h"
#include "store/settings_file.h"

namespace support {

QString SettingsPathIn(const QString& configHome) {
    return quintavia::SettingsFile::PathIn(configHome);
}

QString Stored(const QString& path, const QString& section, const QString& key) {
    QFile file(path);
    if (!file.exists()) return QStringLiteral("<absent>");
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("<unreadable>");
    const std::optional<quintavia::IniDocument> doc = quintavia::IniDocument::parse(file.readAll());
    if (!doc) return QStringLiteral("<unreadable>");
    return doc->value(section, key).value_or(QStringLiteral("<absent>"));
}

bool HoldsTitles(const QString& configHome,
                 const std::array<QString, quintavia::kPaneCount>& titles) {
    for (int i = 0; i < quintavia::kPaneCount; ++i) {
        if (Stored(SettingsPathIn(configHome), QStringLiteral("Settaggio"), QString::number(i)) !=
            titles[static_cast<std::size_t>(i)].toUpper())
            return false;
    }
    return true;
}

int FileMode(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
    return static_cast<int>(st.st_mode & 07777);
}

bool Seed(const QString& path, const quintavia::SettingsEntries& entries) {
    return quintavia::SettingsFile(path).write(entries).ok;
}

}  // namespace support
