#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include "core/history_csv.h"
#include "core/shown_text.h"
#include "csv_reader.h"
#include "qt_printing.h"
#include "settings/history_file.h"

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
        {"blanks and a semicolon stay as they are", u" A; B "_s, u" A; B "_s},
        {"an apostrophe", u"D'ALBERGO"_s, u"D'ALBERGO"_s},
        {"outside the BMP", u"\U0001F69A"_s, u"\U0001F69A"_s},
    };
    for (const Case& c : cases) EXPECT_EQ(CsvField(c.field), c.expected) << c.what;
    EXPECT_EQ(CsvLine({u"a"_s, u"b,c"_s, u""_s}), u"a,\"b,c\",\r\n"_s);
    EXPECT_EQ(HistoryHeader(), u"data,sito,annuncio,indirizzo\r\n"_s);
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

    EXPECT_EQ(HistoryLine(QDateTime(day, time, QTimeZone(3600)), u"Jobrapido"_s,
                          u"CUOCO, \"CAPO\""_s, QUrl(u"http://it.jobrapido.com/?w=&l=Lazio"_s)),
              u"2024-03-31T02:30:05+01:00,Jobrapido,\"CUOCO, \"\"CAPO\"\"\","
              u"http://it.jobrapido.com/?w=&l=Lazio\r\n"_s);
    // What would turn the line around, or make the file binary, is not written.
    EXPECT_EQ(HistoryLine(QDateTime(day, time, QTimeZone(3600)), u"Jobonline"_s,
                          u"CUOCO\u202E"_s + QChar(0) + u"\nCAPO"_s,
                          QUrl(u"http://www.jobonline.it/?q=%E2%80%AE%00"_s)),
              u"2024-03-31T02:30:05+01:00,Jobonline,CUOCO CAPO,"
              u"http://www.jobonline.it/?q=%E2%80%AE%00\r\n"_s);
}

int Mode(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
    return static_cast<int>(st.st_mode & 07777);
}

QString Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : u"<absent>"_s;
}

QString Line(int n, const QString& title) {
    return HistoryLine(QDateTime(QDate(2024, 5, 1), QTime(9, 0, n % 60), QTimeZone(7200)),
                       u"MioJob"_s, title, QUrl(u"http://miojob.repubblica.it/offerte"_s));
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
    for (int i = 0; i < titles.size(); ++i)
        ASSERT_TRUE(history.append(Line(i, titles[i]))) << history.lastError().toStdString();

    const std::optional<QList<QStringList>> rows = support::ReadCsv(Contents(history.path()));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), titles.size() + 1);
    EXPECT_EQ(rows->first(), (QStringList{u"data"_s, u"sito"_s, u"annuncio"_s, u"indirizzo"_s}));
    for (int i = 0; i < titles.size(); ++i) {
        const QStringList& row = (*rows)[i + 1];
        ASSERT_EQ(row.size(), 4) << i;
        EXPECT_EQ(row[0], u"2024-05-01T09:00:0%1+02:00"_s.arg(i)) << i;
        EXPECT_EQ(row[1], u"MioJob"_s) << i;
        // Line breaks are written as spaces.
        EXPECT_EQ(row[2], ShownText(titles[i])) << i;
        EXPECT_EQ(row[3], u"http://miojob.repubblica.it/offerte"_s) << i;
    }
    EXPECT_EQ(Mode(history.path()), 0600);
    EXPECT_EQ(Mode(home.path() + u"/data/Quintavia"_s), 0700);
    EXPECT_EQ(Mode(home.path() + u"/data"_s), 0700);

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
    const auto title = [](int i) { return u"TITOLO %1"_s.arg(i, 2, 10, QLatin1Char('0')); };
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
    EXPECT_EQ(Mode(path), 0600);

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

TEST(HistoryFile, WhatItCannotWriteItSays) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    // A link in the file's place is not followed.
    const QString target = home.path() + u"/elsewhere.csv"_s;
    const QString link = home.path() + u"/cronologia.csv"_s;
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()),
              0);
    HistoryFile linked(link);
    EXPECT_FALSE(linked.append(Line(0, u"X"_s)));
    EXPECT_TRUE(linked.lastError().startsWith(u"cannot write "_s + link + u": "_s))
        << linked.lastError().toStdString();
    EXPECT_FALSE(QFile::exists(target));

    // A folder in the way of its folder.
    QFile blocker(home.path() + u"/file"_s);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    HistoryFile blocked(home.path() + u"/file/Quintavia/cronologia.csv"_s);
    EXPECT_FALSE(blocked.append(Line(0, u"X"_s)));
    EXPECT_TRUE(blocked.lastError().contains(u"Not a directory"_s))
        << blocked.lastError().toStdString();

    HistoryFile nowhere({});
    EXPECT_FALSE(nowhere.append(Line(0, u"X"_s)));
}

}  // namespace
}  // namespace quintavia
