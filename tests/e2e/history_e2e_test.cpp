#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "core/layout/panes.h"
#include "csv_reader.h"
#include "listing_pages.h"
#include "scripted_sites.h"
#include "store/history_file.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

class HistoryOfTheLog : public ScriptedSitesTest {
  protected:
    void SetUp() override {
        ScriptedSitesTest::SetUp();
        QFile::remove(path);
        QFile::remove(path + u".1"_s);
    }
    void TearDown() override {
        ScriptedSitesTest::TearDown();
        QFile::remove(path);
    }

    std::optional<QList<QStringList>> Read() const {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
        return support::ReadCsv(QString::fromUtf8(file.readAll()));
    }

    const QString path = HistoryFile::UserPath();
};

TEST_F(HistoryOfTheLog, AwkwardTitlesReadBackExactlyAndTheHistoryOutlivesTheWindow) {
    // The first pages are learned, not found: the history begins with the next.
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    EXPECT_FALSE(Read());
    // Quotes, commas and a line break inside the title; a character outside the BMP. The page
    // source's CRLF reaches the document as LF, as HTML has it, and the history as a space.
    sites.titles = {u"Cuoco \"capo\", partita"_s, u"Riga uno\r\nriga due"_s,
                    u"Addetto \U0001F69A consegne, 'turno' \"notte\""_s, u"Semplice"_s};
    const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(2); }));
    const QDateTime ended = QDateTime::currentDateTime().addSecs(1);
    ASSERT_EQ(LogEntries(*window).size(), 8);

    const std::optional<QList<QStringList>> rows = Read();
    ASSERT_TRUE(rows) << "not CSV";
    ASSERT_EQ(rows->size(), 5);
    EXPECT_EQ(rows->first(), (QStringList{u"data"_s, u"sito"_s, u"annuncio"_s, u"indirizzo"_s,
                                          u"filtrato"_s, u"anche su"_s, u"azienda"_s, u"luogo"_s,
                                          u"pubblicato"_s, u"id sito"_s, u"chiave"_s}));
    const std::array<QString, kPaneCount> expected = {
        u"CUOCO \"CAPO\", PARTITA"_s, u"RIGA UNO RIGA DUE"_s,
        u"ADDETTO \U0001F69A CONSEGNE, 'TURNO' \"NOTTE\""_s, u"SEMPLICE"_s};
    std::array<int, kPaneCount> seen{};
    for (const QStringList& row : rows->mid(1)) {
        ASSERT_EQ(row.size(), 11) << row.join(u'|').toStdString();
        int site = -1;
        for (int i = 0; i < kPaneCount; ++i)
            if (row[1] == DefaultRules()[i].name) site = i;
        ASSERT_GE(site, 0) << row[1].toStdString();
        const auto i = static_cast<std::size_t>(site);
        ++seen[i];
        EXPECT_EQ(row[2], expected[i]) << site;
        EXPECT_EQ(row[3], captures->last(site).url.toString()) << site;
        // Local time with its offset ("Z" where local time is UTC).
        EXPECT_TRUE(QRegularExpression(
                        u"^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d(Z|[+-]\\d\\d:\\d\\d)$"_s)
                        .match(row[0])
                        .hasMatch())
            << row[0].toStdString();
        const QDateTime when = QDateTime::fromString(row[0], Qt::ISODate);
        EXPECT_TRUE(when.isValid()) << row[0].toStdString();
        EXPECT_EQ(when.offsetFromUtc(), started.offsetFromUtc()) << row[0].toStdString();
        EXPECT_TRUE(when >= started && when <= ended) << row[0].toStdString();
    }
    EXPECT_EQ(seen, (std::array<int, kPaneCount>{1, 1, 1, 1}));
    EXPECT_EQ(support::FileMode(path), 0600);
    EXPECT_EQ(support::FileMode(QFileInfo(path).absolutePath()), 0700);

    // A later run appends; what was there stays.
    window->close();
    captures.reset();
    window.reset();
    sites.titles[3] = u"Semplice, ma nuovo"_s;
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    const std::optional<QList<QStringList>> after = Read();
    ASSERT_TRUE(after);
    ASSERT_EQ(after->size(), 6);
    EXPECT_EQ(after->mid(0, 5), *rows);
    EXPECT_EQ(after->last()[1], u"InfoJobs"_s);
    EXPECT_EQ(after->last()[2], u"SEMPLICE, MA NUOVO"_s);
}

// A page's title may carry what turns the text around it backwards (a bidi override), what
// hides (zero-width characters) or what makes the history a binary file (a NUL), and its
// address too: none of it reaches the log box or the history, while the settings file keeps
// the title exact, to be compared with the next page's.
TEST_F(HistoryOfTheLog, WhatHidesOrTurnsTextAroundStaysOutOfTheLogAndTheHistory) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    const QString title = u"Cuoco"_s + QChar(0) + u"\u200Bcapo \u202Eexe.fdp\u202C fine"_s;
    emit window->pane(1)->pageCaptured(
        1, {.url = QUrl(u"http://it.jobrapido.com/?l=Lazio&q=%E2%80%AEfdp.exe"_s),
            .markup = QString::fromUtf8(fixtures::ListingPage(1, title))});
    EXPECT_EQ(LogEntries(*window).last(), u"Jobrapido: CUOCOCAPO EXE.FDP FINE"_s);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.contains('\0'));
    EXPECT_FALSE(bytes.contains("\xE2\x80"));  // U+200B, U+202C and U+202E begin so
    const std::optional<QList<QStringList>> rows = Read();
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->last().mid(1, 5),
              (QStringList{u"Jobrapido"_s,
                           u"CUOCOCAPO EXE.FDP FINE"_s,
                           u"http://it.jobrapido.com/?l=Lazio&q=%E2%80%AEfdp.exe"_s,
                           {},
                           {}}));
    EXPECT_TRUE(WaitFor(
        [&] { return Harness::instance().stored(u"Settaggio"_s, u"1"_s) == title.toUpper(); }));
}

}  // namespace
}  // namespace quintavia::e2e
