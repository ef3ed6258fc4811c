// The settings file meets hand edits and the program's own writes. Input (see fuzz_input.h):
// the bytes of the file as a hand left it, then any number of section, key and value texts,
// written by the program in turn over it.
//
// - A file of any bytes reads as some text or as the defaults, never a crash.
// - Whatever the file held that the store could read, it still holds after the program's
//   writes, except what they replaced; a file the store could not read holds only them.
// - A write is accepted exactly when the section and key can be names in the file, and what
//   was accepted reads back exactly, from a store that holds nothing in memory.
#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <optional>
#include <utility>

#include "fuzz_input.h"
#include "settings/ini_document.h"
#include "settings/ini_file_store.h"
#include "settings/settings_store.h"

namespace quintavia::fuzz {
namespace {

using Name = std::pair<QString, QString>;  // section, key

const QString kDefault = QStringLiteral("<default>");

// Every write is synced to disk: the scripts that run this point TMPDIR at a memory
// filesystem when there is one, and remove it afterwards even when a run ends in a crash.
const QString& Folder() {
    static QTemporaryDir dir;
    FUZZ_REQUIRE(dir.isValid());
    static const QString path = dir.path();
    return path;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
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
    const QString folder = Folder();
    IniFileStore store(folder);
    const QString path = store.filePath(kAppName);
    QDir().mkpath(folder + u'/' + kAppName);
    {
        QFile file(path);
        FUZZ_REQUIRE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_REQUIRE(file.write(chunks[0].data(), chunks[0].size()) == chunks[0].size());
    }

    // The names to watch: the program's own, those the hand wrote and those written below.
    QStringList sections = {QStringLiteral("Settaggio"), QStringLiteral("Posizione"),
                            QStringLiteral("Scroll"), QStringLiteral("Left")};
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
    const std::optional<IniDocument> hand = IniDocument::parse(chunks[0].toByteArray());
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
    for (const QString& section : sections.mid(0, 4)) {
        for (const QString& key : keys.mid(0, 4)) {
            FUZZ_REQUIRE(store.GetSetting(kAppName, section, key, kDefault) ==
                         expected[Name{section, key}].value_or(kDefault));
        }
    }

    bool written = false;
    for (const auto& [name, value] : writes) {
        const QByteArray before = ReadAll(path);
        const bool accepted = store.SaveSetting(kAppName, name.first, name.second, value);
        FUZZ_REQUIRE(accepted == (IsIniName(name.first) && IsIniName(name.second)));
        if (!accepted) {
            FUZZ_REQUIRE(ReadAll(path) == before);
            continue;
        }
        // A file the store could not read is replaced, keeping nothing of it.
        if (!written && !hand) {
            for (auto it = expected.begin(); it != expected.end(); ++it) it.value().reset();
        }
        written = true;
        expected[name] = value;
    }

    // Read back from the file alone, as the next run would.
    const std::optional<IniDocument> after = IniDocument::parse(ReadAll(path));
    FUZZ_REQUIRE(after || !written);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        FUZZ_REQUIRE(ValueIn(after, it.key()) == it.value());
    IniFileStore nextRun(folder);
    for (const auto& [name, value] : writes) {
        if (IsIniName(name.first) && IsIniName(name.second)) {
            FUZZ_REQUIRE(nextRun.GetSetting(kAppName, name.first, name.second, kDefault) ==
                         expected.value(name).value_or(kDefault));
        }
    }
}

}  // namespace
}  // namespace quintavia::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quintavia::fuzz::CheckStore(quintavia::fuzz::SplitChunks(data, size));
    return 0;
}
