// The settings file meets hand edits and the program's own writes. Input (see fuzz_input.h):
// the bytes of the file as a hand left it, then any number of section, key and value texts,
// written by the program in turn over it.
//
// - A file of any bytes loads as some settings or as the defaults, never a crash.
// - A file the store can read loads as what it holds, untouched; one it cannot read is moved
//   aside with its bytes intact, and loads as the defaults with a warning.
// - Whatever the file held that the store could read, it still holds after the program's
//   writes, except what they replaced; a file moved aside leaves only them.
// - A write is accepted exactly when the section and key can be names in the file, and what
//   was accepted reads back exactly, through the load of a store that holds nothing in memory.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <optional>
#include <utility>

#include "fuzz_input.h"
#include "store/ini_document.h"
#include "store/settings_file.h"
#include "store/settings_keys.h"

namespace quintavia::fuzz {
namespace {

using Name = std::pair<QString, QString>;  // section, key

// Every write is synced to disk: the scripts that run this point TMPDIR at a memory
// filesystem when there is one, and remove it afterwards even when a run ends in a crash.
const QString& Folder() {
    static QTemporaryDir dir;
    FUZZ_REQUIRE(dir.isValid());
    static const QString path = dir.path();
    return path;
}

// nullopt when there is no such file.
std::optional<QByteArray> Contents(const QString& path) {
    QFile file(path);
    if (!file.exists()) return std::nullopt;
    FUZZ_REQUIRE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// Names a hand-edited file may hold: the pieces of its lines around "[", "]" and "=".
QStringList NamesIn(const QString& text) {
    static const QRegularExpression kBetweenNames(QStringLiteral("[\\n\\[\\]=]"));
    QStringList names;
    for (const QString& piece : text.split(kBetweenNames)) {
        const QString name = piece.trimmed();
        if (IsIniName(name) && !names.contains(name)) names.append(name);
        if (names.size() == 16) break;
    }
    return names;
}

std::optional<QString> ValueIn(const std::optional<IniDocument>& doc, const Name& name) {
    return doc ? doc->value(name.first, name.second) : std::nullopt;
}

void CheckStore(const QList<QByteArrayView>& chunks) {
    // A folder of its own for every input, so that files moved aside before stay out of it.
    const QString folder = Folder() + QStringLiteral("/Quintavia");
    FUZZ_REQUIRE(QDir(folder).removeRecursively() && QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/Quintavia.ini");
    const QByteArray handBytes = chunks[0].toByteArray();
    {
        QFile file(path);
        FUZZ_REQUIRE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_REQUIRE(file.write(handBytes) == handBytes.size());
    }

    // The names to watch: the program's own, those the hand wrote and those written below.
    QStringList sections = {kSectionLastListing, kSectionOptions, kSectionScrollTop,
                            kSectionScrollLeft};
    QStringList keys = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                        QStringLiteral("3")};
    const QStringList handNames = NamesIn(QString::fromUtf8(chunks[0]));
    sections += handNames;
    keys += handNames;
    QList<std::pair<Name, QString>> writes;
    const auto text = [&chunks](qsizetype i) {
        return i < chunks.size() ? ChunkText(chunks[i]) : QString();
    };
    for (qsizetype i = 1; i < chunks.size() && writes.size() < 8; i += 3) {
        const Name name{text(i), text(i + 1)};
        writes.append({name, text(i + 2)});
        sections.append(name.first);
        keys.append(name.second);
    }

    // What the hand left: text the store reads, or nothing at all.
    const std::optional<IniDocument> hand = IniDocument::parse(handBytes);
    // Written out again, it reads the same.
    const std::optional<IniDocument> again =
        hand ? IniDocument::parse(hand->toUtf8()) : std::nullopt;
    FUZZ_REQUIRE(again.has_value() == hand.has_value());
    QHash<Name, std::optional<QString>> expected;
    for (const QString& section : sections) {
        for (const QString& key : keys) {
            const Name name{section, key};
            expected.insert(name, ValueIn(hand, name));
            FUZZ_REQUIRE(ValueIn(again, name) == expected[name]);
        }
    }

    // Start-up: the file read, or moved aside whole.
    SettingsFile store(path);
    const SettingsFile::Loaded loaded = store.load();
    if (hand) {
        FUZZ_REQUIRE(loaded.warnings.isEmpty());
        FUZZ_REQUIRE(loaded.kept == ReadKept(*hand));
        FUZZ_REQUIRE(Contents(path) == handBytes);
    } else {
        FUZZ_REQUIRE(loaded.warnings.size() == 1);
        FUZZ_REQUIRE(loaded.warnings[0].contains(path + QStringLiteral(".bad")));
        FUZZ_REQUIRE(loaded.kept == Kept());
        FUZZ_REQUIRE(!Contents(path));
        FUZZ_REQUIRE(Contents(path + QStringLiteral(".bad")) == handBytes);
    }

    // What the file holds for the store from now on.
    IniDocument model = hand.value_or(IniDocument());
    bool written = false;
    for (const auto& [name, value] : writes) {
        const std::optional<QByteArray> before = Contents(path);
        const WriteResult result = store.write({{name.first, name.second, value}});
        const bool accepted = result.ok;
        FUZZ_REQUIRE(accepted == (IsIniName(name.first) && IsIniName(name.second)));
        if (!accepted) {
            FUZZ_REQUIRE(Contents(path) == before);
            continue;
        }
        // Only what the program wrote was there to read: nothing more is moved aside.
        FUZZ_REQUIRE(result.warnings.isEmpty());
        written = true;
        expected[name] = value;
        model.setValue(name.first, name.second, value);
    }

    // Read back from the file alone, as the next run would.
    const std::optional<QByteArray> after = Contents(path);
    if (written) {
        FUZZ_REQUIRE(after == model.toUtf8());
    } else {
        FUZZ_REQUIRE(after == (hand ? std::optional(handBytes) : std::nullopt));
    }
    const std::optional<IniDocument> afterDoc =
        after ? IniDocument::parse(*after) : std::optional(IniDocument());
    FUZZ_REQUIRE(afterDoc);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        FUZZ_REQUIRE(ValueIn(afterDoc, it.key()) == it.value());
    const SettingsFile::Loaded nextRun = SettingsFile(path).load();
    FUZZ_REQUIRE(nextRun.warnings.isEmpty());
    FUZZ_REQUIRE(nextRun.kept == ReadKept(model));
}

}  // namespace
}  // namespace quintavia::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quintavia::fuzz::CheckStore(quintavia::fuzz::SplitChunks(data, size));
    return 0;
}
