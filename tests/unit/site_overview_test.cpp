#include "core/watch/site_overview.h"

#include <gtest/gtest.h>

#include "core/watch/watch_controller.h"
#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

const QDate kToday(2026, 12, 8);

FoundListing Found(const QString& id, const QString& site, int daysAgo) {
    return {.when = QDateTime(kToday.addDays(-daysAgo), QTime(9, 0)),
            .siteId = id,
            .site = site,
            .title = u"Cuoco"_s};
}

TEST(SiteOverview, NewListingsADayOverTwoWeeksAsBarsAndWords) {
    FoundList found;
    found.load({
        Found(u"indeed"_s, u"Indeed"_s, 0),
        Found(u"indeed"_s, u"Indeed"_s, 0),
        Found(u"indeed"_s, u"Indeed"_s, 13),
        Found(u"indeed"_s, u"Indeed"_s, 14),  // too old
        Found(u"indeed"_s, u"Indeed"_s, -1),  // tomorrow: a clock put back
        Found(u""_s, u"Indeed"_s, 3),         // an older history names the site alone
        Found(u"subito"_s, u"Subito"_s, 1),
        Found(u""_s, u"Subito"_s, 2),
    });
    const struct {
        QString id;
        QString name;
        QList<int> perDay;
        QString bars;
        QString spoken;
    } cases[] = {
        {u"indeed"_s,
         u"Indeed"_s,
         {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 2},
         u"▄         ▄  █"_s,
         u"4 annunci nuovi negli ultimi 14 giorni, 2 oggi"_s},
        {u"subito"_s,
         u"Subito"_s,
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0},
         u"           ██ "_s,
         u"2 annunci nuovi negli ultimi 14 giorni, 0 oggi"_s},
        {u"linkedin"_s, u"LinkedIn"_s, QList<int>(14), QString(14, u' '),
         u"0 annunci nuovi negli ultimi 14 giorni, 0 oggi"_s},
    };
    for (const auto& c : cases) {
        const QList<int> perDay = NewPerDay(found, c.id, c.name, kToday);
        EXPECT_EQ(perDay, c.perDay) << c.id.toStdString();
        EXPECT_EQ(PerDayBars(perDay), c.bars) << c.id.toStdString();
        EXPECT_EQ(PerDaySpoken(perDay), c.spoken) << c.id.toStdString();
    }
}

TEST(SiteOverview, EverySiteWithItsPlaceStateAndNextLoadAndOneMovedIntoAPane) {
    WatchController controller;
    Kept kept;
    kept.options.paneSites = QStringList(kPaneCount) + QStringList{u"indeed"_s};
    kept.options.intervals = {{u"infojobs"_s, 10}};
    controller.startUp(kept);
    const QDateTime now(kToday, QTime(10, 0));
    controller.pageCaptured(1,
                            {.url = QUrl(u"http://it.jobrapido.com/"_s),
                             .markup = std::nullopt,
                             .loadSucceeded = false,
                             .httpStatus = 429},
                            now);
    const QList<SiteOverviewRow> rows = controller.overview(now);
    ASSERT_EQ(rows.size(), kPaneCount + 1);
    const struct {
        QString place;
        QString state;
        qint64 nextIn;  // seconds from now
    } expected[] = {
        {u"Riquadro 1"_s, u"Sorvegliato"_s, 301},
        {u"Riquadro 2"_s, u"In pausa fino alle 10:10: il sito chiede di rallentare"_s, 601},
        {u"Riquadro 3"_s, u"Sorvegliato"_s, 301},
        {u"Riquadro 4"_s, u"Sorvegliato"_s, 601},
        {u"Senza riquadro"_s, u"Sorvegliato"_s, 300},
    };
    for (int i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].place, expected[i].place) << i;
        EXPECT_EQ(rows[i].state, expected[i].state) << i;
        EXPECT_EQ(now.secsTo(rows[i].next), expected[i].nextIn) << i;
    }
    EXPECT_EQ(rows[1].last, now);
    EXPECT_FALSE(rows[0].last.isValid());

    EXPECT_FALSE(controller.showInPane(0));
    const std::optional<Choices> moved = controller.showInPane(kPaneCount);
    ASSERT_TRUE(moved);
    controller.choose(*moved);
    EXPECT_EQ(controller.paneRule(kPaneCount - 1).id, u"indeed"_s);
    EXPECT_EQ(controller.backgroundRule(0).id, u"infojobs"_s);
    EXPECT_EQ(controller.backgroundPace(0).minutes(), 10);
}

}  // namespace
}  // namespace quintavia
