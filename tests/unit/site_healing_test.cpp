#include "core/watch/site_healing.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/watch/watch_controller.h"
#include "qt_printing.h"
#include "store/structure_file.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kSearch = u"http://it.jobrapido.com/?w=&l=Abruzzo&r=auto"_s;
const StructureSelectors kCards{u"article.offerta"_s, u"h3 a"_s, {}, {}, {}};

// Jobrapido's page in the markup its marker finds.
PageCapture MarkerPage(const QString& title) {
    return {.url = QUrl(kSearch),
            .markup = u"<html><body><div><span class=\"title\">"_s + title +
                      u"</span></div></body></html>"_s};
}

// Jobrapido's page in a markup its marker no longer finds, whose cards the structure reading
// found; `wall` adds a consent banner.
PageCapture NewLayout(const QStringList& titles, bool wall = false) {
    StructureReading reading;
    for (const QString& title : titles)
        reading.listings.append(
            {title, QUrl(u"https://it.jobrapido.com/o/"_s + title.toLower()), {}, {}});
    reading.selectors = titles.isEmpty() ? StructureSelectors{} : kCards;
    QString markup = u"<html><body><main>cards</main></body></html>"_s;
    if (wall) markup.replace(u"<main>"_s, u"<div id=\"onetrust-banner-sdk\"></div><main>"_s);
    return {.url = QUrl(kSearch), .markup = markup, .structure = reading};
}

struct Told {
    std::optional<QString> notice{};  // the watch's notice, by its summary
    std::optional<QString> logged{};  // the newest title logged
    QStringList announced{};          // the titles of the listings notice
    std::optional<QStringList> healedKept{};

    bool operator==(const Told&) const = default;
    friend void PrintTo(const Told& told, std::ostream* out) {
        *out << "notice " << told.notice.value_or(u"-"_s).toStdString() << ", logged "
             << told.logged.value_or(u"-"_s).toStdString() << ", announced "
             << told.announced.join(u'|').toStdString() << ", kept "
             << (told.healedKept ? told.healedKept->join(u'|').toStdString() : "-");
    }
};

Told Of(const PageOutcome& outcome) {
    Told told;
    if (outcome.watchNotice) told.notice = outcome.watchNotice->summary;
    if (outcome.newest) told.logged = outcome.newest->title;
    if (outcome.foundNotice) told.announced = outcome.foundNotice->body.split(u'\n');
    if (outcome.keep.structure) told.healedKept = outcome.keep.structure->healed;
    return told;
}

// Jobrapido's default rule goes blind on a new markup: after three program loads in a row
// that find its cards by structure it is read so, learning first, told once; a wall breaks the
// row (and a blind site healed is told only that); its marker found again is used again.
TEST(SiteHealing, ASiteWhoseRuleWentBlindIsReadByStructureUntilItsRuleFindsAgain) {
    WatchController controller;
    controller.startUp({});
    const QString changed = ReadByStructureNotice(u"Jobrapido"_s).summary;
    const QString blind = BlindNotice(u"Jobrapido"_s, {}).summary;
    const QStringList four{u"Cuoco"_s, u"Barista"_s, u"Autista"_s, u"Commesso"_s};
    const QStringList five = QStringList{u"Sarto"_s} + four;
    const QStringList jobrapido{u"jobrapido"_s};
    const struct {
        const char* what;
        PageCapture page;
        bool byProgram;
        Told told;
    } steps[] = {
        {"the marker finds", MarkerPage(u"Magazziniere"_s), true, {.logged = u"MAGAZZINIERE"_s}},
        {"blind once", NewLayout(four), true, {}},
        {"twice", NewLayout(four), true, {}},
        {"a consent wall breaks the row, and is the third bad capture",
         NewLayout(four, true),
         true,
         {.notice = blind}},
        {"blind once more", NewLayout(four), true, {}},
        {"a load of the user's says nothing", NewLayout(four), false, {}},
        {"twice more", NewLayout(four), true, {}},
        {"three times: read by structure, learning what it shows",
         NewLayout(four),
         true,
         {.notice = changed, .logged = u"Cuoco"_s, .healedKept = jobrapido}},
        {"a card added is announced",
         NewLayout(five),
         true,
         {.logged = u"Sarto"_s, .announced = {u"Sarto"_s}}},
        {"the marker finds again: its rule again, learning first",
         MarkerPage(u"Sarto"_s),
         true,
         {.logged = u"SARTO"_s, .healedKept = QStringList{}}},
        {"blind again starts a new row", NewLayout(five), true, {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        PageCapture page = step.page;
        page.startedByProgram = step.byProgram;
        EXPECT_EQ(Of(controller.pageCaptured(1, page)), step.told);
    }
    EXPECT_FALSE(controller.readByStructure(u"jobrapido"_s));
    EXPECT_FALSE(controller.siteWatch(1).blind());
}

// What a run kept of the sites read by structure is what the next run starts from, through
// the file; a file that is no such file is told and starts empty.
TEST(SiteHealing, TheSitesReadByStructureAndTheirSelectorsOutliveTheRun) {
    WatchController first;
    first.startUp({});
    std::optional<StructureKept> kept;
    for (int load = 0; load < kBlindLoadsToReadByStructure; ++load)
        if (auto told = first.pageCaptured(1, NewLayout({u"A"_s, u"B"_s, u"C"_s})).keep.structure)
            kept = told;
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->healed, QStringList{u"jobrapido"_s});
    EXPECT_EQ(kept->selectors.value(u"jobrapido"_s), kCards);

    QTemporaryDir dir;
    const StructureFile file(StructureFile::PathBeside(dir.filePath(u"annunci-visti.json"_s)));
    ASSERT_TRUE(file.save(*kept));
    const StructureFile::Loaded loaded = file.load();
    EXPECT_EQ(loaded.warnings, QStringList{});
    EXPECT_EQ(loaded.kept, *kept);

    WatchController next;
    next.restoreStructure(loaded.kept);
    next.startUp({});
    EXPECT_TRUE(next.readByStructure(u"jobrapido"_s));
    EXPECT_EQ(next.keptSelectors().of(u"jobrapido"_s), kCards);
    const PageOutcome outcome = next.pageCaptured(1, NewLayout({u"D"_s, u"A"_s, u"B"_s}));
    ASSERT_TRUE(outcome.newest);
    EXPECT_EQ(outcome.newest->title, u"D"_s);
    EXPECT_FALSE(outcome.watchNotice);

    for (const QByteArray& bytes : {QByteArray("{\"versione\": 2}"), QByteArray("[1, 2")}) {
        QFile spoilt(file.path());
        ASSERT_TRUE(spoilt.open(QIODevice::WriteOnly | QIODevice::Truncate));
        spoilt.write(bytes);
        spoilt.close();
        const StructureFile::Loaded bad = file.load();
        EXPECT_EQ(bad.kept, StructureKept{});
        EXPECT_EQ(bad.warnings.size(), 1);
    }
}

}  // namespace
}  // namespace quintavia
