#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "settings/ini_document.h"
#include "settings/ini_file_store.h"
#include "tmpfs_mount.h"

namespace quintavia {
namespace {

// Texts made of the pieces that trip up settings files, in random order and number.
class TextGenerator {
  public:
    explicit TextGenerator(unsigned seed) : rng_(seed) {}

    QString next() {
        static const QStringList pieces = {
            "a",
            "Z",
            "7",
            " ",
            "  ",
            "\t",
            "\n",
            "\r",
            "\r\n",
            "=",
            ";",
            ",",
            "\"",
            "'",
            "\\",
            "\\n",
            "\\u0041",
            "\\\\",
            "@",
            "@Variant(",
            "@@",
            "[",
            "]",
            "[Posizione]",
            "#",
            "%",
            "%20",
            "&amp;",
            "<a>",
            "à",
            "È",
            "ß",
            "€",
            "日本",
            "😀",
            "𝄞",
            QString(QChar(0xd800)),
            QString(QChar(0xdfff)),  // lone surrogates
            QString(QChar(0)),
            QString(QChar(1)),
            QString(QChar(0x1b)),
            QString(QChar(0x7f)),
            QString(QChar(0x85)),
            QString(QChar(0x2028)),
            QString(QChar(0xfeff)),
            "MAGAZZINIERE - ANNUNCIO 4",
            "Valle d'Aosta",
            "0=1",
            "\\u00e8",
        };
        std::uniform_int_distribution<int> length(0, 12);
        std::uniform_int_distribution<qsizetype> piece(0, pieces.size() - 1);
        QString text;
        for (int n = length(rng_); n > 0; --n) text += pieces[piece(rng_)];
        return text;
    }

  private:
    std::mt19937 rng_;
};

TEST(SettingsFileFormat, EveryTextRoundTripsThroughTheFile) {
    TextGenerator generate(4);
    IniDocument doc;
    std::vector<std::pair<QString, QString>> written;
    for (int i = 0; i < 3000; ++i) {
        const QString text = generate.next();
        const QString encoded = EncodeIniValue(text);
        ASSERT_FALSE(encoded.contains(u'\n') || encoded.contains(u'\r'));
        ASSERT_EQ(DecodeIniValue(encoded), text) << i;
        const QString section = QStringLiteral("S%1").arg(i % 7);
        const QString key = QString::number(i);
        doc.setValue(section, key, text);
        written.emplace_back(section, key);
    }
    const QByteArray bytes = doc.toUtf8();
    EXPECT_FALSE(bytes.contains('\0'));
    const std::optional<IniDocument> read = IniDocument::parse(bytes);
    ASSERT_TRUE(read);
    TextGenerator again(4);
    for (const auto& [section, key] : written)
        ASSERT_EQ(read->value(section, key), again.next()) << key.toStdString();
}

class SettingsFile : public ::testing::Test {
  protected:
    QString path() const { return dir.path() + "/Quintavia/Quintavia.ini"; }
    void writeFile(const QByteArray& bytes) const {
        QDir().mkpath(dir.path() + "/Quintavia");
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    QString get(const QString& section, const QString& key, const QString& fallback = "<none>") {
        return IniFileStore(dir.path()).GetSetting(kAppName, section, key, fallback);
    }

    QTemporaryDir dir;
};

TEST_F(SettingsFile, TextsRoundTripThroughTheRealStore) {
    TextGenerator generate(5);
    IniFileStore store(dir.path());
    std::vector<QString> texts;
    for (int i = 0; i < 120; ++i) {
        texts.push_back(generate.next());
        ASSERT_TRUE(store.SaveSetting(kAppName, "Settaggio", QString::number(i), texts.back()));
    }
    // Read back by a store that holds nothing in memory, as the next run would.
    for (int i = 0; i < 120; ++i) EXPECT_EQ(get("Settaggio", QString::number(i)), texts[i]) << i;
    EXPECT_EQ(QFileInfo(path()).absoluteDir().entryList(QDir::Files), QStringList{"Quintavia.ini"});
}

TEST_F(SettingsFile, AbsentReadsAsTheDefaultAndEmptyIsAValue) {
    IniFileStore store(dir.path());
    EXPECT_EQ(store.GetSetting(kAppName, "Posizione", "1", "Abruzzo"), "Abruzzo");
    ASSERT_TRUE(store.SaveSetting(kAppName, "Posizione", "1", ""));
    EXPECT_EQ(store.GetSetting(kAppName, "Posizione", "1", "Abruzzo"), "");
    EXPECT_EQ(store.GetSetting(kAppName, "Posizione", "2", "0"), "0");
    EXPECT_EQ(store.GetSetting(kAppName, "Scroll", "1", "0"), "0");
    // Each application has its own file.
    EXPECT_EQ(store.GetSetting("Altro", "Posizione", "1", "x"), "x");
    EXPECT_EQ(store.filePath(kAppName), path());
}

TEST_F(SettingsFile, AValueEditedByHandReadsAsTheTextItHolds) {
    writeFile(
        "\xEF\xBB\xBF; edited by hand\r\n"
        "0=ignored: no section yet\n"
        "[Settaggio]\n"
        "0=IMPIEGATO, CONTABILE\n"
        "1=\"TRA VIRGOLETTE\"\r\n"
        "  2 = blanks kept after the equals sign  \n"
        "3=@Variant(\\0\\0\\0\\x7f)\n"
        "# a comment\n"
        "[ Posizione ]\n"
        "0=1;2 # not a comment\n"
        "1=Città è più; [Lazio] = a=b\n"
        "2=C:\\cartella\\file\n"
        "not a key line\n"
        "[Scroll]\n"
        "0=\n"
        "1=riga\\nseconda\\u00e8\\\\fine\\x\n"
        "1=the last one wins\n"
        "2=\\u12\n"
        "[broken\n"
        "3=under a broken header\n");
    EXPECT_EQ(get("Settaggio", "0"), "IMPIEGATO, CONTABILE");
    EXPECT_EQ(get("Settaggio", "1"), "\"TRA VIRGOLETTE\"");
    EXPECT_EQ(get("Settaggio", "2"), " blanks kept after the equals sign  ");
    EXPECT_EQ(get("Settaggio", "3"), "@Variant(\\0\\0\\0\\x7f)");
    EXPECT_EQ(get("Posizione", "0"), "1;2 # not a comment");
    EXPECT_EQ(get("Posizione", "1"), "Città è più; [Lazio] = a=b");
    EXPECT_EQ(get("Posizione", "2"), "C:\\cartella\\file");
    EXPECT_EQ(get("Scroll", "0"), "");
    EXPECT_EQ(get("Scroll", "1"), "the last one wins");
    EXPECT_EQ(get("Scroll", "2"), "\\u12");
    EXPECT_EQ(get("Scroll", "3"), "<none>");

    // Escapes are read as such; the program's own writes keep the other entries as read.
    writeFile("[Scroll]\n1=riga\\nseconda\\u00e8\\\\fine\\x\n");
    EXPECT_EQ(get("Scroll", "1"), "riga\nseconda" + QString(QChar(0xe8)) + "\\fine\\x");
    ASSERT_TRUE(IniFileStore(dir.path()).SaveSetting(kAppName, "Left", "0", "12"));
    EXPECT_EQ(readFile(), "[Scroll]\n1=riga\\nseconda\xC3\xA8\\\\fine\\\\x\n\n[Left]\n0=12\n");
}

TEST_F(SettingsFile, ACorruptOrUnreadableFileReadsAsAbsentKeys) {
    const QByteArray corrupt[] = {
        QByteArray("[Posizione]\n1=Citt\xE0\n"),             // Latin-1, not UTF-8
        QByteArray("[Posizione]\n1=Lazio\n\0\0\0\x01", 24),  // binary tail
        QByteArray(5 * 1024 * 1024, 'x'),                    // far too large
    };
    for (const QByteArray& bytes : corrupt) {
        writeFile(bytes);
        EXPECT_EQ(get("Posizione", "1", "Abruzzo"), "Abruzzo");
        // The next write replaces it with a sound file.
        IniFileStore store(dir.path());
        ASSERT_TRUE(store.SaveSetting(kAppName, "Posizione", "2", "1"));
        EXPECT_EQ(readFile(), "[Posizione]\n2=1\n");
    }

    // A folder where the file should be cannot be read, nor replaced.
    QFile::remove(path());
    ASSERT_TRUE(QDir().mkpath(path()));
    EXPECT_EQ(get("Posizione", "1", "Abruzzo"), "Abruzzo");
    IniFileStore store(dir.path());
    EXPECT_FALSE(store.SaveSetting(kAppName, "Posizione", "1", "Lazio"));
    EXPECT_TRUE(store.lastError().contains(path())) << store.lastError().toStdString();
}

TEST_F(SettingsFile, NamesTheFileCannotHoldAreRefused) {
    IniFileStore store(dir.path());
    for (const char* name : {"", " 0", "a=b", "[x]", ";c", "#c", "a\nb", "a\\b"}) {
        EXPECT_FALSE(store.SaveSetting(kAppName, QString::fromLatin1(name), "0", "v")) << name;
        EXPECT_FALSE(store.SaveSetting(kAppName, "Scroll", QString::fromLatin1(name), "v")) << name;
    }
    for (const char* app : {"..", "a/b", ""})
        EXPECT_FALSE(store.SaveSetting(QString::fromLatin1(app), "Scroll", "0", "v")) << app;
    EXPECT_FALSE(IniFileStore(QString()).SaveSetting(kAppName, "Scroll", "0", "v"));
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(SettingsFile, AFolderThatCannotBeMadeFailsTheWrite) {
    // The configuration folder is a regular file: not even root can write under it.
    QFile blocker(dir.path() + "/config");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    IniFileStore store(dir.path() + "/config");
    EXPECT_FALSE(store.SaveSetting(kAppName, "Posizione", "1", "Lazio"));
    EXPECT_TRUE(store.lastError().contains(dir.path() + "/config/Quintavia"));
    EXPECT_TRUE(store.lastError().contains("Not a directory")) << store.lastError().toStdString();
}

// A writer killed at any moment leaves either the file it was replacing or the one it was
// writing, whole: the new file takes the old one's place only once it is complete and on disk.
TEST_F(SettingsFile, AWriterKilledMidWriteLeavesTheOldOrTheNewFileWhole) {
    // Of very different sizes, so that a torn file cannot pass for either.
    const QString shortTitle = "PRIMO TITOLO";
    const QString longTitle = QString(300'000, u'N');
    std::vector<QByteArray> whole;
    for (const QString& title : {shortTitle, longTitle}) {
        IniDocument doc;
        doc.setValue("Settaggio", "0", title);
        doc.setValue("Posizione", "1", "Lazio");
        whole.push_back(doc.toUtf8());
    }
    {
        IniFileStore store(dir.path());
        ASSERT_TRUE(store.SaveSetting(kAppName, "Settaggio", "0", shortTitle));
        ASSERT_TRUE(store.SaveSetting(kAppName, "Posizione", "1", "Lazio"));
        ASSERT_EQ(readFile(), whole[0]);
    }

    std::mt19937 random(9);
    std::uniform_int_distribution<int> delayUs(0, 15000);
    for (int round = 0; round < 60; ++round) {
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            // Writes the two titles in turn until it is killed; it never returns to the test.
            IniFileStore store(dir.path());
            for (int i = 0; i < 100000; ++i)
                store.SaveSetting(kAppName, "Settaggio", "0", i % 2 ? shortTitle : longTitle);
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(delayUs(random)));
        ::kill(writer, SIGKILL);
        int status = 0;
        ::waitpid(writer, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << round;

        const QByteArray now = readFile();
        ASSERT_TRUE(now == whole[0] || now == whole[1]) << round << ": " << now.size() << " bytes";
    }
    // Whatever a kill left unfinished does not get in the way of the next write.
    IniFileStore store(dir.path());
    ASSERT_TRUE(store.SaveSetting(kAppName, "Settaggio", "1", "DOPO"));
    EXPECT_EQ(get("Posizione", "1"), "Lazio");
    EXPECT_EQ(get("Settaggio", "1"), "DOPO");
}

// A write that fails on a full or read-only disk leaves the earlier file whole and nothing
// else behind.
class SettingsOnASmallDisk : public SettingsFile {
  protected:
    void SetUp() override {
        QString why;
        disk = fixtures::TmpfsMount::mount(dir.path(), 64 * 1024, &why);
        if (!disk) GTEST_SKIP() << why.toStdString();
        IniFileStore store(dir.path());
        ASSERT_TRUE(store.SaveSetting(kAppName, "Settaggio", "0", "PRIMO TITOLO"));
        ASSERT_TRUE(store.SaveSetting(kAppName, "Posizione", "1", "Lazio"));
        before = readFile();
    }
    void expectFailureLeavesTheFileWhole(const char* reason) {
        IniFileStore store(dir.path());
        EXPECT_FALSE(store.SaveSetting(kAppName, "Settaggio", "0", QString(3000, u'N')));
        EXPECT_TRUE(store.lastError().contains(path())) << store.lastError().toStdString();
        EXPECT_TRUE(store.lastError().contains(reason)) << store.lastError().toStdString();
        EXPECT_EQ(readFile(), before);
        EXPECT_EQ(QDir(dir.path() + "/Quintavia").entryList(QDir::Files),
                  QStringList{"Quintavia.ini"});
        EXPECT_EQ(get("Settaggio", "0"), "PRIMO TITOLO");
    }

    std::unique_ptr<fixtures::TmpfsMount> disk;
    QByteArray before;
};

TEST_F(SettingsOnASmallDisk, Full) {
    ASSERT_TRUE(disk->fill("filler"));
    expectFailureLeavesTheFileWhole("No space left on device");
}

TEST_F(SettingsOnASmallDisk, ReadOnly) {
    ASSERT_TRUE(disk->makeReadOnly());
    expectFailureLeavesTheFileWhole("not writable");
}

}  // namespace
}  // namespace quintavia
