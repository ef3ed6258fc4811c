#include "store/structure_file.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <utility>

#include "store/ini_file.h"
#include "store/io/atomic_file.h"
#include "store/io/file_lock.h"
#include "store/io/private_folder.h"

namespace quintavia {
namespace {

const QString kVersion = QStringLiteral("versione");
const QString kSelectors = QStringLiteral("selettori");
const QString kHealed = QStringLiteral("per_struttura");
const QString kCard = QStringLiteral("scheda");
const QString kTitle = QStringLiteral("titolo");
const QString kLink = QStringLiteral("link");
const QString kCompany = QStringLiteral("azienda");
const QString kPlace = QStringLiteral("luogo");

QByteArray KeptJson(const StructureKept& kept) {
    QJsonObject selectors;
    for (auto site = kept.selectors.cbegin(); site != kept.selectors.cend(); ++site) {
        if (site->isEmpty()) continue;
        selectors.insert(site.key(), QJsonObject{{kCard, site->card},
                                                 {kTitle, site->title},
                                                 {kLink, site->link},
                                                 {kCompany, site->company},
                                                 {kPlace, site->place}});
    }
    const QJsonObject root{
        {kVersion, 1}, {kSelectors, selectors}, {kHealed, QJsonArray::fromStringList(kept.healed)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace

StructureFile::StructureFile(QString path) : path_(std::move(path)) {}

QString StructureFile::PathBeside(const QString& memoryPath) {
    if (memoryPath.isEmpty()) return {};
    return QFileInfo(memoryPath).dir().filePath(QStringLiteral("letture-struttura.json"));
}

StructureFile::Loaded StructureFile::load() const {
    Loaded loaded;
    if (path_.isEmpty()) return loaded;
    FileBytes read = ReadFileBytes(path_, kMaxFileSize);
    if (read.kind == FileRead::Absent) return loaded;
    const auto unread = [&](const QString& why) {
        loaded.warnings.append(
            QStringLiteral("impossibile leggere %1: %2; i siti letti per struttura sono cercati di "
                           "nuovo")
                .arg(path_, why));
        return loaded;
    };
    if (read.kind != FileRead::Text) return unread(read.reason);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(read.bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return unread(QStringLiteral("non è JSON valido: %1").arg(error.errorString()));
    const QJsonObject root = doc.object();
    if (!doc.isObject() || root.value(kVersion).toInteger(-1) != 1)
        return unread(QStringLiteral("non è un oggetto con \"%1\": 1").arg(kVersion));
    const QJsonObject selectors = root.value(kSelectors).toObject();
    for (auto site = selectors.constBegin(); site != selectors.constEnd(); ++site) {
        const QJsonObject entry = site.value().toObject();
        const StructureSelectors found{
            entry.value(kCard).toString(), entry.value(kTitle).toString(),
            entry.value(kLink).toString(), entry.value(kCompany).toString(),
            entry.value(kPlace).toString()};
        if (!found.isEmpty()) loaded.kept.selectors.insert(site.key(), found);
    }
    for (const QJsonValue id : root.value(kHealed).toArray())
        if (id.isString() && !loaded.kept.healed.contains(id.toString()))
            loaded.kept.healed.append(id.toString());
    loaded.kept.healed.sort();
    return loaded;
}

WriteResult StructureFile::save(const StructureKept& kept) const {
    WriteResult result;
    const auto fail = [&](const QString& reason) { return result.fail(path_, reason); };
    if (path_.isEmpty()) return fail(QStringLiteral("nessuna cartella dei dati è nota"));
    const QString folder = QFileInfo(path_).absolutePath();
    if (const QString why = MakePrivateFolder(folder); !why.isEmpty())
        return fail(QStringLiteral("impossibile creare la cartella %1: %2").arg(folder, why));
    FileLock lock(FileLock::Beside(path_));
    if (const QString why = lock.take(lockTimeout_); !why.isEmpty()) return fail(why);
    const QByteArray bytes = KeptJson(kept);
    if (bytes.size() > kMaxFileSize)
        return fail(
            QStringLiteral("occuperebbe %1 byte, più di quanto può contenere").arg(bytes.size()));
    if (const QString why = ReplaceFile(path_, bytes); !why.isEmpty()) return fail(why);
    return result;
}

}  // namespace quintavia
