#include "store/listing_memory_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>
#include <functional>
#include <ostream>

#include "killed_writer.h"
#include "odd_files.h"
#include "own_file_test.h"
#include "qt_printing.h"
#include "store/io/file_lock.h"
#include "stored.h"

namespace quintavia {

void PrintTo(const ListingMemory& memory, std::ostream* out) {
    for (auto site = memory.sites.cbegin(); site != memory.sites.cend(); ++site) {
        *out << '[' << site.key().toStdString() << "] " << site->search.toStdString() << ": "
             << site->keys.size() << " keys from \"" << site->keys.value(0).toStdString() << "\"; ";
    }
    *out << memory.announced.size() << " announced";
    if (!memory.announced.isEmpty())
        *out << " from " << memory.announced.first().when.toString(Qt::ISODate).toStdString();
}

namespace {

using namespace std::chrono_literals;
using namespace Qt::Literals::StringLiterals;

const QDateTime kMonday(QDate(2024, 5, 6), QTime(9, 0), QTimeZone(7200));

QStringList Keys(const QString& prefix, int count) {
    QStringList keys;
    for (int i = 0; i < count; ++i) keys << prefix + QString::number(i);
    return keys;
}

QList<Announced> Jobs(int count, const QDateTime& newest, qint64 secondsApart) {
    QList<Announced> jobs;
    for (int i = count - 1; i >= 0; --i)
        jobs.append(
            {u"lavoro %1"_s.arg(i), u"indeed"_s, u"Indeed"_s, newest.addSecs(-i * secondsApart)});
    return jobs;
}

QStringList LongKeys(int count, int units) {
    QStringList keys;
    for (int i = 0; i < count; ++i) keys << QString::number(i).rightJustified(units, u'k');
    return keys;
}

// The file as an older or other writer could have left it, without the cuts.
QByteArray Json(const ListingMemory& memory) {
    QJsonObject sites;
    for (auto site = memory.sites.cbegin(); site != memory.sites.cend(); ++site)
        sites[site.key()] = QJsonObject{{"ricerca", site->search},
                                        {"chiavi", QJsonArray::fromStringList(site->keys)}};
    QJsonArray jobs;
    for (const Announced& job : memory.announced)
        jobs.append(QJsonObject{{"titolo", job.title},
                                {"sito", job.siteId},
                                {"nome", job.site},
                                {"quando", job.when.toString(Qt::ISODateWithMs)}});
    return QJsonDocument(QJsonObject{{"versione", 1}, {"siti", sites}, {"annunciati", jobs}})
        .toJson();
}

class ListingMemoryFileTest : public OwnFileTest {
  protected:
    ListingMemoryFileTest() : OwnFileTest("annunci-visti.json") {}
    // As the next run would see it.
    ListingMemoryFile::Loaded loadAfresh() const { return ListingMemoryFile(path()).load(); }
};

// Keys are whatever a page gives: every one comes back as it went, under any site id.
TEST_F(ListingMemoryFileTest, AwkwardKeysAndTitlesRoundTrip) {
    const QStringList awkward = {
        u"viewjob?jk=1&from=\"serp\""_s,
        u"riga uno\nriga due\r\nriga tre\r"_s,
        u"\\\"}]},{\"chiavi\":["_s,
        u"ADDETTO \U0001F69A CONSEGNE \U0001D11E"_s,
        u"\u202Eeverse\u200B\uFEFF"_s,
        QString(u"nul\0dentro\x01\x1F\x7F"_s),
        QString(QChar(0xd800)) + u"x"_s + QChar(0xdfff),  // lone surrogates, as a page may give
        u""_s,
        u" "_s,
        QString(20'000, u'x'),
    };
    ListingMemory memory;
    for (const QString& id : {u"0"_s, u""_s, u"sito \"strano\"\n\U0001F600"_s})
        memory.sites[id] = {u"https://example.com/cerca?q=\"cuoco\"&l=Lazio"_s + id, awkward};
    for (int i = 0; i < awkward.size(); ++i) {
        memory.announced.append({awkward[i], awkward[(i + 1) % awkward.size()],
                                 awkward[(i + 2) % awkward.size()],
                                 kMonday.addMSecs(i * 1001).toOffsetFromUtc((i - 4) * 5400)});
    }
    memory.announced.append({u"IN UTC"_s, u"1"_s, u"Jobrapido"_s, kMonday.toUTC()});

    const mode_t umaskBefore = ::umask(022);
    const WriteResult saved = ListingMemoryFile(path()).save(memory);
    ::umask(umaskBefore);
    ASSERT_TRUE(saved) << saved.error.toStdString();
    EXPECT_TRUE(saved.warnings.isEmpty());
    const ListingMemoryFile::Loaded read = loadAfresh();
    // A folded title is kept to its bound.
    ListingMemory cut = memory;
    for (Announced& job : cut.announced) job.title.truncate(kFoldedUnitsKept);
    EXPECT_EQ(read.memory, cut);
    EXPECT_TRUE(read.warnings.isEmpty());
    for (int i = 0; i < memory.announced.size(); ++i)
        EXPECT_EQ(read.memory.announced[i].when.offsetFromUtc(),
                  memory.announced[i].when.offsetFromUtc())
            << i;

    EXPECT_EQ(support::FileMode(path()), 0600);
    EXPECT_EQ(support::FileMode(folder()), 0700);
    EXPECT_EQ(filesInFolder(), QStringList{"annunci-visti.json"});  // the lock went with it
}

// Another writer's save in between is kept, site by site and key by key.
TEST_F(ListingMemoryFileTest, ASaveKeepsWhatAnotherWriterSavedMeanwhile) {
    const Announced early{u"cuoco"_s, u"indeed"_s, u"Indeed"_s, kMonday};
    const Announced late{u"autista"_s, u"miojob"_s, u"MioJob"_s, kMonday.addSecs(60)};
    ListingMemory other;
    other.sites[u"indeed"_s] = {u"cerca?l=Lazio"_s, {u"a"_s, u"b"_s}};
    other.sites[u"infojobs"_s] = {u"cerca"_s, {u"x"_s}};
    other.sites[u"miojob"_s] = {u"vecchia"_s, {u"v"_s}};
    other.announced = {late};
    ASSERT_TRUE(ListingMemoryFile(path()).save(other));

    ListingMemory ours;
    ours.sites[u"indeed"_s] = {u"cerca?l=Lazio"_s, {u"b"_s, u"c"_s}};
    ours.sites[u"miojob"_s] = {u"nuova"_s, {u"n"_s}};
    ours.announced = {early, late};
    ASSERT_TRUE(ListingMemoryFile(path()).save(ours));

    ListingMemory expected;
    expected.sites[u"indeed"_s] = {u"cerca?l=Lazio"_s, {u"a"_s, u"b"_s, u"c"_s}};
    expected.sites[u"infojobs"_s] = {u"cerca"_s, {u"x"_s}};
    expected.sites[u"miojob"_s] = {u"nuova"_s, {u"n"_s}};  // another search: ours alone
    expected.announced = {early, late};
    EXPECT_EQ(loadAfresh().memory, expected);
}

TEST_F(ListingMemoryFileTest, NoFileIsAnEmptyMemoryAndNoPathSavesNothing) {
    const ListingMemoryFile::Loaded read = loadAfresh();
    EXPECT_EQ(read.memory, ListingMemory());
    EXPECT_TRUE(read.warnings.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder()));

    ListingMemoryFile nowhere{QString()};
    EXPECT_EQ(nowhere.load().warnings.size(), 1);
    EXPECT_FALSE(nowhere.save({{{u"0"_s, {u"s"_s, {u"k"_s}}}}, {}}));
}

TEST_F(ListingMemoryFileTest, TheUsersFileIsInTheDataFolder) {
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + "/data"));
    const QString userPath = ListingMemoryFile::UserPath();
    qputenv("XDG_DATA_HOME", before);
    EXPECT_EQ(userPath, dir.path() + "/data/Quintavia/annunci-visti.json");
}

// A save keeps the newest of each list, and so does a load of a file that holds more.
TEST_F(ListingMemoryFileTest, WhatIsKeptIsCutToItsBounds) {
    const auto sites = [](QList<std::pair<QString, int>> counts) {
        QMap<QString, SeenKeys> out;
        for (const auto& [id, count] : counts) out[id] = {u"https://x/"_s + id, Keys(id, count)};
        return out;
    };
    const QDateTime week = kMonday.addDays(-kAnnouncedDays);
    const struct {
        const char* what;
        ListingMemory given;
        ListingMemory kept;
    } cases[] = {
        {"the bounds exactly",
         {sites({{"0", 2000}, {"1", 1}}), Jobs(kAnnouncedKept, kMonday, 60)},
         {sites({{"0", 2000}, {"1", 1}}), Jobs(kAnnouncedKept, kMonday, 60)}},
        {"one key and one job too many",
         {sites({{"0", 2001}, {"2", 4000}}), Jobs(kAnnouncedKept + 1, kMonday, 60)},
         {{{"0", {"https://x/0", Keys("0", 2001).mid(1)}},
           {"2", {"https://x/2", Keys("2", 4000).mid(2000)}}},
          Jobs(kAnnouncedKept, kMonday, 60)}},
        {"a site's keys by their size too, and a folded title cut",
         {{{"0", {"https://x/0", LongKeys(600, 1000)}}},
          {{QString(1000, u'x'), "0", "MioJob", kMonday}}},
         {{{"0", {"https://x/0", LongKeys(600, 1000).mid(600 - kSeenKeyUnitsKept / 1000)}}},
          {{QString(kFoldedUnitsKept, u'x'), "0", "MioJob", kMonday}}}},
        {"a week before the newest job is kept, a second more is not",
         {{},
          {{"vecchio", "0", "MioJob", week.addSecs(-1)},
           {"una settimana", "0", "MioJob", week},
           {"nuovo", "1", "Jobrapido", kMonday}}},
         {{}, {{"una settimana", "0", "MioJob", week}, {"nuovo", "1", "Jobrapido", kMonday}}}},
        {"the newest by time, wherever it is in the list",
         {{}, {{"nuovo", "1", "Jobrapido", kMonday}, {"vecchio", "0", "MioJob", week.addDays(-1)}}},
         {{}, {{"nuovo", "1", "Jobrapido", kMonday}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path());  // a save merges what the file holds
        ASSERT_TRUE(ListingMemoryFile(path()).save(c.given));
        EXPECT_EQ(loadAfresh().memory, c.kept);
        writeFile(Json(c.given));
        const ListingMemoryFile::Loaded read = loadAfresh();
        EXPECT_EQ(read.memory, c.kept);
        EXPECT_TRUE(read.warnings.isEmpty());
    }
}

// Sites by the dozen, each at its bound, make more than the file may hold: the largest lose
// their oldest keys, and every site keeps a memory.
TEST_F(ListingMemoryFileTest, OneSitesExcessNeverStopsTheOthersSave) {
    ListingMemory memory;
    memory.sites[u"piccolo"_s] = {u"https://x/p"_s, Keys(u"p"_s, 3)};
    const QStringList big = LongKeys(kSeenKeysKept, kSeenKeyUnitsKept / kSeenKeysKept);
    for (int i = 0; i < 36; ++i) memory.sites[u"grande-%1"_s.arg(i)] = {u"https://x/g"_s, big};
    const WriteResult saved = ListingMemoryFile(path()).save(memory);
    ASSERT_TRUE(saved) << saved.error.toStdString();
    EXPECT_EQ(saved.warnings.size(), 1);
    EXPECT_LE(QFileInfo(path()).size(), ListingMemoryFile::kMaxFileSize);
    const ListingMemory read = loadAfresh().memory;
    EXPECT_EQ(read.sites.value(u"piccolo"_s).keys, Keys(u"p"_s, 3));
    ASSERT_EQ(read.sites.size(), 37);
    for (auto site = read.sites.cbegin(); site != read.sites.cend(); ++site) {
        if (site.key() == u"piccolo"_s) continue;
        ASSERT_FALSE(site->keys.isEmpty()) << site.key().toStdString();
        EXPECT_EQ(site->keys.last(), big.last());
    }
}

// What an earlier version kept, whole links with their tokens, reads as the links are known
// by now; the titles it kept for sites without links stay as they were.
TEST_F(ListingMemoryFileTest, KeysOfAnEarlierVersionAreMadeCanonical) {
    ListingMemory older;
    older.sites[u"linkedin"_s] = {
        u"https://www.linkedin.com/jobs/search/?keywords=&location=Lazio"_s,
        {u"https://it.linkedin.com/jobs/view/cuoco-at-acme-11?position=1&pageNum=0&refId=a"
         u"&trackingId=b"_s,
         u"https://it.linkedin.com/jobs/view/cuoco-at-acme-11?position=3&pageNum=0&refId=c"
         u"&trackingId=d"_s,
         u"https://it.linkedin.com/jobs/view/barista-at-bar-12?position=2&refId=a#x"_s}};
    older.sites[u"miojob"_s] = {u"http://miojob.repubblica.it/"_s, {u"CUOCO?trk=1"_s}};
    writeFile(Json(older));
    const ListingMemory read = loadAfresh().memory;
    EXPECT_EQ(read.sites.value(u"linkedin"_s).keys,
              (QStringList{u"https://it.linkedin.com/jobs/view/cuoco-at-acme-11"_s,
                           u"https://it.linkedin.com/jobs/view/barista-at-bar-12"_s}));
    EXPECT_EQ(read.sites.value(u"miojob"_s).keys, QStringList{u"CUOCO?trk=1"_s});
}

// A hand edit that spoils an entry costs that entry alone.
TEST_F(ListingMemoryFileTest, EntriesOfTheWrongKindArePassedOver) {
    writeFile(R"({"versione": 1, "altro": true,
        "siti": {
            "0": {"ricerca": "https://a/", "chiavi": ["k1", 2, null, {"k": 1}, ["k"], "k2"]},
            "1": {"ricerca": 5, "chiavi": ["k"]},
            "2": {"chiavi": ["k"]},
            "3": {"ricerca": "https://c/", "chiavi": "k"},
            "4": "k",
            "5": {"ricerca": "https://e/", "chiavi": []}},
        "annunciati": [
            {"titolo": "buono", "sito": "0", "nome": "MioJob", "quando": "2024-05-06T09:00:00+02:00"},
            {"titolo": "senza data", "sito": "0", "nome": "MioJob", "quando": "ieri"},
            {"titolo": "senza nome", "sito": "0", "quando": "2024-05-06T09:00:00+02:00"},
            {"titolo": 7, "sito": "0", "nome": "MioJob", "quando": "2024-05-06T09:00:00+02:00"},
            "buono",
            {"titolo": "", "sito": "", "nome": "", "quando": "2024-05-06T08:00:00.250Z"}]})");
    const ListingMemory expected{
        {{"0", {"https://a/", {"k1", "k2"}}}, {"5", {"https://e/", {}}}},
        {{"buono", "0", "MioJob", kMonday},
         {"", "", "", QDateTime(QDate(2024, 5, 6), QTime(8, 0, 0, 250), Qt::UTC)}}};
    const ListingMemoryFile::Loaded read = loadAfresh();
    EXPECT_EQ(read.memory, expected);
    EXPECT_TRUE(read.warnings.isEmpty());

    writeFile(R"({"versione": 1, "siti": [1], "annunciati": {"a": 1}})");
    EXPECT_EQ(loadAfresh().memory, ListingMemory());
}

// What the program cannot read as its memory is the user's to look at: moved aside whole, and
// the next save starts afresh beside it.
TEST_F(ListingMemoryFileTest, AFileThatIsNotAMemoryIsMovedAsideWithItsBytes) {
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"not JSON", "versione=1\n"},
        {"cut short", R"({"versione": 1, "siti": {"0": {"ricerca": "a", "chi)"},
        {"empty", ""},
        {"an array", "[1, 2]"},
        {"no version", R"({"siti": {}})"},
        {"a later version", R"({"versione": 2, "siti": {}})"},
        {"the version as text", R"({"versione": "1"})"},
        {"Latin-1 in a string", "{\"versione\": 1, \"siti\": {\"Citt\xE0\": {}}}"},
        {"one byte over the limit",
         "{\"versione\": 1}" + QByteArray(ListingMemoryFile::kMaxFileSize - 14, ' ')},
    };
    const ListingMemory next{{{"0", {"https://a/", {"k"}}}}, {}};
    QStringList asideBefore;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(c.bytes);
        const ListingMemoryFile::Loaded read = loadAfresh();
        EXPECT_EQ(read.memory, ListingMemory());
        expectMovedAside(c.bytes, read.warnings, &asideBefore);
        if (HasFatalFailure()) return;

        const WriteResult saved = ListingMemoryFile(path()).save(next);
        ASSERT_TRUE(saved) << saved.error.toStdString();
        EXPECT_EQ(loadAfresh().memory, next);
    }
    EXPECT_EQ(asideBefore.first(), "annunci-visti.json.bad");
}

// One that cannot be moved aside now is left alone, and not saved over.
TEST_F(ListingMemoryFileTest, AFileThatIsNotAMemoryAndStaysInPlaceIsNeverReplaced) {
    writeFile("{");
    ListingMemoryFile file(path());
    file.setLockTimeout(50ms);
    {
        FileLock other(path() + ".lock");
        ASSERT_EQ(other.take(0ms), QString());
        const ListingMemoryFile::Loaded read = file.load();
        ASSERT_EQ(read.warnings.size(), 1);
        EXPECT_TRUE(read.warnings[0].contains(path())) << read.warnings[0].toStdString();
    }
    const WriteResult failed = file.save({{{"0", {"https://a/", {"k"}}}}, {}});
    EXPECT_FALSE(failed);
    EXPECT_TRUE(failed.error.contains(path())) << failed.error.toStdString();
    EXPECT_EQ(readFile(), "{");
    EXPECT_EQ(filesInFolder(), QStringList{"annunci-visti.json"});
}

// No link is followed, not even to a good memory, and nothing waits on a FIFO.
TEST_F(ListingMemoryFileTest, LinksAndOtherKindsOfFileAreRefused) {
    const ListingMemory good{{{"0", {"https://a/", {"k"}}}}, {}};
    ASSERT_TRUE(QDir().mkpath(folder()));
    WithEachOddFileAt(path(), dir.path() + "/elsewhere.json", Json(good), [&](const char* reason) {
        ListingMemoryFile file(path());
        const ListingMemoryFile::Loaded read = file.load();
        EXPECT_EQ(read.memory, ListingMemory());
        ASSERT_EQ(read.warnings.size(), 1);
        EXPECT_TRUE(read.warnings[0].contains(path())) << read.warnings[0].toStdString();
        EXPECT_TRUE(read.warnings[0].contains(reason)) << read.warnings[0].toStdString();
        const WriteResult failed = file.save(good);
        EXPECT_FALSE(failed);
        EXPECT_TRUE(failed.error.contains(path())) << failed.error.toStdString();
        // Refused by a save that never loaded, too.
        const WriteResult failedAfresh = ListingMemoryFile(path()).save(good);
        EXPECT_TRUE(failedAfresh.error.contains(reason)) << failedAfresh.error.toStdString();
    });
    EXPECT_EQ(filesInFolder(), QStringList());
}

// A writer killed at any moment leaves the file it was replacing or the one it was writing.
TEST_F(ListingMemoryFileTest, AWriterKilledMidWriteLeavesTheOldOrTheNewFileWhole) {
    // Of very different sizes, so that a torn file cannot pass for either; on two searches of
    // one site, so that each save puts its own whole in place of the other's.
    const ListingMemory small{{{"0", {"https://a/", {"k"}}}}, {}};
    const ListingMemory full{{{"0", {"https://b/", Keys(QString(100, u'k'), 2000)}}}, {}};
    QByteArray whole[2];
    for (const int i : {1, 0}) {
        ASSERT_TRUE(ListingMemoryFile(path()).save(i ? full : small));
        whole[i] = readFile();
    }
    ASSERT_GT(whole[1].size(), 200'000);

    const KilledWrites killed = KillWritersMidWrite(
        [&](int i) { return ListingMemoryFile(path()).save(i % 2 ? small : full).ok; },
        [&] {
            const QByteArray now = readFile();
            return now == whole[0] ? 0 : now == whole[1] ? 1 : -1;
        },
        2);
    ASSERT_EQ(killed.failure, "");
    EXPECT_GT(killed.seen[0], 0) << killed.rounds << " rounds";
    EXPECT_GT(killed.seen[1], 0) << killed.rounds << " rounds";

    // What the kills left unfinished is cleared by the next save.
    ASSERT_TRUE(ListingMemoryFile(path()).save(small));
    EXPECT_EQ(loadAfresh().memory, small);
    EXPECT_EQ(filesInFolder(), QStringList{"annunci-visti.json"});
}

}  // namespace
}  // namespace quintavia
