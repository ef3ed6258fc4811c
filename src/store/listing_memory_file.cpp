#include "store/listing_memory_file.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>
#include <optional>
#include <utility>

#include "core/listings/listing_key.h"
#include "core/listings/listing_news.h"
#include "store/ini_file.h"
#include "store/io/atomic_file.h"
#include "store/io/file_lock.h"
#include "store/io/private_folder.h"
#include "store/io/user_paths.h"

namespace quintavia {
namespace {

const QString kVersion = QStringLiteral("versione");
const QString kSites = QStringLiteral("siti");
const QString kSearch = QStringLiteral("ricerca");
const QString kKeys = QStringLiteral("chiavi");
const QString kAnnounced = QStringLiteral("annunciati");
const QString kTitle = QStringLiteral("titolo");
const QString kSiteId = QStringLiteral("sito");
const QString kSiteName = QStringLiteral("nome");
const QString kWhen = QStringLiteral("quando");
const QString kByTitle = QStringLiteral("per_titolo");
const QString kLastTitles = QStringLiteral("ultimi");
const QString kCompany = QStringLiteral("azienda");
const QString kPlace = QStringLiteral("luogo");

QString WhenText(const QDateTime& when) {
    // In its own offset, so that the text says where it was taken.
    return when.toOffsetFromUtc(when.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QByteArray MemoryJson(const ListingMemory& memory) {
    QJsonObject sites;
    for (auto site = memory.sites.cbegin(); site != memory.sites.cend(); ++site) {
        QJsonObject entry{{kSearch, site->search},
                          {kKeys, QJsonArray::fromStringList(site->keys)},
                          {kLastTitles, QJsonArray::fromStringList(site->lastTitles)}};
        if (site->byTitle) entry.insert(kByTitle, true);
        sites.insert(site.key(), entry);
    }
    QJsonArray announced;
    for (const Announced& job : memory.announced) {
        QJsonObject entry{{kTitle, job.title},
                          {kSiteId, job.siteId},
                          {kSiteName, job.site},
                          {kWhen, WhenText(job.when)}};
        if (!job.company.isEmpty()) entry.insert(kCompany, job.company);
        if (!job.place.isEmpty()) entry.insert(kPlace, job.place);
        announced.append(entry);
    }
    const QJsonObject root{{kVersion, 1}, {kSites, sites}, {kAnnounced, announced}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

// Cuts `memory`, whose file took `bytes`, to well within kMaxFileSize: each site's keys to no
// more than the largest share that fits, the oldest first, then the oldest jobs announced.
void FitMemory(ListingMemory& memory, qint64 bytes) {
    const qint64 target = ListingMemoryFile::kMaxFileSize * 3 / 4;
    // What a unit of text takes in the file, measured on the whole.
    qint64 units = 0;
    for (const SeenKeys& seen : memory.sites)
        for (const QString& key : seen.keys) units += key.size() + 4;
    for (const Announced& job : memory.announced)
        units += job.title.size() + job.company.size() + job.place.size() + job.site.size() + 80;
    const double perUnit = units > 0 ? double(bytes) / double(units) : 1.0;
    const auto budget = static_cast<qint64>(double(target) / perUnit);
    // The announced jobs keep a quarter at most; the sites share the rest, none more than an
    // even share of what the smaller ones leave.
    qint64 announcedUnits = 0;
    for (qsizetype i = memory.announced.size() - 1; i >= 0; --i) {
        const Announced& job = memory.announced[i];
        announcedUnits += job.title.size() + job.company.size() + job.place.size() + 80;
        if (announcedUnits > budget / 4) {
            memory.announced.remove(0, i + 1);
            break;
        }
    }
    QList<std::pair<qint64, QString>> sizes;
    for (auto site = memory.sites.cbegin(); site != memory.sites.cend(); ++site) {
        qint64 size = 0;
        for (const QString& key : site->keys) size += key.size() + 4;
        sizes.append({size, site.key()});
    }
    std::sort(sizes.begin(), sizes.end());
    qint64 left = budget - std::min(announcedUnits, budget / 4);
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const qint64 share = std::max<qint64>(0, left) / (sizes.size() - i);
        QStringList& keys = memory.sites[sizes[i].second].keys;
        qint64 size = 0;
        qsizetype first = keys.size();
        while (first > 0 && size + keys[first - 1].size() + 4 <= share)
            size += keys[--first].size() + 4;
        keys.remove(0, first);
        left -= size;
    }
}

// The string at `name` in `object`, or nullopt when it is missing or not a string.
std::optional<QString> StringAt(const QJsonObject& object, const QString& name) {
    const QJsonValue value = object.value(name);
    if (!value.isString()) return std::nullopt;
    return value.toString();
}

// The memory that `bytes` hold, or nullopt with the reason in `why`. A file of the right shape
// gives what it holds of the right kind: a hand edit that spoils one entry costs that entry.
std::optional<ListingMemory> MemoryFromJson(const QByteArray& bytes, QString* why) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        *why = QStringLiteral("non è JSON valido: %1 al byte %2")
                   .arg(error.errorString())
                   .arg(error.offset);
        return std::nullopt;
    }
    const QJsonObject root = doc.object();
    if (!doc.isObject() || root.value(kVersion).toInteger(-1) != 1) {
        *why = QStringLiteral("non è un oggetto con \"%1\": 1").arg(kVersion);
        return std::nullopt;
    }
    ListingMemory memory;
    const QJsonObject sites = root.value(kSites).toObject();
    for (auto site = sites.constBegin(); site != sites.constEnd(); ++site) {
        const QJsonObject entry = site.value().toObject();
        const std::optional<QString> search = StringAt(entry, kSearch);
        if (!search || !entry.value(kKeys).isArray()) continue;
        SeenKeys seen{*search, {}};
        // Keys an earlier version kept whole links as: made canonical, as listings are known
        // by now. Two that become one stay once, where the newer stood.
        QSet<QString> keys;
        const QJsonArray kept = entry.value(kKeys).toArray();
        for (qsizetype i = kept.size() - 1; i >= 0; --i) {
            if (!kept[i].isString()) continue;
            const QString key = CanonicalKey(kept[i].toString());
            if (keys.contains(key)) continue;
            keys.insert(key);
            seen.keys.prepend(key);
        }
        seen.byTitle = entry.value(kByTitle).toBool(false);
        for (const QJsonValue title : entry.value(kLastTitles).toArray())
            if (title.isString()) seen.lastTitles.append(title.toString());
        memory.sites.insert(site.key(), std::move(seen));
    }
    for (const QJsonValue value : root.value(kAnnounced).toArray()) {
        const QJsonObject job = value.toObject();
        const std::optional<QString> title = StringAt(job, kTitle);
        const std::optional<QString> siteId = StringAt(job, kSiteId);
        const std::optional<QString> site = StringAt(job, kSiteName);
        const QDateTime when =
            QDateTime::fromString(StringAt(job, kWhen).value_or(QString()), Qt::ISODateWithMs);
        if (title && siteId && site && when.isValid())
            memory.announced.append({*title, *siteId, *site, when,
                                     StringAt(job, kCompany).value_or(QString()),
                                     StringAt(job, kPlace).value_or(QString())});
    }
    return KeptOfMemory(std::move(memory));
}

// The file as it lies on disk: Text is a memory, NotText a file that is none.
struct MemoryRead {
    FileRead::Kind kind;
    ListingMemory memory{};
    QString reason{};  // why not a memory
};

MemoryRead ReadMemoryFile(const QString& path) {
    FileBytes read = ReadFileBytes(path, ListingMemoryFile::kMaxFileSize);
    if (read.kind != FileRead::Text) return {read.kind, {}, std::move(read.reason)};
    QString why;
    std::optional<ListingMemory> memory = MemoryFromJson(read.bytes, &why);
    if (!memory) return {FileRead::NotText, {}, why};
    return {FileRead::Text, std::move(*memory)};
}

}  // namespace

ListingMemory KeptOfMemory(ListingMemory memory) {
    QDateTime newest;
    for (const Announced& job : memory.announced)
        if (job.when.isValid() && (!newest.isValid() || job.when > newest)) newest = job.when;
    KeepBounds(memory, newest);
    return memory;
}

ListingMemoryFile::ListingMemoryFile(QString path) : path_(std::move(path)) {}

QString ListingMemoryFile::UserPath() {
    return UserDataFile(u"annunci-visti.json");
}

ListingMemoryFile::Loaded ListingMemoryFile::load() {
    Loaded loaded;
    if (path_.isEmpty()) {
        loaded.warnings.append(
            QStringLiteral("nessuna cartella dei dati è nota: gli annunci visti non restano da un "
                           "avvio all'altro"));
        return loaded;
    }
    unreadable_.clear();
    MemoryRead read = ReadMemoryFile(path_);
    if (read.kind == FileRead::NotText) {
        // Looked at again under the lock, in case another copy of the program has just
        // replaced it, and moved aside only if it is still none.
        FileLock lock(FileLock::Beside(path_));
        QString why = lock.take(lockTimeout_);
        if (why.isEmpty()) read = ReadMemoryFile(path_);
        if (why.isEmpty() && read.kind == FileRead::NotText) {
            if (const std::optional<QString> aside = SetAside(path_, &why)) {
                loaded.warnings.append(
                    QStringLiteral("%1 non si legge come gli annunci visti (%2) ed è stato "
                                   "spostato in %3; ogni annuncio conta come nuovo una volta")
                        .arg(path_, read.reason, *aside));
                return loaded;
            }
        }
        if (read.kind == FileRead::NotText) {
            read = {FileRead::Unreadable,
                    {},
                    QStringLiteral("%1, e non si può spostare da parte: %2").arg(read.reason, why)};
        }
    }
    switch (read.kind) {
        case FileRead::Text:
            loaded.memory = std::move(read.memory);
            break;
        case FileRead::Refused:
        case FileRead::Unreadable:
        case FileRead::NotText:
            unreadable_ = read.reason;
            loaded.warnings.append(
                QStringLiteral("impossibile leggere %1: %2; gli annunci visti ripartono da zero e "
                               "non vi sono salvati sopra")
                    .arg(path_, read.reason));
            break;
        case FileRead::Absent:
            break;
    }
    return loaded;
}

WriteResult ListingMemoryFile::save(const ListingMemory& memory) {
    WriteResult result;
    const auto fail = [&](const QString& reason) { return result.fail(path_, reason); };
    if (path_.isEmpty()) return fail(QStringLiteral("nessuna cartella dei dati è nota"));
    if (!unreadable_.isEmpty()) {
        return fail(QStringLiteral("non si è potuto leggere (%1), perciò non è sostituito")
                        .arg(unreadable_));
    }
    const QString folder = QFileInfo(path_).absolutePath();
    if (const QString why = MakePrivateFolder(folder); !why.isEmpty())
        return fail(QStringLiteral("impossibile creare la cartella %1: %2").arg(folder, why));
    FileLock lock(FileLock::Beside(path_));
    if (const QString why = lock.take(lockTimeout_); !why.isEmpty()) return fail(why);

    // What another writer saved since is kept beside ours, key by key.
    MemoryRead now = ReadMemoryFile(path_);
    ListingMemory kept =
        KeptOfMemory(now.kind == FileRead::Text ? MergeMemories(now.memory, memory) : memory);
    QByteArray bytes = MemoryJson(kept);
    if (bytes.size() > kMaxFileSize) {
        // What makes it too large goes, the largest site's oldest keys first: one site's
        // excess must not cost every other site its memory.
        FitMemory(kept, bytes.size());
        bytes = MemoryJson(kept);
        result.warnings.append(
            QStringLiteral("gli annunci visti superavano i %1 MiB che %2 può contenere: sono "
                           "stati tralasciati i più vecchi dei siti più grandi")
                .arg(kMaxFileSize / 1024 / 1024)
                .arg(path_));
    }
    if (bytes.size() > kMaxFileSize) {
        return fail(QStringLiteral("gli annunci visti occuperebbero %1 byte, più dei %2 MiB "
                                   "che il file può contenere; non è stato scritto nulla")
                        .arg(bytes.size())
                        .arg(kMaxFileSize / 1024 / 1024));
    }

    if (const QString why = ReplaceFile(path_, bytes); !why.isEmpty()) return fail(why);
    return result;
}

}  // namespace quintavia
