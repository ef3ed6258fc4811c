#include "store/settings_file.h"

#include <QFileInfo>
#include <optional>
#include <utility>

#include "store/ini_file.h"
#include "store/io/atomic_file.h"
#include "store/io/file_lock.h"
#include "store/io/private_folder.h"
#include "store/io/user_paths.h"

namespace quintavia {
namespace {

const QString kFileName = QStringLiteral("Quintavia.ini");

// The file as it is now, for a write to change, with the lock held: empty when there is none,
// or when it was not text and has been moved aside (with a warning for that). nullopt with the
// reason when it must not be replaced.
std::optional<IniDocument> ReadForUpdate(const QString& path, QStringList* warnings,
                                         QString* error) {
    FileRead read = ReadIniFile(path, SettingsFile::kMaxFileSize);
    switch (read.kind) {
        case FileRead::Absent:
            return IniDocument();
        case FileRead::Text:
            return std::move(read.doc);
        case FileRead::Refused:
            *error = read.reason;
            return std::nullopt;
        case FileRead::Unreadable:
            *error =
                QStringLiteral("it cannot be read (%1), so it is not replaced").arg(read.reason);
            return std::nullopt;
        case FileRead::NotText:
            break;
    }
    QString why;
    const std::optional<QString> aside = SetAside(path, &why);
    if (!aside) {
        *error = QStringLiteral("it cannot be read as settings (%1) and cannot be moved aside (%2)")
                     .arg(read.reason, why);
        return std::nullopt;
    }
    warnings->append(QStringLiteral("%1 could not be read as settings (%2) and was moved to %3; "
                                    "its values are not used")
                         .arg(path, read.reason, *aside));
    return IniDocument();
}

}  // namespace

SettingsFile::SettingsFile(QString path) : path_(std::move(path)) {}

QString SettingsFile::UserPath() {
    return UserConfigFile(kFileName);
}

QString SettingsFile::PathIn(const QString& configHome) {
    return ConfigFileIn(configHome, kFileName);
}

SettingsFile::Loaded SettingsFile::load() {
    Loaded loaded;
    if (path_.isEmpty()) {
        loaded.warnings.append(
            QStringLiteral("no configuration folder is known: the settings start from their "
                           "defaults and are not saved"));
        return loaded;
    }
    const FileRead read = ReadIniFile(path_, kMaxFileSize);
    switch (read.kind) {
        case FileRead::Absent:
            return loaded;
        case FileRead::Text:
            loaded.kept = ReadKept(read.doc);
            return loaded;
        case FileRead::Refused:
        case FileRead::Unreadable:
            loaded.warnings.append(QStringLiteral("cannot read %1: %2; the settings start from "
                                                  "their defaults and are not saved over it")
                                       .arg(path_, read.reason));
            return loaded;
        case FileRead::NotText:
            break;
    }

    // Moved aside under the lock, in case another copy of the program has just replaced it.
    FileLock lock(FileLock::Beside(path_));
    QString error = lock.take(lockTimeout_);
    std::optional<IniDocument> doc;
    if (error.isEmpty())
        doc = ReadForUpdate(path_, &loaded.warnings, &error);
    else
        error = QStringLiteral("it cannot be read as settings (%1) and cannot be moved aside (%2)")
                    .arg(read.reason, error);
    if (!doc) {
        loaded.warnings.append(
            QStringLiteral("cannot read %1: %2; it is left as it is, and the settings start from "
                           "their defaults and are not saved over it")
                .arg(path_, error));
        return loaded;
    }
    loaded.kept = ReadKept(*doc);
    return loaded;
}

WriteResult SettingsFile::write(const SettingsEntries& entries) {
    WriteResult result;
    const auto fail = [&](const QString& reason) { return result.fail(path_, reason); };
    if (path_.isEmpty()) {
        result.ok = false;
        result.error = QStringLiteral("cannot save the settings: no configuration folder is known");
        return result;
    }
    for (const SettingsEntry& entry : entries) {
        if (!IsIniName(entry.section) || !IsIniName(entry.key)) {
            return fail(QStringLiteral("\"%1\" \"%2\" is not a section and key the file can "
                                       "hold; nothing was written")
                            .arg(entry.section, entry.key));
        }
    }

    const QString folder = QFileInfo(path_).absolutePath();
    if (const QString why = MakePrivateFolder(folder); !why.isEmpty())
        return fail(QStringLiteral("cannot create the folder %1: %2").arg(folder, why));
    FileLock lock(FileLock::Beside(path_));
    if (const QString why = lock.take(lockTimeout_); !why.isEmpty()) return fail(why);

    QString why;
    std::optional<IniDocument> doc = ReadForUpdate(path_, &result.warnings, &why);
    if (!doc) return fail(why);
    ApplyEntries(*doc, entries);
    const QByteArray bytes = doc->toUtf8();
    if (bytes.size() > kMaxFileSize) {
        return fail(QStringLiteral("the settings would take %1 bytes, more than the %2 MiB "
                                   "the file may hold; nothing was written")
                        .arg(bytes.size())
                        .arg(kMaxFileSize / 1024 / 1024));
    }

    if (const QString failed = ReplaceFile(path_, bytes); !failed.isEmpty()) return fail(failed);
    return result;
}

}  // namespace quintavia
