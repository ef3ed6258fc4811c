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
                QStringLiteral("non si può leggere (%1), perciò non è sostituito").arg(read.reason);
            return std::nullopt;
        case FileRead::NotText:
            break;
    }
    QString why;
    const std::optional<QString> aside = SetAside(path, &why);
    if (!aside) {
        *error = QStringLiteral(
                     "non si legge come impostazioni (%1) e non si può spostare da parte (%2)")
                     .arg(read.reason, why);
        return std::nullopt;
    }
    warnings->append(QStringLiteral("%1 non si legge come impostazioni (%2) ed è stato spostato in "
                                    "%3; i suoi valori non sono usati")
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
            QStringLiteral("nessuna cartella della configurazione è nota: le impostazioni partono "
                           "da quelle predefinite e non sono salvate"));
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
            loaded.warnings.append(QStringLiteral("impossibile leggere %1: %2; le impostazioni "
                                                  "partono da quelle predefinite e non vi sono "
                                                  "salvate sopra")
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
        error = QStringLiteral(
                    "non si legge come impostazioni (%1) e non si può spostare da parte (%2)")
                    .arg(read.reason, error);
    if (!doc) {
        loaded.warnings.append(
            QStringLiteral("impossibile leggere %1: %2; resta com'è, e le impostazioni partono da "
                           "quelle predefinite e non vi sono salvate sopra")
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
        result.error = QStringLiteral(
            "impossibile salvare le impostazioni: nessuna cartella della configurazione è nota");
        return result;
    }
    for (const SettingsEntry& entry : entries) {
        if (!IsIniName(entry.section) || !IsIniName(entry.key)) {
            return fail(QStringLiteral("\"%1\" \"%2\" non è una sezione e una chiave che il file "
                                       "possa contenere; non è stato scritto nulla")
                            .arg(entry.section, entry.key));
        }
    }

    const QString folder = QFileInfo(path_).absolutePath();
    if (const QString why = MakePrivateFolder(folder); !why.isEmpty())
        return fail(QStringLiteral("impossibile creare la cartella %1: %2").arg(folder, why));
    FileLock lock(FileLock::Beside(path_));
    if (const QString why = lock.take(lockTimeout_); !why.isEmpty()) return fail(why);

    QString why;
    std::optional<IniDocument> doc = ReadForUpdate(path_, &result.warnings, &why);
    if (!doc) return fail(why);
    ApplyEntries(*doc, entries);
    const QByteArray bytes = doc->toUtf8();
    if (bytes.size() > kMaxFileSize) {
        return fail(QStringLiteral("le impostazioni occuperebbero %1 byte, più dei %2 MiB "
                                   "che il file può contenere; non è stato scritto nulla")
                        .arg(bytes.size())
                        .arg(kMaxFileSize / 1024 / 1024));
    }

    if (const QString failed = ReplaceFile(path_, bytes); !failed.isEmpty()) return fail(failed);
    return result;
}

}  // namespace quintavia
