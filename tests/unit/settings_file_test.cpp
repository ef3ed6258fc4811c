#include "store/settings_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <new>
#include <random>
#include <vector>

#include "core/layout/panes.h"
#include "kept_sites.h"
#include "killed_writer.h"
#include "odd_files.h"
#include "own_file_test.h"
#include "settings_printing.h"
#include "store/ini_document.h"
#include "store/io/file_lock.h"
#include "tmpfs_mount.h"

namespace quintavia {
namespace {

using namespace std::chrono_literals;

// A write that was made, or its error for the failure message.
::testing::AssertionResult Written(const WriteResult& result) {
    if (result) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << result.error.toStdString();
}

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

    TriState nextState() {
        return static_cast<TriState>(std::uniform_int_distribution(0, 2)(rng_));
    }

  private:
    std::mt19937 rng_;
};

// The plain way of keeping a file's entries, a scan for every name, that the document's
// indexes must agree with.
class ScanningDocument {
  public:
    void setValue(const QString& section, const QString& key, const QString& value) {
        auto s = std::find_if(sections_.begin(), sections_.end(),
                              [&](const auto& each) { return each.first == section; });
        if (s == sections_.end()) s = sections_.insert(sections_.end(), {section, {}});
        auto k = std::find_if(s->second.begin(), s->second.end(),
                              [&](const auto& each) { return each.first == key; });
        if (k == s->second.end())
            s->second.emplace_back(key, value);
        else
            k->second = value;
    }
    QByteArray toUtf8() const {
        QString text;
        for (const auto& [section, entries] : sections_) {
            if (!text.isEmpty()) text += u'\n';
            text += u'[' + section + QLatin1String("]\n");
            for (const auto& [k, v] : entries) text += k + u'=' + EncodeIniValue(v) + u'\n';
        }
        return text.toUtf8();
    }

  private:
    std::vector<std::pair<QString, std::vector<std::pair<QString, QString>>>> sections_;
};

TEST(IniDocument, KeepsTheOrderOfFirstAppearanceAndTheLastValue) {
    std::optional<IniDocument> doc =
        IniDocument::parse("[A]\na=1\nb=2\n[B]\nx=1\n[a]\nq=0\n[A]\nc=3\na=4\n[B]\nx=2\n");
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->toUtf8(), "[A]\na=4\nb=2\nc=3\n\n[B]\nx=2\n\n[a]\nq=0\n");
    doc->setValue("B", "y", "5");
    doc->setValue("C", "z", "6");
    doc->setValue("A", "b", "7");
    EXPECT_EQ(doc->toUtf8(), "[A]\na=4\nb=7\nc=3\n\n[B]\nx=2\ny=5\n\n[a]\nq=0\n\n[C]\nz=6\n");
    EXPECT_EQ(doc->value("A", "c"), "3");
    EXPECT_EQ(doc->value("a", "q"), "0");
    EXPECT_EQ(doc->value("a", "a"), std::nullopt);  // names are case-sensitive
    EXPECT_EQ(doc->value("C", "a"), std::nullopt);
    EXPECT_EQ(doc->value("Z", "z"), std::nullopt);
}

// Many writes over few names, so that most of them find an earlier section or key.
TEST(IniDocument, AgreesWithAScanOfEveryName) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> sectionName(0, 40), keyName(0, 300), value(0, 9);
    IniDocument doc;
    ScanningDocument plain;
    for (int i = 0; i < 20000; ++i) {
        const QString section = QStringLiteral("S%1").arg(sectionName(rng));
        const QString key = QString::number(keyName(rng));
        const QString text = QString::number(value(rng));
        doc.setValue(section, key, text);
        plain.setValue(section, key, text);
        if (i % 2500 == 0) {
            ASSERT_EQ(doc.toUtf8(), plain.toUtf8()) << i;
        }
    }
    ASSERT_EQ(doc.toUtf8(), plain.toUtf8());
    const std::optional<IniDocument> read = IniDocument::parse(doc.toUtf8());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->toUtf8(), plain.toUtf8());
}

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

// Root passes every permission check; the tests of a file the user may not read or a folder
// the user may not change need the checks a user meets. This drops the two capabilities that
// bypass them, for this thread, for as long as it lives.
class WithoutPermissionOverride {
  public:
    WithoutPermissionOverride() {
        if (::syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct dropped[2] = {saved_[0], saved_[1]};
        for (const unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
            dropped[cap / 32].effective &= ~(1u << (cap % 32));
        active_ = ::syscall(SYS_capset, &header_, dropped) == 0;
    }
    ~WithoutPermissionOverride() {
        if (active_) ::syscall(SYS_capset, &header_, saved_);
    }
    WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
    WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

    // Whether permission checks now apply: the capabilities are gone, or were never held.
    bool checksApply() const { return active_ || ::geteuid() != 0; }

  private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};

class SettingsFileTest : public OwnFileTest {
  protected:
    SettingsFileTest() : OwnFileTest("Quintavia.ini") {}
    // As the next run would see it: by a store that holds nothing in memory.
    SettingsFile::Loaded loadAfresh() const { return SettingsFile(path()).load(); }
    static bool contains(const QString& text, const QString& part) { return text.contains(part); }
};

// Every value away from its default.
Kept Unusual() {
    Kept s;
    support::SetLastTitles(s, {"MAGAZZINIERE", "", "CUOCO", "AUTISTA"});
    s.options.autoPosition = TriState::Ticked;
    s.options.region = "Lazio";
    s.options.soundAlert = TriState::Greyed;
    support::SetScrollTops(s, {"10", "20", "30", "40"});
    support::SetScrollLefts(s, {"1", "2", "3", "4"});
    return s;
}

SettingsEntries EveryEntry(const Kept& s) {
    SettingsEntries entries = ShutdownEntries(s);
    for (int site = 0; site < kPaneCount; ++site) entries += ScrollEntries(s, site);
    return entries;
}

TEST_F(SettingsFileTest, TextsRoundTripThroughTheRealFile) {
    TextGenerator generate(5);
    SettingsFile file(path());
    for (int round = 0; round < 40; ++round) {
        Kept s;
        for (QString& title : support::LastTitles(s)) title = generate.next();
        s.options.autoPosition = generate.nextState();
        s.options.region = generate.next();
        s.options.soundAlert = generate.nextState();
        for (QString& offset : support::ScrollTops(s)) offset = generate.next();
        for (QString& offset : support::ScrollLefts(s)) offset = generate.next();
        s.options.includeWords = generate.next();
        s.options.excludeWords = generate.next();
        const WriteResult written = file.write(ShutdownEntries(s));
        ASSERT_TRUE(Written(written));
        EXPECT_TRUE(written.warnings.isEmpty());
        for (int site = 0; site < kPaneCount; ++site)
            ASSERT_TRUE(Written(file.write(ScrollEntries(s, site))));
        const SettingsFile::Loaded read = loadAfresh();
        ASSERT_EQ(read.kept, s) << round;
        ASSERT_TRUE(read.warnings.isEmpty()) << round;
    }
    // The lock goes with the write that held it.
    EXPECT_EQ(filesInFolder(), (QStringList{"Quintavia.ini"}));
}

TEST_F(SettingsFileTest, NoFileLoadsTheDefaultsQuietlyAndLeavesNothingBehind) {
    const SettingsFile::Loaded read = loadAfresh();
    EXPECT_EQ(read.kept, Kept());
    EXPECT_TRUE(read.warnings.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder()));
}

TEST_F(SettingsFileTest, AValueEditedByHandReadsAsTheTextItHolds) {
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
        "2= 2 \n"
        "not a key line\n"
        "[Scroll]\n"
        "0=\n"
        "1=riga\\nseconda\\u00e8\\\\fine\\x\n"
        "1=the last one wins\n"
        "2=\\u12\n"
        "[broken\n"
        "3=under a broken header\n");
    Kept expected;
    support::SetLastTitles(expected,
                           {"IMPIEGATO, CONTABILE", "\"TRA VIRGOLETTE\"",
                            " blanks kept after the equals sign  ", "@Variant(\\0\\0\\0\\x7f)"});
    expected.options.autoPosition = TriState::Unticked;  // "1;2 # not a comment" is no state
    expected.options.region = "Città è più; [Lazio] = a=b";
    expected.options.soundAlert = TriState::Greyed;
    support::SetScrollTops(expected, {"", "the last one wins", "\\u12", "0"});
    const SettingsFile::Loaded read = loadAfresh();
    EXPECT_EQ(read.kept, expected);
    EXPECT_TRUE(read.warnings.isEmpty());

    // Escapes are read as such; the program's own writes keep the other entries as read.
    writeFile("[Scroll]\n1=riga\\nseconda\\u00e8\\\\fine\\x\n");
    EXPECT_EQ(support::DefaultSite(loadAfresh().kept, 1).scrollTop,
              "riga\nseconda" + QString(QChar(0xe8)) + "\\fine\\x");
    Kept s;
    support::DefaultSite(s, 0).scrollLeft = "12";
    SettingsFile file(path());
    ASSERT_TRUE(file.write(ScrollEntries(s, 0)));
    EXPECT_EQ(readFile(), "[Scroll]\n1=riga\\nseconda\xC3\xA8\\\\fine\\\\x\n0=0\n\n[Left]\n0=12\n");
}

// The writer changes what it was given in the file as it is on disk, not a copy of what was
// loaded: keys and sections it does not know, added by hand after start-up, stay.
TEST_F(SettingsFileTest, KeysTheProgramDoesNotKnowSurviveItsWrites) {
    SettingsFile file(path());
    ASSERT_TRUE(file.load().warnings.isEmpty());
    writeFile("[Mio]\nnota=scritta a mano\n[Posizione]\n9=sconosciuta\n1=Molise\n");
    ASSERT_TRUE(file.write(ShutdownEntries(Unusual())));
    ASSERT_TRUE(file.write(ScrollEntries(Unusual(), 3)));
    const std::optional<IniDocument> doc = IniDocument::parse(readFile());
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->value("Mio", "nota"), "scritta a mano");
    EXPECT_EQ(doc->value("Posizione", "9"), "sconosciuta");
    EXPECT_EQ(doc->value("Posizione", "1"), "Lazio");
    EXPECT_EQ(doc->value("Scroll", "3"), "40");
}

// A file that is not text is the user's to recover: moved aside whole, never written over.
TEST_F(SettingsFileTest, AFileThatIsNotTextIsMovedAsideWithItsBytes) {
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"Latin-1", QByteArray("[Scroll]\n0=120\n[Posizione]\n1=Citt\xE0\n")},
        {"NUL bytes", QByteArray("[Scroll]\n0=120\n[Posizione]\n1=Lazio\n\0\0\0\x01", 39)},
        {"too large", QByteArray(5 * 1024 * 1024, 'x')},
        {"one byte over the limit",
         "[Scroll]\n0=120\n;" + QByteArray(SettingsFile::kMaxFileSize - 15, 'x')},
        {"Latin-1 again", QByteArray("[Scroll]\n0=\xB0\n")},
    };
    QStringList asideBefore;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(c.bytes);
        const SettingsFile::Loaded read = loadAfresh();
        EXPECT_EQ(read.kept, Kept());
        expectMovedAside(c.bytes, read.warnings, &asideBefore);
        if (HasFatalFailure()) return;

        SettingsFile file(path());
        const WriteResult written = file.write(ScrollEntries(Unusual(), 1));
        ASSERT_TRUE(Written(written));
        EXPECT_EQ(readFile(), "[Scroll]\n1=20\n\n[Left]\n1=2\n");
        EXPECT_TRUE(written.warnings.isEmpty());
    }
    EXPECT_EQ(asideBefore.first(), "Quintavia.ini.bad");
    EXPECT_EQ(asideBefore.size(), static_cast<qsizetype>(std::size(cases)));
}

TEST_F(SettingsFileTest, AFileThatTurnsToNoTextAfterLoadingIsMovedAsideWhenWritten) {
    SettingsFile file(path());
    ASSERT_TRUE(file.write(EveryEntry(Unusual())));
    ASSERT_EQ(file.load().kept, Unusual());
    const QByteArray bad("[Settaggio]\n0=CAMERIERE\n\xFF\xFE\n");
    writeFile(bad);

    const WriteResult written = file.write(ListingEntries(Unusual()));
    ASSERT_TRUE(Written(written));
    const QStringList& warnings = written.warnings;
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(contains(warnings[0], path()));
    EXPECT_TRUE(contains(warnings[0], path() + ".bad"));
    EXPECT_EQ(readFile(path() + ".bad"), bad);
    EXPECT_EQ(readFile(), "[Settaggio]\n0=MAGAZZINIERE\n1=\n2=CUOCO\n3=AUTISTA\n");
    EXPECT_TRUE(file.write(ListingEntries(Unusual())).warnings.isEmpty());
}

// What the program could not read it has no business replacing: it would put the defaults in
// place of the user's values.
TEST_F(SettingsFileTest, AFileThatCannotBeReadIsNeverReplaced) {
    SettingsFile file(path());
    ASSERT_TRUE(file.write(EveryEntry(Unusual())));
    const QByteArray before = readFile();
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0), 0);
    {
        WithoutPermissionOverride asAUser;
        if (!asAUser.checksApply()) GTEST_SKIP() << "cannot drop root's permission override";
        const SettingsFile::Loaded read = file.load();
        EXPECT_EQ(read.kept, Kept());
        ASSERT_EQ(read.warnings.size(), 1);
        EXPECT_TRUE(contains(read.warnings[0], path())) << read.warnings[0].toStdString();
        EXPECT_TRUE(contains(read.warnings[0], "permesso negato"));

        const WriteResult failed = file.write(ShutdownEntries(Kept()));
        EXPECT_FALSE(failed);
        EXPECT_TRUE(contains(failed.error, path())) << failed.error.toStdString();
        EXPECT_TRUE(contains(failed.error, "permesso negato"));
    }
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0600), 0);
    EXPECT_EQ(readFile(), before);
}

TEST_F(SettingsFileTest, AFileThatIsNotTextAndCannotBeMovedAsideIsNeverReplaced) {
    SettingsFile file(path());
    ASSERT_TRUE(file.write(ScrollEntries(Unusual(), 0)));  // the lock file, made beforehand
    const QByteArray bad("[Scroll]\n0=\xB0\n");
    writeFile(bad);
    ASSERT_EQ(::chmod(QFile::encodeName(folder()).constData(), 0500), 0);
    {
        WithoutPermissionOverride asAUser;
        if (!asAUser.checksApply()) GTEST_SKIP() << "cannot drop root's permission override";
        const SettingsFile::Loaded read = file.load();
        EXPECT_EQ(read.kept, Kept());
        ASSERT_EQ(read.warnings.size(), 1);
        EXPECT_TRUE(contains(read.warnings[0], path())) << read.warnings[0].toStdString();
        EXPECT_TRUE(contains(read.warnings[0], "permesso negato"));

        const WriteResult failed = file.write(ScrollEntries(Unusual(), 0));
        EXPECT_FALSE(failed);
        EXPECT_TRUE(contains(failed.error, path())) << failed.error.toStdString();
        EXPECT_TRUE(contains(failed.error, "permesso negato"));
    }
    ASSERT_EQ(::chmod(QFile::encodeName(folder()).constData(), 0700), 0);
    EXPECT_EQ(readFile(), bad);
    EXPECT_EQ(filesInFolder(), QStringList{"Quintavia.ini"});
}

// No link is followed, not even to a good settings file, and nothing waits on a FIFO.
TEST_F(SettingsFileTest, LinksAndOtherKindsOfFileAreRefused) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    WithEachOddFileAt(
        path(), dir.path() + "/elsewhere.ini", "[Posizione]\n1=Lazio\n", [&](const char* reason) {
            SettingsFile file(path());
            const SettingsFile::Loaded read = file.load();
            EXPECT_EQ(read.kept, Kept());
            ASSERT_EQ(read.warnings.size(), 1);
            EXPECT_TRUE(contains(read.warnings[0], path())) << read.warnings[0].toStdString();
            EXPECT_TRUE(contains(read.warnings[0], reason)) << read.warnings[0].toStdString();

            const WriteResult failed = file.write(EveryEntry(Unusual()));
            EXPECT_FALSE(failed);
            EXPECT_TRUE(contains(failed.error, path())) << failed.error.toStdString();
            EXPECT_TRUE(contains(failed.error, reason)) << failed.error.toStdString();
        });
    EXPECT_EQ(filesInFolder(), QStringList());
}

TEST_F(SettingsFileTest, AFolderThatCannotBeMadeFailsTheWrite) {
    // The configuration folder is a regular file: not even root can make a folder under it.
    QFile blocker(dir.path() + "/config");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString blocked = dir.path() + "/config/Quintavia/Quintavia.ini";
    SettingsFile file(blocked);
    const WriteResult failed = file.write(ShutdownEntries(Unusual()));
    EXPECT_FALSE(failed);
    EXPECT_TRUE(contains(failed.error, blocked)) << failed.error.toStdString();
    EXPECT_TRUE(contains(failed.error, "non è una cartella")) << failed.error.toStdString();
}

TEST_F(SettingsFileTest, TheFoldersItMakesAndTheFileAreTheUsersAlone) {
    const mode_t umaskBefore = ::umask(022);
    const QString deep = dir.path() + "/config/Quintavia/Quintavia.ini";
    SettingsFile file(deep);
    const WriteResult written = file.write(ShutdownEntries(Unusual()));
    ::umask(umaskBefore);
    ASSERT_TRUE(Written(written));
    const auto mode = [](const QString& at) {
        struct stat st {};
        EXPECT_EQ(::stat(QFile::encodeName(at).constData(), &st), 0) << at.toStdString();
        return st.st_mode & 07777;
    };
    EXPECT_EQ(mode(dir.path() + "/config"), 0700u);
    EXPECT_EQ(mode(dir.path() + "/config/Quintavia"), 0700u);
    EXPECT_EQ(mode(deep), 0600u);
}

// The writer makes no file its own reader would refuse: a title too long for the file must not
// cost the offsets saved before.
TEST_F(SettingsFileTest, AWriteTheReaderWouldRefuseIsRefusedAndLosesNothing) {
    SettingsFile file(path());
    for (int site = 0; site < kPaneCount; ++site)
        ASSERT_TRUE(file.write(ScrollEntries(Unusual(), site)));
    const QByteArray before = readFile();

    Kept huge = Unusual();
    support::DefaultSite(huge, 2).lastListing = QString(5'000'000, u'N');
    const WriteResult failed = file.write(ShutdownEntries(huge));
    EXPECT_FALSE(failed);
    EXPECT_TRUE(contains(failed.error, path())) << failed.error.toStdString();
    EXPECT_TRUE(contains(failed.error, "4 MiB")) << failed.error.toStdString();
    EXPECT_EQ(readFile(), before);
    EXPECT_EQ(support::ScrollTops(loadAfresh().kept), support::ScrollTops(Unusual()));

    // At the limit exactly the file is written and read back; one byte more and it is not.
    std::optional<IniDocument> doc = IniDocument::parse(before);
    ASSERT_TRUE(doc);
    ApplyEntries(*doc, {{"Settaggio", "0", ""}});
    const qsizetype room = SettingsFile::kMaxFileSize - doc->toUtf8().size();
    Kept full;
    support::DefaultSite(full, 0).lastListing = QString(room, u'N');
    ASSERT_TRUE(Written(file.write(ListingEntries(full).mid(0, 1))));
    EXPECT_EQ(QFileInfo(path()).size(), SettingsFile::kMaxFileSize);
    const SettingsFile::Loaded read = loadAfresh();
    EXPECT_TRUE(read.warnings.isEmpty());
    EXPECT_EQ(support::DefaultSite(read.kept, 0).lastListing.size(), room);
    EXPECT_EQ(support::ScrollTops(read.kept), support::ScrollTops(Unusual()));

    const QByteArray atTheLimit = readFile();
    support::DefaultSite(full, 0).lastListing += u'N';
    EXPECT_FALSE(file.write(ListingEntries(full).mid(0, 1)));
    EXPECT_EQ(readFile(), atTheLimit);
}

TEST_F(SettingsFileTest, NamesTheFileCannotHoldAreRefusedWithTheWholeWrite) {
    SettingsFile file(path());
    for (const char* name : {"", " 0", "a=b", "[x]", ";c", "#c", "a\nb", "a\\b"}) {
        const QString bad = QString::fromLatin1(name);
        for (const SettingsEntries& entries :
             {SettingsEntries{{bad, "0", "v"}}, SettingsEntries{{"Scroll", bad, "v"}},
              SettingsEntries{{"Scroll", "0", "v"}, {bad, "1", "v"}}}) {
            const WriteResult failed = file.write(entries);
            EXPECT_FALSE(failed) << name;
            EXPECT_TRUE(contains(failed.error, path())) << failed.error.toStdString();
        }
    }
    EXPECT_FALSE(QFileInfo::exists(path()));
}

TEST_F(SettingsFileTest, NoPathMeansDefaultsAndNoWrites) {
    SettingsFile file{QString()};
    const SettingsFile::Loaded read = file.load();
    EXPECT_EQ(read.kept, Kept());
    EXPECT_EQ(read.warnings.size(), 1);
    const WriteResult failed = file.write(ShutdownEntries(Unusual()));
    EXPECT_FALSE(failed);
    EXPECT_FALSE(failed.error.isEmpty());
}

TEST_F(SettingsFileTest, TheUsersFileIsInTheConfigurationFolder) {
    const QByteArray before = qgetenv("XDG_CONFIG_HOME");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path() + "/config"));
    const QString userPath = SettingsFile::UserPath();
    if (wasSet)
        qputenv("XDG_CONFIG_HOME", before);
    else
        qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(userPath, dir.path() + "/config/Quintavia/Quintavia.ini");
}

// Two copies of the program, each with its own SettingsFile, write in turn: each keeps what
// the other wrote, and the last writer of a key wins.
TEST_F(SettingsFileTest, TwoStoresWritingInTurnKeepEachOthersKeys) {
    SettingsFile first(path());
    SettingsFile second(path());
    Kept a = first.load().kept;
    Kept b = second.load().kept;
    for (int round = 0; round < 5; ++round) {
        support::DefaultSite(a, 0).scrollTop = QString::number(100 + round);
        support::DefaultSite(b, 1).scrollTop = QString::number(200 + round);
        support::SetLastTitles(a, {"A", "A", "A", QString::number(round)});
        support::SetLastTitles(b, {"B", "B", "B", QString::number(round)});
        b.options.region = QStringLiteral("Regione %1").arg(round);
        ASSERT_TRUE(first.write(ScrollEntries(a, 0)));
        ASSERT_TRUE(second.write(ShutdownEntries(b)));
        ASSERT_TRUE(second.write(ScrollEntries(b, 1)));
        ASSERT_TRUE(first.write(ListingEntries(a)));

        const Kept read = loadAfresh().kept;
        EXPECT_EQ(support::DefaultSite(read, 0).scrollTop, support::DefaultSite(a, 0).scrollTop);
        EXPECT_EQ(support::DefaultSite(read, 1).scrollTop, support::DefaultSite(b, 1).scrollTop);
        EXPECT_EQ(support::LastTitles(read), support::LastTitles(a));  // first wrote them last
        EXPECT_EQ(read.options.region, b.options.region);
    }
}

// Shared between the test and the writers it forks.
struct SharedCounts {
    std::atomic<int> written[2];
    std::atomic<bool> done[2];
};

// Two processes write their own keys at the same time, each until both have written
// fifty times, so that their writes overlap however the machine schedules them. Before each
// write a process checks that its previous value is still in the file: a write built from a
// stale read would have put an older one back.
TEST_F(SettingsFileTest, TwoProcessesWritingAtOnceKeepEachOthersKeys) {
    static_assert(std::atomic<int>::is_always_lock_free);
    void* memory = ::mmap(nullptr, sizeof(SharedCounts), PROT_READ | PROT_WRITE,
                          MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    auto* shared = new (memory) SharedCounts{};
    int start[2];
    ASSERT_EQ(::pipe(start), 0);

    enum Exit { Ok = 0, WriteFailed = 10, ValueLost = 11, NoEnd = 12 };
    pid_t writers[2];
    for (int me = 0; me < 2; ++me) {
        writers[me] = ::fork();
        ASSERT_GE(writers[me], 0);
        if (writers[me] != 0) continue;
        const auto finish = [&](Exit code) {
            shared->done[me] = true;
            ::_exit(code);
        };
        ::close(start[1]);
        char go;
        while (::read(start[0], &go, 1) < 0 && errno == EINTR) {
        }
        const int other = 1 - me;
        SettingsFile file(path());
        file.setLockTimeout(60s);
        Kept mine;
        for (int n = 0; n < 20000; ++n) {
            if (n >= 50 && (shared->written[other] >= 50 || shared->done[other])) finish(Ok);
            if (support::DefaultSite(SettingsFile(path()).load().kept, me).scrollTop !=
                support::DefaultSite(mine, me).scrollTop)
                finish(ValueLost);
            support::DefaultSite(mine, me).scrollTop = QString::number(n + 1);
            support::DefaultSite(mine, me).scrollLeft = QStringLiteral("%1-%2").arg(me).arg(n + 1);
            if (!file.write(ScrollEntries(mine, me))) finish(WriteFailed);
            shared->written[me] = n + 1;
        }
        finish(NoEnd);
    }
    ::close(start[0]);
    ::close(start[1]);  // both start now

    for (int me = 0; me < 2; ++me) {
        int status = 0;
        ASSERT_EQ(::waitpid(writers[me], &status, 0), writers[me]);
        ASSERT_TRUE(WIFEXITED(status)) << me;
        EXPECT_EQ(WEXITSTATUS(status), Ok) << me;
    }
    const Kept read = loadAfresh().kept;
    for (int me = 0; me < 2; ++me) {
        const int written = shared->written[me];
        EXPECT_GE(written, 50);
        EXPECT_EQ(support::DefaultSite(read, me).scrollTop, QString::number(written)) << me;
        EXPECT_EQ(support::DefaultSite(read, me).scrollLeft,
                  QStringLiteral("%1-%2").arg(me).arg(written))
            << me;
    }
    ::munmap(memory, sizeof(SharedCounts));
}

// A write waits for another copy's write to end, then builds on what that one left.
TEST_F(SettingsFileTest, AWriteWaitsForTheLockAndBuildsOnWhatItsHolderWrote) {
    SettingsFile file(path());
    ASSERT_TRUE(file.write(ScrollEntries(Unusual(), 0)));
    int locked[2];
    ASSERT_EQ(::pipe(locked), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        // Holds the lock, reads the file, tells the test, and replaces the file with what it
        // read and a key of its own while the test's write waits: a write that did not wait
        // would be lost.
        FileLock lock(path() + ".lock");
        if (!lock.take(0ms).isEmpty()) ::_exit(1);
        const QByteArray read = readFile();
        if (::write(locked[1], "L", 1) != 1) ::_exit(2);
        // Long enough for the test's write to start waiting, in all likelihood; should it
        // start later, it proves less but cannot fail.
        ::usleep(200'000);
        QFile next(path() + ".holder");
        if (!next.open(QIODevice::WriteOnly) || next.write(read + "[Mio]\nnota=x\n") < 0)
            ::_exit(3);
        next.close();
        if (::rename(QFile::encodeName(next.fileName()), QFile::encodeName(path())) != 0)
            ::_exit(4);
        ::_exit(0);  // the lock goes with the process
    }
    ::close(locked[1]);
    char byte;
    ASSERT_EQ(::read(locked[0], &byte, 1), 1);
    ::close(locked[0]);

    file.setLockTimeout(60s);
    ASSERT_TRUE(Written(file.write(ScrollEntries(Unusual(), 1))));
    int status = 0;
    ASSERT_EQ(::waitpid(holder, &status, 0), holder);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::optional<IniDocument> doc = IniDocument::parse(readFile());
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->value("Mio", "nota"), "x");
    EXPECT_EQ(doc->value("Scroll", "0"), "10");
    EXPECT_EQ(doc->value("Scroll", "1"), "20");
}

TEST_F(SettingsFileTest, ALockHeldTooLongFailsTheWrite) {
    SettingsFile file(path());
    ASSERT_TRUE(file.write(ScrollEntries(Unusual(), 0)));
    const QByteArray before = readFile();
    file.setLockTimeout(100ms);
    FileLock holder(path() + ".lock");
    ASSERT_EQ(holder.take(0ms), QString());
    const WriteResult failed = file.write(ScrollEntries(Unusual(), 1));
    EXPECT_FALSE(failed);
    EXPECT_TRUE(contains(failed.error, path())) << failed.error.toStdString();
    EXPECT_TRUE(contains(failed.error, path() + ".lock"));
    EXPECT_EQ(readFile(), before);
}

// Only a lock whose holder still runs here is waited for: anything else in its place is taken
// for a lock left behind, and never opened if it is not a regular file.
TEST_F(SettingsFileTest, ALockThatCannotBeALiveCopysIsTakenOver) {
    const QByteArray lockPath = QFile::encodeName(path() + ".lock");
    const auto writeLock = [&](const QByteArray& bytes, int ageSeconds) {
        QFile lock(QFile::decodeName(lockPath));
        if (!lock.open(QIODevice::WriteOnly) || lock.write(bytes) != bytes.size()) return false;
        lock.close();
        const QDateTime then = QDateTime::currentDateTime().addSecs(-ageSeconds);
        return lock.open(QIODevice::ReadWrite) &&
               lock.setFileTime(then, QFileDevice::FileModificationTime);
    };
    const struct {
        const char* what;
        std::function<bool()> leave;
    } cases[] = {
        {"a holder killed with it",
         [&] {
             const pid_t child = ::fork();
             if (child == 0) {
                 FileLock lock(QFile::decodeName(lockPath));
                 if (!lock.take(0ms).isEmpty()) ::_exit(1);
                 ::raise(SIGKILL);
             }
             int status = 0;
             return child > 0 && ::waitpid(child, &status, 0) == child && WIFSIGNALED(status);
         }},
        {"an empty file, as older versions left", [&] { return writeLock({}, 60); }},
        {"words of another program", [&] { return writeLock("not a lock at all", 60); }},
        {"another host's", [&] { return writeLock("1\nquintavia\nelsewhere.example\n", 0); }},
        {"a link to nothing",
         [&] { return ::symlink("/nonexistent/lock", lockPath.constData()) == 0; }},
        {"a FIFO", [&] { return ::mkfifo(lockPath.constData(), 0600) == 0; }},
    };
    ASSERT_TRUE(QDir().mkpath(folder()));
    SettingsFile file(path());
    file.setLockTimeout(60s);  // a lock taken for a live one's would wait this long
    int round = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.leave());
        Kept s = Unusual();
        support::DefaultSite(s, 1).scrollTop = QString::number(++round);
        ASSERT_TRUE(Written(file.write(ScrollEntries(s, 1))));
        EXPECT_EQ(support::DefaultSite(loadAfresh().kept, 1).scrollTop, QString::number(round));
        EXPECT_FALSE(QFileInfo(QFile::decodeName(lockPath)).isSymLink());
        EXPECT_FALSE(QFileInfo::exists(QFile::decodeName(lockPath)));
    }
}

// A writer killed at any moment leaves either the file it was replacing or the one it was
// writing, whole: the new file takes the old one's place only once it is complete and on disk.
TEST_F(SettingsFileTest, AWriterKilledMidWriteLeavesTheOldOrTheNewFileWhole) {
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
        SettingsFile file(path());
        ASSERT_TRUE(file.write({{"Settaggio", "0", shortTitle}, {"Posizione", "1", "Lazio"}}));
        ASSERT_EQ(readFile(), whole[0]);
    }

    const KilledWrites killed = KillWritersMidWrite(
        [&](int i) {
            return SettingsFile(path())
                .write({{"Settaggio", "0", i % 2 ? shortTitle : longTitle}})
                .ok;
        },
        [&] {
            const QByteArray now = readFile();
            return now == whole[0] ? 0 : now == whole[1] ? 1 : -1;
        },
        2);
    ASSERT_EQ(killed.failure, "");
    // Both outcomes, or the kills never landed where they had to.
    EXPECT_GT(killed.seen[0], 0) << killed.rounds << " rounds";
    EXPECT_GT(killed.seen[1], 0) << killed.rounds << " rounds";

    // Whatever a kill left unfinished does not get in the way of the next write, nor stays: a
    // lock killed before its holder wrote it waits out its short age at most.
    SettingsFile file(path());
    ASSERT_TRUE(Written(file.write({{"Settaggio", "1", "DOPO"}})));
    const Kept read = loadAfresh().kept;
    EXPECT_EQ(read.options.region, "Lazio");
    EXPECT_EQ(support::DefaultSite(read, 1).lastListing, "DOPO");
    EXPECT_EQ(filesInFolder(), QStringList{"Quintavia.ini"});
}

// A write that fails on a full or read-only disk leaves the earlier file whole and nothing
// else behind, and says why.
class SettingsOnASmallDisk : public SettingsFileTest {
  protected:
    void SetUp() override {
        QString why;
        disk = fixtures::TmpfsMount::mount(dir.path(), 64 * 1024, &why);
        if (!disk) GTEST_SKIP() << why.toStdString();
        SettingsFile file(path());
        ASSERT_TRUE(file.write({{"Settaggio", "0", "PRIMO TITOLO"}, {"Posizione", "1", "Lazio"}}));
        before = readFile();
    }
    void expectFailureLeavesTheFileWhole(const char* reason) {
        SettingsFile file(path());
        Kept s = Unusual();
        support::DefaultSite(s, 0).lastListing = QString(3000, u'N');
        const WriteResult failed = file.write(ShutdownEntries(s));
        EXPECT_FALSE(failed);
        EXPECT_TRUE(contains(failed.error, path())) << failed.error.toStdString();
        EXPECT_TRUE(contains(failed.error, reason)) << failed.error.toStdString();
        EXPECT_EQ(readFile(), before);
        EXPECT_EQ(filesInFolder(), QStringList{"Quintavia.ini"});
        const SettingsFile::Loaded read = loadAfresh();
        EXPECT_EQ(support::DefaultSite(read.kept, 0).lastListing, "PRIMO TITOLO");
        EXPECT_EQ(read.kept.options.region, "Lazio");
    }

    std::unique_ptr<fixtures::TmpfsMount> disk;
    QByteArray before;
};

TEST_F(SettingsOnASmallDisk, Full) {
    ASSERT_TRUE(disk->fill("filler"));
    expectFailureLeavesTheFileWhole("spazio esaurito sul dispositivo");
}

TEST_F(SettingsOnASmallDisk, ReadOnly) {
    ASSERT_TRUE(disk->makeReadOnly());
    expectFailureLeavesTheFileWhole("file system in sola lettura");
}

}  // namespace
}  // namespace quintavia
