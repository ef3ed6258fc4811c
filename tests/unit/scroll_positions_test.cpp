#include "settings/scroll_positions.h"

#include <gtest/gtest.h>

#include <limits>

#include "browser/scroll_offset.h"
#include "fakes.h"

namespace quintavia::testing {
namespace {

void Store(FakeStore& store, const char* section, int site, const QString& value) {
    store.values[{kAppName, QString::fromLatin1(section), QString::number(site)}] = value;
}

QString Stored(const FakeStore& store, const char* section, int site) {
    const auto found =
        store.values.find({kAppName, QString::fromLatin1(section), QString::number(site)});
    return found == store.values.end() ? QStringLiteral("<absent>") : found->second;
}

void Scroll(FakeWindow& w, int site, std::optional<double> top, std::optional<double> left) {
    w.panes[static_cast<std::size_t>(site)].doc.top = top;
    w.panes[static_cast<std::size_t>(site)].doc.left = left;
}

// The restore ends the handling of a finished download, after the listing probe: every pane
// shows a page that the probe reads without failing.
struct PagesLoaded : FakeWindow {
    PagesLoaded() {
        for (FakePane& pane : panes)
            pane.doc.html =
                QStringLiteral("<html><head></head><body><p>Nessun annuncio</p></body></html>");
    }
};

TEST(SavePositions, WritesBothOffsetsPaneByPaneAsShortestDecimals) {
    FakeWindow w;
    Scroll(w, 0, 120, 0);
    Scroll(w, 1, 0, 35.5);
    Scroll(w, 2, 1000000, 2);
    Scroll(w, 3, 1.0 / 3, -0.0);
    w.logic.onSavePositionsClicked();
    const Journal expected{
        "save Scroll/0=120",
        "save Left/0=0",
        "save Scroll/1=0",
        "save Left/1=35.5",
        "save Scroll/2=1000000",
        "save Left/2=2",
        "save Scroll/3=0.3333333333333333",
        "save Left/3=0",
    };
    EXPECT_EQ(w.journal, expected);

    // Saving again without scrolling writes the same eight texts.
    w.journal.clear();
    w.logic.onSavePositionsClicked();
    EXPECT_EQ(w.journal, expected);
}

TEST(SavePositions, APaneWithoutDocumentKeepsItsEarlierValues) {
    FakeWindow w;
    Store(w.store, "Scroll", 2, "77");
    Store(w.store, "Left", 2, "5");
    for (int i = 0; i < kSiteCount; ++i) Scroll(w, i, 10 * i, i);
    w.panes[2].hasDocument = false;
    w.logic.onSavePositionsClicked();
    EXPECT_EQ(w.journal, (Journal{"save Scroll/0=0", "save Left/0=0", "save Scroll/1=10",
                                  "save Left/1=1", "save Scroll/3=30", "save Left/3=3"}));
    EXPECT_EQ(Stored(w.store, "Scroll", 2), "77");
    EXPECT_EQ(Stored(w.store, "Left", 2), "5");
}

TEST(SavePositions, AnOffsetThatCannotBeReadIsSkippedAlone) {
    FakeWindow w;
    Scroll(w, 0, std::nullopt, 4);
    Scroll(w, 1, 8, std::nullopt);
    Scroll(w, 2, std::numeric_limits<double>::quiet_NaN(), 1);
    Scroll(w, 3, 3, std::numeric_limits<double>::infinity());
    w.logic.onSavePositionsClicked();
    EXPECT_EQ(w.journal,
              (Journal{"save Left/0=4", "save Scroll/1=8", "save Left/2=1", "save Scroll/3=3"}));
}

TEST(RestorePositions, OnlyWhenCheck1IsExactlyOne) {
    for (const int check1 : {0, 2}) {
        PagesLoaded w;
        w.controls.checks[0] = check1;
        Store(w.store, "Scroll", 1, "abc");  // would fail if it were read
        EXPECT_TRUE(w.logic.onDownloadComplete(1));
        for (const auto& pane : w.panes) EXPECT_TRUE(pane.doc.scrolls.isEmpty());
    }
}

TEST(RestorePositions, NothingSavedScrollsToTheTopLeftCorner) {
    PagesLoaded w;
    w.controls.checks[0] = kTicked;
    Scroll(w, 3, 500, 20);
    EXPECT_TRUE(w.logic.onDownloadComplete(3));
    EXPECT_EQ(w.panes[3].doc.scrolls, (QStringList{"top 0", "left 0"}));
    EXPECT_EQ(w.panes[3].doc.top, 0.0);
    EXPECT_EQ(w.panes[3].doc.left, 0.0);
    EXPECT_TRUE(w.panes[0].doc.scrolls.isEmpty());
}

TEST(RestorePositions, StoredOffsetsVerticalFirstAfterEveryDownload) {
    PagesLoaded w;
    w.controls.checks[0] = kTicked;
    Store(w.store, "Scroll", 1, "120");
    Store(w.store, "Left", 1, "35.5");
    EXPECT_TRUE(w.logic.onDownloadComplete(1));
    EXPECT_TRUE(w.logic.onDownloadComplete(1));
    EXPECT_EQ(w.panes[1].doc.scrolls,
              (QStringList{"top 120", "left 35.5", "top 120", "left 35.5"}));
    EXPECT_EQ(w.panes[1].doc.top, 120.0);
    EXPECT_EQ(w.panes[1].doc.left, 35.5);
}

TEST(RestorePositions, ANonNumericOffsetEndsTheRestoreAtTheVerticalOne) {
    PagesLoaded w;
    w.controls.checks[0] = kTicked;
    Store(w.store, "Scroll", 0, "abc");
    Store(w.store, "Left", 0, "40");
    Scroll(w, 0, 300, 7);
    EXPECT_FALSE(w.logic.onDownloadComplete(0));
    EXPECT_EQ(w.panes[0].doc.scrolls, QStringList{"top abc"});
    EXPECT_EQ(w.panes[0].doc.top, 300.0);
    EXPECT_EQ(w.panes[0].doc.left, 7.0);

    // A bad horizontal one fails after the vertical one was applied.
    Store(w.store, "Scroll", 2, "10");
    Store(w.store, "Left", 2, "");
    EXPECT_FALSE(w.logic.onDownloadComplete(2));
    EXPECT_EQ(w.panes[2].doc.scrolls, (QStringList{"top 10", "left "}));
}

TEST(RestorePositions, FailsWithoutDocumentOrForAnUnknownPane) {
    PagesLoaded w;
    w.controls.checks[0] = kTicked;
    w.panes[2].hasDocument = false;
    EXPECT_FALSE(w.logic.onDownloadComplete(2));
    EXPECT_FALSE(w.logic.onDownloadComplete(4));
    EXPECT_FALSE(w.logic.onDownloadComplete(-1));
}

TEST(ScrollOffsetText, TheDocumentTakesNumbersOnly) {
    EXPECT_EQ(ScrollOffsetFromText("120"), 120.0);
    EXPECT_EQ(ScrollOffsetFromText(" 12.5 "), 12.5);
    EXPECT_EQ(ScrollOffsetFromText("1e3"), 1000.0);
    EXPECT_EQ(ScrollOffsetFromText("-4"), -4.0);
    for (const char* text : {"", " ", "abc", "12px", "1,5", "nan", "inf", "0x10"})
        EXPECT_FALSE(ScrollOffsetFromText(QString::fromLatin1(text))) << '"' << text << '"';
    // What the save writes, the restore takes back unchanged.
    for (const double offset : {0.0, 1.0, 120.0, 35.5, 1.0 / 3, 123456789.25, 1e21})
        EXPECT_EQ(ScrollOffsetFromText(*ScrollOffsetToText(offset)), offset);
}

}  // namespace
}  // namespace quintavia::testing
