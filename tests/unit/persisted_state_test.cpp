#include "settings/persisted_state.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace quintavia::testing {
namespace {

void Store(FakeStore& store, const char* section, const char* key, const QString& value) {
    store.values[{kAppName, QString::fromLatin1(section), QString::fromLatin1(key)}] = value;
}

QString Stored(const FakeStore& store, const char* section, const char* key) {
    const auto found =
        store.values.find({kAppName, QString::fromLatin1(section), QString::fromLatin1(key)});
    return found == store.values.end() ? QStringLiteral("<absent>") : found->second;
}

const std::array<QString, kSiteCount> kTitles{
    QStringLiteral("MAGAZZINIERE - ANNUNCIO 4"), QStringLiteral("  AUTISTA, PATENTE C  "),
    QStringLiteral("\n  CUOCO\n"), QStringLiteral("RECEPTIONIST D'ALBERGO = \"CITTÀ\" ; [X] \\")};

TEST(Shutdown, WritesTheSevenValuesInOrder) {
    FakeWindow w;
    for (int i = 0; i < kSiteCount; ++i)
        Store(w.store, "Settaggio", std::to_string(i).c_str(), kTitles[i]);
    Store(w.store, "Posizione", "0", "1");
    Store(w.store, "Posizione", "2", "2");
    w.logic.onLoad();
    w.controls.regionBox = "Roma e provincia";  // typed, never chosen
    w.journal.clear();

    EXPECT_TRUE(w.logic.onUnload());
    const Journal expected{
        "save Settaggio/0=" + kTitles[0].toStdString(),
        "save Settaggio/1=" + kTitles[1].toStdString(),
        "save Settaggio/2=" + kTitles[2].toStdString(),
        "save Settaggio/3=" + kTitles[3].toStdString(),
        "save Posizione/0=1",
        "save Posizione/1=Roma e provincia",
        "save Posizione/2=2",
    };
    EXPECT_EQ(w.journal, expected);

    // Nothing changed: the same seven again.
    w.journal.clear();
    EXPECT_TRUE(w.logic.onUnload());
    EXPECT_EQ(w.journal, expected);
}

TEST(Shutdown, FirstRunWritesEmptyTitlesAndTheDesignState) {
    FakeWindow w;
    w.logic.onLoad();
    w.journal.clear();
    EXPECT_TRUE(w.logic.onUnload());
    EXPECT_EQ(w.journal, (Journal{"save Settaggio/0=", "save Settaggio/1=", "save Settaggio/2=",
                                  "save Settaggio/3=", "save Posizione/0=0",
                                  "save Posizione/1=Abruzzo", "save Posizione/2=0"}));
    // An empty title is stored as a value, not left absent.
    EXPECT_EQ(Stored(w.store, "Settaggio", "2"), "");
}

TEST(Shutdown, EndsAtTheFirstFailedWrite) {
    for (int failing = 0; failing < 7; ++failing) {
        FakeWindow w;
        w.logic.onLoad();
        w.journal.clear();
        w.store.failWritesFrom = failing;
        EXPECT_FALSE(w.logic.onUnload()) << failing;
        EXPECT_EQ(w.journal.size(), static_cast<std::size_t>(failing));
    }
    // Without a store nothing can be written, and that is a failure too.
    Journal journal;
    FakeControls controls(journal);
    Form1Logic logic(Form1Parts{controls, {}, nullptr, nullptr, nullptr, {}});
    EXPECT_FALSE(logic.onUnload());
}

TEST(Startup, RestoresAfterTheFirstRefresh) {
    FakeWindow w;
    for (int i = 0; i < kSiteCount; ++i)
        Store(w.store, "Settaggio", std::to_string(i).c_str(), kTitles[i]);
    Store(w.store, "Posizione", "1", "Lazio");
    w.logic.onLoad();

    // The first pages are Abruzzo's, whatever was saved.
    for (const auto& pane : w.panes) ASSERT_EQ(pane.navigations.size(), 1);
    EXPECT_TRUE(w.panes[0].navigations[0].endsWith("offer_location_region-Abruzzo"));
    EXPECT_TRUE(w.panes[1].navigations[0].contains("l=Abruzzo&"));
    EXPECT_TRUE(w.panes[2].navigations[0].contains("fld3=1&"));
    EXPECT_TRUE(w.panes[3].navigations[0].endsWith("/offerte-lavoro/Abruzzo"));

    EXPECT_EQ(w.controls.regionBox, "Lazio");
    EXPECT_EQ(w.logic.regionIndex(), 0);
    EXPECT_EQ(w.logic.lastListings(), kTitles);

    // Setting the text chose nothing: the next refresh sends the text to three sites and
    // still region number 1 to Jobonline.
    w.logic.onRefreshClicked();
    EXPECT_TRUE(w.panes[0].navigations.back().endsWith("offer_location_region-Lazio"));
    EXPECT_TRUE(w.panes[1].navigations.back().contains("l=Lazio&"));
    EXPECT_TRUE(w.panes[2].navigations.back().contains("fld3=1&"));
    EXPECT_TRUE(w.panes[3].navigations.back().endsWith("/offerte-lavoro/Lazio"));
}

TEST(Startup, EmptyStoreGivesTheDesignStateAndAnEmptyRegionIsAValue) {
    FakeWindow w;
    w.logic.onLoad();
    EXPECT_EQ(w.controls.regionBox, "Abruzzo");
    EXPECT_EQ(w.controls.checks, (std::array<int, 3>{0, 0, 0}));
    for (const QString& title : w.logic.lastListings()) EXPECT_TRUE(title.isEmpty());

    FakeWindow empty;
    Store(empty.store, "Posizione", "1", "");
    empty.logic.onLoad();
    EXPECT_EQ(empty.controls.regionBox, "");
}

TEST(Startup, CheckBoxTexts) {
    struct Case {
        const char* text;
        int value;  // -1: not a value the box takes, so it keeps what it had
    };
    const Case cases[] = {{"0", 0},    {"1", 1},   {"2", 2},    {"7", -1},     {"", -1},
                          {"abc", -1}, {"-1", -1}, {"1.5", -1}, {"65536", -1}, {" 1 ", 1},
                          {"+2", 2},   {"01", 1},  {"1x", -1}};
    for (const Case& c : cases) {
        for (const int before : {0, 1}) {
            FakeWindow w;
            w.controls.checks = {before, before, 0};
            Store(w.store, "Posizione", "0", QString::fromLatin1(c.text));
            Store(w.store, "Posizione", "2", QString::fromLatin1(c.text));
            w.logic.onLoad();
            const int expected = c.value < 0 ? before : c.value;
            EXPECT_EQ(w.controls.checkValue(CheckBox::Check1), expected) << '"' << c.text << '"';
            EXPECT_EQ(w.controls.checkValue(CheckBox::Check2), expected) << '"' << c.text << '"';
            EXPECT_EQ(w.controls.checkValue(CheckBox::Check3), 0);
        }
    }
    EXPECT_EQ(CheckValueToText(2), "2");
}

TEST(Startup, WhatOneRunPersistsTheNextRestores) {
    FakeWindow first;
    for (int i = 0; i < kSiteCount; ++i)
        Store(first.store, "Settaggio", std::to_string(i).c_str(), kTitles[i]);
    first.logic.onLoad();
    first.controls.regionBox = " Valle d'Aosta ";
    first.controls.checks = {1, 2, 1};
    ASSERT_TRUE(first.logic.onUnload());

    FakeWindow second;
    second.store.values = first.store.values;
    second.logic.onLoad();
    EXPECT_EQ(second.logic.lastListings(), kTitles);
    EXPECT_EQ(second.controls.regionBox, " Valle d'Aosta ");
    // Check3 is never persisted: it starts unticked.
    EXPECT_EQ(second.controls.checks, (std::array<int, 3>{1, 2, 0}));
}

}  // namespace
}  // namespace quintavia::testing
