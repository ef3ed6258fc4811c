#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimeZone>
#include <functional>

#include "core/text/shown_text.h"
#include "csv_reader.h"
#include "qt_printing.h"
#include "store/history_csv.h"
#include "store/history_file.h"
#include "stored.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(HistoryCsv, FieldsAreQuotedOnlyWhenTheyMustBe) {
    struct Case {
        const char* what;
        QString field;
        QString expected;
    };
    const Case cases[] = {
        {"plain", u"CUOCO CAPO PARTITA"_s, u"CUOCO CAPO PARTITA"_s},
        {"empty", u""_s, u""_s},
        {"a comma", u"CUOCO, AIUTO"_s, u"\"CUOCO, AIUTO\""_s},
        {"quotes", u"IL \"CAPO\""_s, u"\"IL \"\"CAPO\"\"\""_s},
        {"only a quote", u"\""_s, u"\"\"\"\""_s},
        {"LF", u"UNO\nDUE"_s, u"\"UNO\nDUE\""_s},
        {"CR", u"UNO\rDUE"_s, u"\"UNO\rDUE\""_s},
        {"CRLF", u"UNO\r\nDUE"_s, u"\"UNO\r\nDUE\""_s},
        {"blanks stay as they are", u" A B "_s, u" A B "_s},
        // A spreadsheet set for Italian splits on semicolons.
        {"a semicolon", u" A; B "_s, u"\" A; B \""_s},
        {"an apostrophe", u"D'ALBERGO"_s, u"D'ALBERGO"_s},
        {"outside the BMP", u"\U0001F69A"_s, u"\U0001F69A"_s},
    };
    for (const Case& c : cases) EXPECT_EQ(CsvField(c.field), c.expected) << c.what;
    EXPECT_EQ(CsvLine({u"a"_s, u"b,c"_s, u""_s}), u"a,\"b,c\",\r\n"_s);
    EXPECT_EQ(HistoryHeader(),
              u"data,sito,annuncio,indirizzo,filtrato,anche su,azienda,luogo,pubblicato,id sito,"
              u"chiave\r\n"_s);
}

TEST(HistoryCsv, TimesAreLocalWithTheirOffset) {
    const QDate day(2024, 3, 31);
    const QTime time(2, 30, 5, 250);
    EXPECT_EQ(HistoryTime(QDateTime(day, time, QTimeZone(2 * 3600))),
              u"2024-03-31T02:30:05+02:00"_s);
    EXPECT_EQ(HistoryTime(QDateTime(day, time, QTimeZone(-(5 * 3600 + 1800)))),
              u"2024-03-31T02:30:05-05:30"_s);
    EXPECT_EQ(HistoryTime(QDateTime(day, time, QTimeZone::utc())), u"2024-03-31T02:30:05Z"_s);
    EXPECT_EQ(HistoryTime(QDateTime(day, time, QTimeZone(0))), u"2024-03-31T02:30:05Z"_s);
    // The machine's own time says its offset too.
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime back = QDateTime::fromString(HistoryTime(now), Qt::ISODate);
    EXPECT_EQ(back.offsetFromUtc(), now.offsetFromUtc());
    EXPECT_EQ(back.toSecsSinceEpoch(), now.toSecsSinceEpoch());

    const QDateTime when(day, time, QTimeZone(3600));
    EXPECT_EQ(HistoryLine({.when = when,
                           .site = u"Jobrapido"_s,
                           .title = u"CUOCO, \"CAPO\""_s,
                           .page = QUrl(u"http://it.jobrapido.com/?w=&l=Lazio"_s)}),
              u"2024-03-31T02:30:05+01:00,Jobrapido,\"CUOCO, \"\"CAPO\"\"\","
              u"http://it.jobrapido.com/?w=&l=Lazio,,,,,,,\r\n"_s);
    // What would turn the line around, or make the file binary, is not written.
    EXPECT_EQ(HistoryLine({.when = when,
                           .site = u"Jobonline"_s,
                           .title = u"CUOCO\u202E"_s + QChar(0) + u"\nCAPO"_s,
                           .page = QUrl(u"http://www.jobonline.it/?q=%E2%80%AE%00"_s)}),
              u"2024-03-31T02:30:05+01:00,Jobonline,CUOCO CAPO,"
              u"http://www.jobonline.it/?q=%E2%80%AE%00,,,,,,,\r\n"_s);
    // The listing's own link, filtered, and seen on another site.
    EXPECT_EQ(HistoryLine({.when = when,
                           .site = u"Indeed"_s,
                           .title = u"Cuoco"_s,
                           .link = QUrl(u"https://it.indeed.com/viewjob?jk=1"_s),
                           .page = QUrl(u"https://it.indeed.com/lavoro"_s),
                           .filtered = true,
                           .alsoOn = u"Subito"_s}),
              u"2024-03-31T02:30:05+01:00,Indeed,Cuoco,https://it.indeed.com/viewjob?jk=1,sì,"
              u"Subito,,,,,\r\n"_s);
}

// No cell of the history is run as a formula by a spreadsheet, and the list reads each back as
// it was.
TEST(HistoryCsv, FormulaCellsAreDefusedAndReadBackAsTheyWere) {
    struct Case {
        QString cell;
        QString written;
    };
    const QList<Case> cases = {
        {u"=HYPERLINK(\"http://x\")"_s, u"'=HYPERLINK(\"http://x\")"_s},
        {u"+39 cuoco"_s, u"'+39 cuoco"_s},
        {u"-1"_s, u"'-1"_s},
        {u"@SUM(A1)"_s, u"'@SUM(A1)"_s},
        {u"\tcmd"_s, u"'\tcmd"_s},
        {u"\rcmd"_s, u"'\rcmd"_s},
        {u"'=già difeso"_s, u"''=già difeso"_s},
        {u"'apostrofo"_s, u"'apostrofo"_s},
        {u"Cuoco = chef"_s, u"Cuoco = chef"_s},
        {u""_s, u""_s},
        {u"'"_s, u"'"_s},
        // A spreadsheet that splits on semicolons begins a cell past each one.
        {u"Magazziniere;=1+1;fine"_s, u"Magazziniere;'=1+1;fine"_s},
        {u"Cuoco;-2+3+cmd|' /C calc'!A0"_s, u"Cuoco;'-2+3+cmd|' /C calc'!A0"_s},
        {u"=a;+b;'@c;d"_s, u"'=a;'+b;''@c;d"_s},
        {u"a;;b;"_s, u"a;;b;"_s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DefusedCell(c.cell), c.written) << c.cell.toStdString();
        EXPECT_EQ(UndefusedCell(c.written), c.cell) << c.cell.toStdString();
    }

    const QDateTime when(QDate(2024, 5, 1), QTime(9, 0), QTimeZone(7200));
    const FoundListing formula{.when = when,
                               .site = u"Subito"_s,
                               .title = u"=1+1 magazziniere"_s,
                               .page = QUrl(u"https://www.subito.it/annunci/1"_s),
                               .filtered = true,
                               .alsoOn = u"-Indeed"_s};
    const QString text = HistoryHeader() + HistoryLine(formula);
    EXPECT_TRUE(text.contains(u",'=1+1 magazziniere,"_s));
    EXPECT_EQ(FoundInHistory(text), QList<FoundListing>{formula});

    // Every column reads back: the card's details, the site's id and the key as it was, a long
    // link with a password and a title with line breaks among them.
    const FoundListing full{
        .when = when,
        .siteId = u"jobrapido-2025"_s,
        .site = u"Jobrapido"_s,
        .title = u"Cuoco;=2"_s,
        .link = QUrl(u"https://it.jobrapido.com/o/1"_s),
        .page = QUrl(u"https://it.jobrapido.com/"_s),
        .company = u"Acme; Beta"_s,
        .place = u"Roma"_s,
        .published = u"2024-05-01"_s,
        .key = u"https://u:p@it.jobrapido.com/"_s + QString(3000, u'p') + u"\n=Cuoco\u202E%"_s};
    const QList<FoundListing> read = FoundInHistory(HistoryHeader() + HistoryLine(full));
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read[0].key, full.key);
    EXPECT_EQ(read[0].siteId, full.siteId);
    EXPECT_EQ(read[0].title, full.title);
    EXPECT_EQ(read[0].company, full.company);
    EXPECT_EQ(read[0].place, full.place);
    EXPECT_EQ(read[0].published, full.published);
}

// What the list reads from the history: files from before the last two columns, and a last
// line cut by a crash, give what they hold.
TEST(HistoryCsv, OlderFilesAndACutLastLineReadBack) {
    const QString older =
        u"data,sito,annuncio,indirizzo\r\n"
        u"2024-05-01T09:00:00+02:00,MioJob,CUOCO,http://miojob.repubblica.it/offerte\r\n"
        u"non una data,MioJob,CUOCO,http://x\r\n"
        u"2024-05-01T09:05:00+02:00,InfoJobs\r\n"
        u"2024-05-01T09:10:00+02:00,InfoJobs,\"AUTISTA, C\",http://www.infojobs.it/\r\n"
        u"2024-05-01T09:15:00+02:00,Jobrapido,\"TAGLIATO"_s;
    const QList<FoundListing> found = FoundInHistory(older);
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found[0].site, u"MioJob"_s);
    EXPECT_EQ(found[0].title, u"CUOCO"_s);
    EXPECT_EQ(found[0].address(), QUrl(u"http://miojob.repubblica.it/offerte"_s));
    EXPECT_EQ(found[0].when.offsetFromUtc(), 7200);
    EXPECT_FALSE(found[0].filtered);
    EXPECT_EQ(found[1].title, u"AUTISTA, C"_s);
    EXPECT_TRUE(found[1].alsoOn.isEmpty());
}

QString Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : u"<absent>"_s;
}

QString Line(int n, const QString& title) {
    return HistoryLine({.when = QDateTime(QDate(2024, 5, 1), QTime(9, 0, n % 60), QTimeZone(7200)),
                        .site = u"MioJob"_s,
                        .title = title,
                        .page = QUrl(u"http://miojob.repubblica.it/offerte"_s)});
}

TEST(HistoryFile, AwkwardTitlesReadBackAsWritten) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    HistoryFile history(home.path() + u"/data/Quintavia/cronologia.csv"_s);
    const QStringList titles = {
        u"CUOCO \"CAPO\", PARTITA"_s,
        u"RIGA UNO\nRIGA DUE"_s,
        u"RITORNO\rA CAPO\r\n"_s,
        u"ADDETTO \U0001F69A CONSEGNE"_s,
        u"\""_s,
        u","_s,
        u""_s,
        u" SPAZI "_s,
    };
    for (int i = 0; i < titles.size(); ++i) ASSERT_TRUE(history.append(Line(i, titles[i])));

    const std::optional<QList<QStringList>> rows = support::ReadCsv(Contents(history.path()));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), titles.size() + 1);
    EXPECT_EQ(rows->first(), (QStringList{u"data"_s, u"sito"_s, u"annuncio"_s, u"indirizzo"_s,
                                          u"filtrato"_s, u"anche su"_s, u"azienda"_s, u"luogo"_s,
                                          u"pubblicato"_s, u"id sito"_s, u"chiave"_s}));
    for (int i = 0; i < titles.size(); ++i) {
        const QStringList& row = (*rows)[i + 1];
        ASSERT_EQ(row.size(), 11) << i;
        EXPECT_EQ(row[0], u"2024-05-01T09:00:0%1+02:00"_s.arg(i)) << i;
        EXPECT_EQ(row[1], u"MioJob"_s) << i;
        // Line breaks are written as spaces.
        EXPECT_EQ(row[2], ShownText(titles[i])) << i;
        EXPECT_EQ(row[3], u"http://miojob.repubblica.it/offerte"_s) << i;
    }
    EXPECT_EQ(support::FileMode(history.path()), 0600);
    EXPECT_EQ(support::FileMode(home.path() + u"/data/Quintavia"_s), 0700);
    EXPECT_EQ(support::FileMode(home.path() + u"/data"_s), 0700);

    // Opening it makes no second header; a missing file is made with its header alone.
    ASSERT_TRUE(history.create());
    EXPECT_EQ(support::ReadCsv(Contents(history.path()))->size(), titles.size() + 1);
    HistoryFile fresh(home.path() + u"/other/cronologia.csv"_s);
    ASSERT_TRUE(fresh.create());
    EXPECT_EQ(Contents(fresh.path()), HistoryHeader());
}

TEST(HistoryFile, RotationKeepsOnePreviousFile) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString path = home.path() + u"/cronologia.csv"_s;
    const qint64 limit = 600;
    HistoryFile history(path, limit);
    const qint64 lineBytes = Line(0, u"TITOLO 00"_s).toUtf8().size();
    const qint64 headerBytes = HistoryHeader().toUtf8().size();
    // As many lines as fit under the limit with the header.
    const int perFile = static_cast<int>((limit - headerBytes) / lineBytes);
    ASSERT_GE(perFile, 3);

    int n = 0;
    const auto title = [](int i) {
        return u"TITOLO DI PROVA %1"_s.arg(i, 2, 10, QLatin1Char('0'));
    };
    const auto titlesIn = [](const QString& file) {
        QStringList found;
        const std::optional<QList<QStringList>> rows = support::ReadCsv(Contents(file));
        if (!rows || rows->isEmpty() || rows->first().value(0) != u"data"_s) return found;
        for (const QStringList& row : rows->mid(1)) found << row.value(2);
        return found;
    };
    for (; n < perFile; ++n) ASSERT_TRUE(history.append(Line(n, title(n))));
    EXPECT_FALSE(QFile::exists(history.previousPath()));
    EXPECT_LE(QFileInfo(path).size(), limit);

    // The next line would pass the limit: the file becomes the previous one.
    ASSERT_TRUE(history.append(Line(n, title(n))));
    ++n;
    QStringList first;
    for (int i = 0; i < perFile; ++i) first << title(i);
    EXPECT_EQ(titlesIn(history.previousPath()), first);
    EXPECT_EQ(titlesIn(path), QStringList{title(perFile)});
    EXPECT_EQ(support::FileMode(path), 0600);

    // Once more: the previous file is replaced, and no third one is kept.
    for (; n < 2 * perFile + 1; ++n) ASSERT_TRUE(history.append(Line(n, title(n))));
    QStringList second;
    for (int i = perFile; i < 2 * perFile; ++i) second << title(i);
    EXPECT_EQ(titlesIn(history.previousPath()), second);
    EXPECT_EQ(titlesIn(path), QStringList{title(2 * perFile)});
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{u"cronologia.csv"_s, u"cronologia.csv.1"_s}));

    // One line larger than the limit still goes in, in a file of its own.
    const QString huge = QString(2 * limit, u'X');
    ASSERT_TRUE(history.append(Line(n, huge)));
    EXPECT_EQ(titlesIn(path), QStringList{huge});
}

// Nothing but a regular file is written, and nothing waits: a FIFO in the file's place would
// otherwise hold the program at its first entry.
TEST(HistoryFile, WhatItCannotWriteItSays) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString target = home.path() + u"/elsewhere.csv"_s;
    const struct {
        const char* what;
        QString path;
        std::function<bool(const QByteArray&)> make;
        QString reason;
    } cases[] = {
        {"a link in its place", home.path() + u"/link/cronologia.csv"_s,
         [&](const QByteArray& at) {
             return QDir().mkpath(QFileInfo(QFile::decodeName(at)).path()) &&
                    ::symlink(QFile::encodeName(target).constData(), at.constData()) == 0;
         },
         u"collegamento simbolico"_s},
        {"a FIFO in its place", home.path() + u"/fifo/cronologia.csv"_s,
         [](const QByteArray& at) {
             return QDir().mkpath(QFileInfo(QFile::decodeName(at)).path()) &&
                    ::mkfifo(at.constData(), 0600) == 0;
         },
         u"non è un file normale"_s},
        {"a file in the way of its folder", home.path() + u"/file/Quintavia/cronologia.csv"_s,
         [&](const QByteArray&) {
             QFile blocker(home.path() + u"/file"_s);
             return blocker.open(QIODevice::WriteOnly);
         },
         u"non è una cartella"_s},
        {"no data folder known",
         {},
         [](const QByteArray&) { return true; },
         u"nessuna cartella dei dati"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.make(QFile::encodeName(c.path)));
        HistoryFile history(c.path);
        for (const WriteResult& written : {history.append(Line(0, u"X"_s)), history.create()}) {
            EXPECT_FALSE(written);
            EXPECT_TRUE(written.error.startsWith(u"impossibile scrivere "_s + c.path + u": "_s))
                << written.error.toStdString();
            EXPECT_TRUE(written.error.contains(c.reason)) << written.error.toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(target));
}

// A previous file that cannot be replaced costs no entry: they go on into the current file,
// and the warning names the file that is in the way.
TEST(HistoryFile, ARotationThatFailsKeepsEveryEntry) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString path = home.path() + u"/cronologia.csv"_s;
    HistoryFile history(path, 200);
    ASSERT_TRUE(QDir().mkdir(history.previousPath()));
    QStringList written;
    WriteResult appended;
    for (int n = 0; n < 6; ++n) {
        appended = history.append(Line(n, u"TITOLO %1"_s.arg(n)));
        ASSERT_TRUE(appended) << appended.error.toStdString();
        written << u"TITOLO %1"_s.arg(n);
    }
    ASSERT_GT(QFileInfo(path).size(), 200);
    ASSERT_EQ(appended.warnings.size(), 1);
    EXPECT_TRUE(
        appended.warnings[0].startsWith(u"impossibile sostituire "_s + history.previousPath()))
        << appended.warnings[0].toStdString();
    EXPECT_TRUE(appended.warnings[0].contains(path)) << appended.warnings[0].toStdString();
    const std::optional<QList<QStringList>> rows = support::ReadCsv(Contents(path));
    ASSERT_TRUE(rows);
    QStringList titles;
    for (const QStringList& row : rows->mid(1)) titles << row.value(2);
    EXPECT_EQ(titles, written);
}

// What the list of found listings reads back: the whole lines of the current file's last bytes,
// the previous file's before them where the current one is shorter, and nothing from what is
// not a regular file.
TEST(HistoryFile, ReadsBackTheListingsFoundOldestFirst) {
    const auto title = [](int i) {
        return u"TITOLO DI PROVA %1"_s.arg(i, 2, 10, QLatin1Char('0'));
    };
    const auto lines = [&](int from, int to) {
        QString text = HistoryHeader();
        for (int i = from; i < to; ++i) text += Line(i, title(i));
        return text.toUtf8();
    };
    const auto titles = [&](int from, int to) {
        QStringList out;
        for (int i = from; i < to; ++i) out << title(i);
        return out;
    };
    const auto write = [](const QString& at, const QByteArray& bytes) {
        QFile file(at);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    // Every line is as long; the budget is a few of them.
    const qint64 lineBytes = Line(0, title(0)).toUtf8().size();
    ASSERT_LT(HistoryHeader().size(), lineBytes);
    const struct {
        const char* what;
        qint64 budget;
        std::function<bool(const QString&)> make;
        QStringList found;
    } cases[] = {
        {"no file", 10 * lineBytes, [](const QString&) { return true; }, {}},
        {"the current file alone", 10 * lineBytes,
         [&](const QString& at) { return write(at, lines(0, 3)); }, titles(0, 3)},
        {"the previous file, then the current one", 20 * lineBytes,
         [&](const QString& at) {
             return write(at + u".1"_s, lines(0, 6)) && write(at, lines(6, 8));
         },
         titles(0, 8)},
        {"the previous file's last lines for what is left", 5 * lineBytes,
         [&](const QString& at) {
             return write(at + u".1"_s, lines(0, 6)) && write(at, lines(6, 8));
         },
         titles(4, 8)},
        {"a larger file cut right at a line", 10 * lineBytes,
         [&](const QString& at) {
             return write(at + u".1"_s, lines(0, 6)) && write(at, lines(0, 40));
         },
         titles(30, 40)},
        {"a larger file cut inside a line", 10 * lineBytes + 3,
         [&](const QString& at) { return write(at, lines(0, 40)); }, titles(30, 40)},
        {"a larger file cut just before a line", 10 * lineBytes - 1,
         [&](const QString& at) { return write(at, lines(0, 40)); }, titles(31, 40)},
        // A hand-made or corrupt last line longer than the budget is passed over.
        {"a last line longer than the budget", 10 * lineBytes,
         [&](const QString& at) {
             return write(at + u".1"_s, lines(0, 6)) &&
                    write(at, lines(6, 9) + QByteArray(20 * lineBytes, 'Z') + "\r\n");
         },
         titles(6, 9)},
        {"a current file of one such line: the previous one", 10 * lineBytes,
         [&](const QString& at) {
             return write(at + u".1"_s, lines(0, 6)) &&
                    write(at, QByteArray(20 * lineBytes, 'Z') + "\r\n");
         },
         titles(0, 6)},
        {"a link for the current file, a FIFO for the previous one",
         10 * lineBytes,
         [&](const QString& at) {
             const QByteArray target = QFile::encodeName(at + u".elsewhere"_s);
             return write(QFile::decodeName(target), lines(0, 3)) &&
                    ::symlink(target.constData(), QFile::encodeName(at).constData()) == 0 &&
                    ::mkfifo(QFile::encodeName(at + u".1"_s).constData(), 0600) == 0;
         },
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        const QString path = home.path() + u"/cronologia.csv"_s;
        ASSERT_TRUE(c.make(path));
        QStringList found;
        for (const FoundListing& listing : HistoryFile(path).readFound(c.budget))
            found << listing.title;
        EXPECT_EQ(found, c.found);
    }
    EXPECT_TRUE(HistoryFile(QString()).readFound().isEmpty());
}

}  // namespace
}  // namespace quintavia
