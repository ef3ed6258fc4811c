#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>

#include "boards.h"
#include "core/listings/listing_key.h"
#include "harness.h"
#include "program_run.h"
#include "shell/app/program_start.h"
#include "shell/app/site_check.h"
#include "store/settings_file.h"

using namespace Qt::StringLiterals;

namespace quintavia::e2e {
namespace {

QString BoardAddress(const fixtures::Board& board) {
    return u"http://"_s + QString::fromLatin1(board.host) + u'/';
}

class StructureE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        Harness::instance().reset();
        Harness::instance().server().setHandler(fixtures::BoardsHandler({}));
    }
    void TearDown() override { Harness::instance().reset(); }
};

// Every board of the corpus read by its structure through the engine, as a pane of a site with
// only an address and a domain reads it: the first ten listings (all, when fewer) in order,
// nothing that is not a listing, the company and place the cards show.
TEST_F(StructureE2e, EveryCorpusBoardGivesItsListingsInOrderAndNothingElse) {
    ASSERT_GE(fixtures::CorpusBoards().size(), 12);
    std::printf("\n%-11s %5s %5s %9s %7s %9s %7s  %s\n", "board", "want", "got", "title P", "R",
                "link P", "R", "shape");
    for (const fixtures::Board& board : fixtures::CorpusBoards()) {
        SCOPED_TRACE(board.name.toStdString());
        ASSERT_FALSE(board.page.isEmpty());
        const SiteRule rule = RuleForAddress(QUrl(BoardAddress(board)));
        const std::optional<PageCapture> capture = CapturePage(rule, BoardAddress(board));
        ASSERT_TRUE(capture);
        ASSERT_TRUE(capture->structure);
        const QList<StructureListing>& got = capture->structure->listings;

        QStringList wantTitles, wantLinks, gotTitles, gotLinks;
        for (const fixtures::ExpectedListing& listing : board.expected) {
            wantTitles << listing.title;
            wantLinks << listing.link;
        }
        for (const StructureListing& listing : got) {
            gotTitles << listing.title;
            gotLinks << QString::fromLatin1(listing.link.toEncoded());
        }
        const auto hits = [](const QStringList& of, const QStringList& in) {
            return static_cast<double>(std::count_if(
                of.begin(), of.end(), [&](const QString& t) { return in.contains(t); }));
        };
        const auto ratio = [](double n, qsizetype d) { return d == 0 ? 1.0 : n / double(d); };
        std::printf("%-11s %5lld %5lld %9.2f %7.2f %9.2f %7.2f  %s\n", qPrintable(board.name),
                    static_cast<long long>(wantTitles.size()),
                    static_cast<long long>(gotTitles.size()),
                    ratio(hits(gotTitles, wantTitles), gotTitles.size()),
                    ratio(hits(wantTitles, gotTitles), wantTitles.size()),
                    ratio(hits(gotLinks, wantLinks), gotLinks.size()),
                    ratio(hits(wantLinks, gotLinks), wantLinks.size()), qPrintable(board.note));

        const qsizetype first = std::min<qsizetype>(10, board.expected.size());
        ASSERT_GE(got.size(), first);
        for (qsizetype i = 0; i < first; ++i) {
            EXPECT_EQ(got[i].title, board.expected[i].title) << i;
            EXPECT_EQ(QString::fromLatin1(got[i].link.toEncoded()), board.expected[i].link) << i;
            EXPECT_EQ(got[i].company, board.expected[i].company) << i;
            EXPECT_EQ(got[i].place, board.expected[i].place) << i;
        }
        for (qsizetype i = 0; i < got.size(); ++i)
            EXPECT_TRUE(wantLinks.contains(gotLinks[i]) && wantTitles.contains(gotTitles[i]))
                << "not a listing: " << gotTitles[i].toStdString() << " "
                << gotLinks[i].toStdString();
        // Found, the cards are found again by the selectors that came with them.
        EXPECT_EQ(capture->structure->selectors.isEmpty(), board.expected.isEmpty());
    }
}

using Outcome = ProgramOutcome;

Outcome RunProgram(const QString& configHome, const QStringList& arguments) {
    return RunToExit(configHome, {}, arguments);
}

// The titles and links of a check's report, in order.
QStringList ReportedListings(const QString& report) {
    QStringList lines;
    static const QRegularExpression listing(u"^  (\\S.*)\\n    (http\\S*)$"_s,
                                            QRegularExpression::MultilineOption);
    for (auto match = listing.globalMatch(report); match.hasNext();) {
        const QRegularExpressionMatch one = match.next();
        lines << one.captured(1) + u" | "_s + one.captured(2);
    }
    return lines;
}

// `--prova-sito URL` on each board prints what a pane would read and a section which, saved
// into the sites file, reads the same listings by `--prova-sito ID`; a page without listings
// says why, and no section.
TEST_F(StructureE2e, AnAddressCheckProposesASectionThatReadsTheSameListings) {
    for (const fixtures::Board& board : fixtures::CorpusBoards()) {
        SCOPED_TRACE(board.name.toStdString());
        QTemporaryDir config;
        const Outcome byAddress =
            RunProgram(config.path(), {u"--prova-sito"_s, BoardAddress(board)});
        const QStringList listed = ReportedListings(byAddress.out);
        if (board.expected.isEmpty()) {
            EXPECT_EQ(byAddress.exit, 1);
            EXPECT_TRUE(byAddress.out.contains(u"nessun annuncio: una "_s))
                << byAddress.out.toStdString();
            EXPECT_FALSE(byAddress.out.contains(u"selettore="_s));
            continue;
        }
        ASSERT_EQ(byAddress.exit, 0) << byAddress.out.toStdString() << byAddress.err.toStdString();
        ASSERT_EQ(listed.size(), std::min<qsizetype>(10, board.expected.size()));
        // Shown as it is written and opened: without what only tracks.
        const QUrl first = CanonicalLink(QUrl(board.expected.first().link));
        EXPECT_EQ(listed.first(),
                  board.expected.first().title + u" | "_s + QString::fromLatin1(first.toEncoded()));
        EXPECT_TRUE(byAddress.out.contains(u"    chiave: "_s));
        const qsizetype section = byAddress.out.indexOf(u"sezione per siti.ini:\n"_s);
        ASSERT_GE(section, 0) << byAddress.out.toStdString();
        const QString text = byAddress.out.mid(section + 22);
        const QString id = text.section(u']', 0, 0).mid(1);

        const QString path = SitesPathBeside(SettingsFile::PathIn(config.path()));
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0);
        file.close();
        const Outcome byId = RunProgram(config.path(), {u"--prova-sito"_s, id});
        EXPECT_EQ(byId.exit, 0) << byId.out.toStdString() << byId.err.toStdString();
        EXPECT_EQ(ReportedListings(byId.out), listed) << text.toStdString();
        EXPECT_EQ(byId.err.count(u"siti.ini"_s), 0) << byId.err.toStdString();
    }
}

}  // namespace
}  // namespace quintavia::e2e
