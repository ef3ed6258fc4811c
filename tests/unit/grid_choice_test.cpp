#include <gtest/gtest.h>

#include "core/watch/watch_controller.h"
#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

// Site ids by blanks, "-" for a place left to its default.
QStringList Ids(const char* ids) {
    QStringList list = QString::fromLatin1(ids).split(u' ', Qt::SkipEmptyParts);
    for (QString& id : list)
        if (id == u"-") id.clear();
    return list;
}

// Another grid takes the sites in [Siti] order: the first as many as it has panes are shown,
// the rest watched without a pane. Only the new panes load; no site is new to the watch, so
// none is loaded in the background at once and no notice is taken back.
TEST(GridChoice, TheSitesAreSplitAnewBetweenThePanesAndTheBackground) {
    const struct {
        int from;
        const char* stored;  // [Siti] past the first four
        int to;
        const char* panes;  // past the first four
        const char* background;
        const char* kept;  // [Siti] past the first four, after
    } cases[] = {
        {4, "linkedin subito randstad", 6, "linkedin subito", "randstad",
         "linkedin subito randstad"},
        // A new pane past the sites shows its default, or the next site when that is watched.
        {4, "linkedin", 6, "linkedin indeed", "", "linkedin -"},
        {4, "linkedin", 9, "linkedin indeed jobrapido-2025 subito randstad", "",
         "linkedin - jobrapido-2025 - -"},
        // The lost panes' sites go on without a pane, by name.
        {6, "- subito randstad", 4, "", "jobrapido-2025 subito randstad",
         "jobrapido-2025 subito randstad"},
        {6, "linkedin subito randstad", 6, "linkedin subito", "randstad",
         "linkedin subito randstad"},
    };
    for (const auto& c : cases) {
        WatchController controller(BuiltInCatalogue(), c.from);
        Kept kept;
        kept.options.paneCount = c.from;
        kept.options.paneSites = QStringList(kPaneCount) + Ids(c.stored);
        controller.startUp(kept);
        Choices choices = controller.choices();
        EXPECT_EQ(choices.paneCount, c.from) << c.panes;
        choices.paneCount = c.to;
        const ChoicesOutcome outcome = controller.choose(choices);

        QStringList panes;
        QList<int> reloaded;
        for (int i = 0; i < controller.paneCount(); ++i) {
            if (i >= kPaneCount) panes.append(controller.paneRule(i).id);
            if (outcome.reload.value(i)) reloaded.append(i);
        }
        EXPECT_EQ(panes, Ids(c.panes)) << c.panes;
        EXPECT_EQ(outcome.panes.size(), c.to) << c.panes;
        QStringList background;
        for (int b = 0; b < controller.backgroundCount(); ++b)
            background.append(controller.backgroundRule(b).id);
        EXPECT_EQ(background, Ids(c.background)) << c.panes;
        EXPECT_EQ(controller.kept().options.paneSites.mid(kPaneCount), Ids(c.kept)) << c.panes;
        EXPECT_EQ(controller.kept().options.paneCount, c.to) << c.panes;
        QList<int> added;
        for (int i = c.from; i < c.to; ++i) added.append(i);
        EXPECT_EQ(reloaded, added) << c.panes;
        EXPECT_TRUE(outcome.background.isEmpty()) << c.panes;
        EXPECT_TRUE(outcome.withdrawn.isEmpty()) << c.panes;
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
