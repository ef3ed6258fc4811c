#include <gtest/gtest.h>

#include "core/watch/watch_controller.h"
#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

QStringList PaneIds(const WatchController& controller) {
    QStringList ids;
    for (int i = 0; i < controller.paneCount(); ++i) ids.append(controller.paneRule(i).id);
    return ids;
}

QStringList BackgroundIds(const WatchController& controller) {
    QStringList ids;
    for (int b = 0; b < controller.backgroundCount(); ++b)
        ids.append(controller.backgroundRule(b).id);
    return ids;
}

// Another grid takes the sites in [Siti] order: the first as many as it has panes are shown,
// the rest watched without a pane; only a pane with a site new to it loads, and only a site
// new to the watch is loaded in the background at once.
TEST(GridChoice, TheSitesAreSplitAnewBetweenThePanesAndTheBackground) {
    const QStringList defaults = {u"miojob"_s, u"jobrapido"_s, u"jobonline"_s, u"infojobs"_s};
    const struct {
        const char* what;
        int from;
        QStringList stored;  // [Siti] past the default panes
        int to;
        QStringList panes;  // past the first four
        QStringList background;
        QStringList kept;  // [Siti] past the first four, as stored after
        QList<int> reloaded;
    } cases[] = {
        {"the next two sites come into the new panes",
         4,
         {u"linkedin"_s, u"subito"_s, u"randstad"_s},
         6,
         {u"linkedin"_s, u"subito"_s},
         {u"randstad"_s},
         {u"linkedin"_s, u"subito"_s, u"randstad"_s},
         {4, 5}},
        {"a new pane past the sites shows its default",
         4,
         {u"linkedin"_s},
         6,
         {u"linkedin"_s, u"indeed"_s},
         {},
         {u"linkedin"_s, u""_s},
         {4, 5}},
        {"the lost panes' sites go on in the background",
         6,
         {u""_s, u"subito"_s, u"randstad"_s},
         4,
         {},
         {u"jobrapido-2025"_s, u"subito"_s, u"randstad"_s},
         {u"jobrapido-2025"_s, u"subito"_s, u"randstad"_s},
         {}},
        {"a default already watched gives way to the next site",
         4,
         {u"linkedin"_s},
         9,
         {u"linkedin"_s, u"indeed"_s, u"jobrapido-2025"_s, u"subito"_s, u"randstad"_s},
         {},
         {u"linkedin"_s, u""_s, u"jobrapido-2025"_s, u""_s, u""_s},
         {4, 5, 6, 7, 8}},
        {"the same grid changes nothing",
         6,
         {u"linkedin"_s, u"subito"_s, u"randstad"_s},
         6,
         {u"linkedin"_s, u"subito"_s},
         {u"randstad"_s},
         {u"linkedin"_s, u"subito"_s, u"randstad"_s},
         {}},
    };
    for (const auto& c : cases) {
        WatchController controller(BuiltInCatalogue(), c.from);
        Kept kept;
        kept.options.paneCount = c.from;
        kept.options.paneSites = QStringList(kPaneCount) + c.stored;
        controller.startUp(kept);
        Choices choices = controller.choices();
        EXPECT_EQ(choices.paneCount, c.from) << c.what;
        choices.paneCount = c.to;
        const ChoicesOutcome outcome = controller.choose(choices);

        EXPECT_EQ(PaneIds(controller), defaults + c.panes) << c.what;
        EXPECT_EQ(outcome.panes.size(), c.to) << c.what;
        EXPECT_EQ(BackgroundIds(controller), c.background) << c.what;
        EXPECT_EQ(controller.kept().options.paneSites.mid(kPaneCount), c.kept) << c.what;
        EXPECT_EQ(controller.kept().options.paneCount, c.to) << c.what;
        EXPECT_TRUE(outcome.background.isEmpty()) << c.what;
        EXPECT_TRUE(outcome.withdrawn.isEmpty()) << c.what;
        QList<int> reloaded;
        for (int i = 0; i < outcome.reload.size(); ++i)
            if (outcome.reload[i]) reloaded.append(i);
        EXPECT_EQ(reloaded, c.reloaded) << c.what;
    }
}

// LinkedIn's results, newest first.
PageCapture LinkedIn(const QStringList& titles) {
    PageCapture page{.url = QUrl(u"https://it.linkedin.com/jobs/search/?location=Lazio"_s),
                     .markup = u"<html><body>annunci</body></html>"_s,
                     .listings = QList<Listing>()};
    for (const QString& title : titles)
        page.listings->append(
            {title, QUrl(u"https://it.linkedin.com/jobs/view/"_s + title.toLower())});
    return page;
}

// What a site found while it was watched without a pane is not news in the pane it comes to,
// nor what it found there once it goes back.
TEST(GridChoice, ASiteThatChangesPlacesKeepsWhatWasSeenOfIt) {
    WatchController controller;
    Kept kept;
    kept.options.paneSites = QStringList(kPaneCount) + QStringList{u"linkedin"_s};
    controller.startUp(kept);
    controller.backgroundCaptured(0, LinkedIn({u"Uno"_s}));
    ASSERT_EQ(controller.backgroundCaptured(0, LinkedIn({u"Due"_s, u"Uno"_s})).keep.found.size(),
              1);

    Choices choices = controller.choices();
    choices.paneCount = 6;
    controller.choose(choices);
    ASSERT_EQ(controller.paneRule(4).id, u"linkedin"_s);
    EXPECT_TRUE(controller.siteWatch(4).seenListings());
    // What came meanwhile is news; what the background found is not.
    const PageOutcome again = controller.pageCaptured(4, LinkedIn({u"Tre"_s, u"Due"_s, u"Uno"_s}));
    ASSERT_EQ(again.keep.found.size(), 1);
    EXPECT_EQ(again.keep.found[0].title, u"Tre"_s);

    choices = controller.choices();
    choices.paneCount = 4;
    const ChoicesOutcome back = controller.choose(choices);
    ASSERT_EQ(controller.backgroundRule(0).id, u"linkedin"_s);
    EXPECT_TRUE(back.background.isEmpty());
    EXPECT_TRUE(controller.backgroundWatch(0).seenListings());
    EXPECT_TRUE(
        controller.backgroundCaptured(0, LinkedIn({u"Tre"_s, u"Due"_s})).keep.found.isEmpty());
    EXPECT_EQ(controller.found().size(), 2);
}

}  // namespace
}  // namespace quintavia
