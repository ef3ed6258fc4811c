#include "stored.h"

#include <QFile>

#include "settings/ini_document.h"
#include "settings/settings_file.h"

namespace support {

QString SettingsPathIn(const QString& configHome) {
    return configHome + QStringLiteral("/Quintavia/Quintavia.ini");
}

QString Stored(const QString& path, const QString& section, const QString& key) {
    QFile file(path);
    if (!file.exists()) return QStringLiteral("<absent>");
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("<unreadable>");
    const std::optional<quintavia::IniDocument> doc = quintavia::IniDocument::parse(file.readAll());
    if (!doc) return QStringLiteral("<unreadable>");
    return doc->value(section, key).value_or(QStringLiteral("<absent>"));
}

bool Seed(const QString& path, const quintavia::SettingsEntries& entries) {
    return quintavia::SettingsFile(path).write(entries);
}

}  // namespace support
