#include <gtest/gtest.h>

#include "fakes.h"
#include "search/site_table.h"

namespace quintavia::testing {
namespace {

QString Mio(const QString& r) {
    return "http://miojob.repubblica.it/offerte/lavoro/cerca/offer_location_region-" + r;
}
QString Rapido(const QString& r) {
    return "http://it.jobrapido.com/?w=&l=" + r + "&r=auto";
}
QString Online(int n) {
    return "http://www.jobonline.it/lavoro/?fld2=0&fld3=" + QString::number(n) +
           "&fld4=0&fld1=ricerca+testuale&search=cerca+lavoro";
}
QString Info(const QString& r) {
    return "http://www.infojobs.it/offerte-lavoro/" + r;
}

QStringList Expected(const QString& region, int number) {
    return {Mio(region), Rapido(region), Online(number), Info(region)};
}

TEST(SiteTable, LabelsAndMarkers) {
    const char* logLabels[] = {"MioJob   ", "Jobrapido", "Jobonline", "Infojobs "};
    const char* markers[] = {"clearfix", "span class", "dettaglioposizione",
                             "www.infojobs.it/selezionare"};
    for (int i = 0; i < kSiteCount; ++i) {
        EXPECT_STREQ(SiteAt(i).logLabel, logLabels[i]);
        EXPECT_EQ(std::strlen(SiteAt(i).logLabel), 9u);
        EXPECT_STREQ(SiteAt(i).marker, markers[i]);
    }
    // The InfoJobs marker carries the same host as its search address.
    EXPECT_TRUE(SearchAddress(3, "x", 0)->startsWith(
        "http://" + QString::fromLatin1(SiteAt(3).marker).section('/', 0, 0) + "/"));
}

TEST(SiteTable, RegionListInOrder) {
    const QStringList& regions = RegionList();
    ASSERT_EQ(regions.size(), 19);
    EXPECT_EQ(regions.front(), "Abruzzo");
    EXPECT_EQ(regions[6], "Lazio");
    EXPECT_EQ(regions[16], "Trentino Alto Adige");
    EXPECT_EQ(regions.back(), "Valle d'Aosta");
}

TEST(SiteTable, AddressesForEveryRegionInsertTextUnchanged) {
    const QStringList& regions = RegionList();
    for (int i = 0; i < regions.size(); ++i) {
        const QStringList expected = Expected(regions[i], i + 1);
        for (int site = 0; site < kSiteCount; ++site)
            EXPECT_EQ(SearchAddress(site, regions[i], static_cast<qint16>(i)), expected[site])
                << regions[i].toStdString() << " site " << site;
    }
    EXPECT_EQ(*SearchAddress(1, "Valle d'Aosta", 18),
              "http://it.jobrapido.com/?w=&l=Valle d'Aosta&r=auto");
    EXPECT_EQ(*SearchAddress(0, "", 0),
              "http://miojob.repubblica.it/offerte/lavoro/cerca/offer_location_region-");
    EXPECT_EQ(*SearchAddress(1, "", 0), "http://it.jobrapido.com/?w=&l=&r=auto");
    EXPECT_EQ(*SearchAddress(3, "", 0), "http://www.infojobs.it/offerte-lavoro/");
    EXPECT_EQ(*SearchAddress(2, "ignored", -1), Online(0));
    EXPECT_EQ(*SearchAddress(1, "  mIlAnO & co%20 ", 0),
              "http://it.jobrapido.com/?w=&l=  mIlAnO & co%20 &r=auto");
    EXPECT_FALSE(SearchAddress(4, "Lazio", 0));
    EXPECT_FALSE(SearchAddress(-1, "Lazio", 0));
}

TEST(Startup, FillsListsAndLoadsAbruzzoInPaneOrder) {
    FakeWindow w;
    w.logic.onLoad();
    EXPECT_EQ(w.controls.regions, RegionList());
    EXPECT_EQ(w.logic.regionIndex(), 0);
    EXPECT_EQ(w.logic.siteLabels()[0], "MioJob   ");
    EXPECT_EQ(w.logic.listingMarkers()[3], "www.infojobs.it/selezionare");
    const QStringList expected = Expected("Abruzzo", 1);
    Journal navigations;
    for (int i = 0; i < kSiteCount; ++i)
        navigations.push_back("navigate " + std::to_string(i) + " " + expected[i].toStdString());
    EXPECT_EQ(w.journal, navigations);
}

TEST(Startup, GoesOnPastAPaneThatFails) {
    FakeWindow w;
    w.panes[1].failNavigate = true;
    w.logic.onLoad();
    EXPECT_EQ(w.panes[0].navigations.size(), 1);
    EXPECT_EQ(w.panes[1].navigations.size(), 1);
    EXPECT_TRUE(w.panes[2].navigations.isEmpty());
    EXPECT_TRUE(w.panes[3].navigations.isEmpty());
    EXPECT_EQ(w.controls.regions.size(), 19);
}

TEST(Refresh, RegionChoiceUsesTextAndRegionNumber) {
    FakeWindow w;
    w.logic.onLoad();
    w.controls.listIndex = 6;
    w.controls.regionBox = "Lazio";
    EXPECT_TRUE(w.logic.onRegionChosen());
    EXPECT_EQ(w.lastNavigations(), Expected("Lazio", 7));

    // Typed text goes to the three text sites; Jobonline keeps the chosen number.
    w.controls.regionBox = "Roma e provincia";
    EXPECT_TRUE(w.logic.onRefreshClicked());
    EXPECT_EQ(w.lastNavigations(), Expected("Roma e provincia", 7));

    w.controls.listIndex = 18;
    w.controls.regionBox = "Valle d'Aosta";
    w.logic.onRegionChosen();
    EXPECT_EQ(w.lastNavigations(), Expected("Valle d'Aosta", 19));

    w.controls.listIndex = -1;
    w.controls.regionBox = "";
    w.logic.onRegionChosen();
    EXPECT_EQ(w.logic.regionIndex(), -1);
    EXPECT_EQ(w.lastNavigations(), Expected("", 0));
}

TEST(Refresh, TwiceSendsTheSameAddressesTwice) {
    FakeWindow w;
    w.logic.onLoad();
    w.logic.onRefreshClicked();
    w.logic.onRefreshClicked();
    for (const auto& pane : w.panes) {
        ASSERT_EQ(pane.navigations.size(), 3);
        EXPECT_EQ(pane.navigations[1], pane.navigations[2]);
    }
}

TEST(Refresh, StopsAtTheFailingPaneAndReportsIt) {
    FakeWindow w;
    w.logic.onLoad();
    w.panes[2].failNavigate = true;
    w.controls.listIndex = 6;
    w.controls.regionBox = "Lazio";
    EXPECT_FALSE(w.logic.onRegionChosen());
    EXPECT_EQ(w.logic.regionIndex(), 6);  // stored before the refresh failed
    EXPECT_EQ(w.panes[1].navigations.back(), Rapido("Lazio"));
    EXPECT_EQ(w.panes[2].navigations.back(), Online(7));  // asked, and failed
    EXPECT_EQ(w.panes[3].navigations, QStringList{Info("Abruzzo")});
}

}  // namespace
}  // namespace quintavia::testing
