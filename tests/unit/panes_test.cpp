// The number of panes is one value: the program's state for a grid of any size has a rule, a
// caption, a place and offsets for each pane.
#include <gtest/gtest.h>

#include <QSet>

#include "core/layout/pane_grid.h"
#include "core/watch/watch_controller.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(Panes, EveryPaneOfAGridOfAnySizeHasItsRuleCaptionPlaceAndOffsets) {
    struct Case {
        int panes;
        GridShape shape;
        QStringList captions;  // the first, the last
        QStringList firstSites;
    };
    const Case cases[] = {
        {1, {1, 1}, {u"Riquadro &1"_s, u"Riquadro &1"_s}, {u"miojob"_s}},
        {4,
         {2, 2},
         {u"Riquadro &1 (in alto a sinistra)"_s, u"Riquadro &4 (in basso a destra)"_s},
         {u"miojob"_s, u"jobrapido"_s, u"jobonline"_s, u"infojobs"_s}},
        {9,
         {3, 3},
         {u"Riquadro &1 (in alto a sinistra)"_s, u"Riquadro &9 (in basso a destra)"_s},
         {u"miojob"_s, u"jobrapido"_s, u"jobonline"_s, u"infojobs"_s, u"jobrapido-2025"_s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.panes);
        WatchController controller(BuiltInCatalogue(), c.panes);
        const StartUpOutcome start = controller.startUp({});
        ASSERT_EQ(start.panes.size(), c.panes);
        ASSERT_EQ(start.addresses.size(), c.panes);
        ASSERT_EQ(start.toolTips.paneLabels.size(), c.panes);
        EXPECT_EQ(controller.choices().paneSites.size(), c.panes);
        for (qsizetype i = 0; i < c.firstSites.size(); ++i)
            EXPECT_EQ(start.panes[i].id, c.firstSites[i]) << i;
        // As many boards as the catalogue has before one shows twice.
        QSet<QString> shown;
        for (const SiteRule& rule : start.panes) shown.insert(rule.id);
        EXPECT_EQ(shown.size(), c.panes);

        EXPECT_EQ(GridShapeFor(c.panes), c.shape);
        EXPECT_EQ(PaneCaption(0, c.panes), c.captions[0]);
        EXPECT_EQ(PaneCaption(c.panes - 1, c.panes), c.captions[1]);
        const PaneRects rects = PaneGrid({900, 621}, c.panes, {});
        ASSERT_EQ(rects.size(), c.panes);
        for (qsizetype i = 0; i < rects.size(); ++i)
            for (qsizetype k = i + 1; k < rects.size(); ++k)
                EXPECT_FALSE(rects[i].intersects(rects[k])) << i << " and " << k;

        // Each pane's offsets are kept for its own site.
        QList<std::optional<QPointF>> offsets;
        for (int i = 0; i < c.panes; ++i) offsets.append(QPointF(i, 10 * i + 5));
        const ToKeep keep = controller.savePositions(offsets);
        ASSERT_TRUE(keep.kept);
        EXPECT_EQ(keep.scrolledSites.size(), c.panes);
        for (int i = 0; i < c.panes; ++i) {
            const SiteKept site = keep.kept->site(start.panes[i].id);
            EXPECT_EQ(site.scrollTop, QString::number(10 * i + 5)) << i;
            EXPECT_EQ(site.scrollLeft, QString::number(i)) << i;
        }
        // A capture of any pane is read for that pane's own site.
        const PageOutcome past = controller.pageCaptured(c.panes, {});
        EXPECT_EQ(past, PageOutcome{});
    }
}

TEST(Panes, TheMiddleOfAGridIsSaidAsSuch) {
    EXPECT_EQ(PaneCaption(4, 9), u"Riquadro &5 (al centro)"_s);
    EXPECT_EQ(PaneCaption(3, 9), u"Riquadro &4 (al centro a sinistra)"_s);
    EXPECT_EQ(PaneCaption(1, 6), u"Riquadro &2 (in alto al centro)"_s);
    EXPECT_EQ(PaneCaption(9, 12), u"Riquadro 10 (in basso al centro)"_s);
}

}  // namespace
}  // namespace quintavia
