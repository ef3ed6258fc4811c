#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include "harness.h"

namespace quintavia::e2e {
namespace {

class SiteSearches : public ::testing::Test {
  protected:
    void SetUp() override { Harness::instance().reset(); }
};

TEST_F(SiteSearches, StartUpRegionChoiceAndRefreshReachTheSites) {
    Harness& bench = Harness::instance();
    auto window = StartWindow();
    EXPECT_EQ(window->windowTitle(), "Quintavia by Norvello - www.norvello.it");
    ASSERT_EQ(NextRefreshLines(), RefreshRequestLines("Abruzzo", "Abruzzo", 1));

    auto* regions = window->findChild<QComboBox*>("regionBox");
    ASSERT_NE(regions, nullptr);
    ASSERT_EQ(regions->count(), 20);
    EXPECT_EQ(regions->currentText(), "Abruzzo");

    bench.server().clearRequests();
    regions->setCurrentIndex(6);
    emit regions->activated(6);
    ASSERT_EQ(NextRefreshLines(), RefreshRequestLines("Lazio", "Lazio", 7));

    // "Aggiorna" sends the box's text as it stands, typed or chosen, and to Jobonline the
    // number of the region it names.
    bench.server().clearRequests();
    regions->setEditText("Valle d'Aosta");
    window->findChild<QPushButton*>("refreshButton")->click();
    ASSERT_EQ(NextRefreshLines(), RefreshRequestLines("Valle%20d'Aosta", "Valle%20d%27Aosta", 19));
}

// The region kept from the last run is the one searched from the first pages on, by all four
// sites: Jobonline by the number of the region that the text names, in whatever letter case.
TEST_F(SiteSearches, TheStoredRegionIsSearchedFromTheFirstPagesOn) {
    Harness& bench = Harness::instance();
    struct Case {
        QString stored;
        QList<QByteArray> first;
    };
    const Case cases[] = {
        {"Lombardia", RefreshRequestLines("Lombardia", "Lombardia", 9)},
        {"veneto", RefreshRequestLines("veneto", "veneto", 20)},
        // Text that names no region: Jobonline searches the first region, as nothing was
        // chosen yet.
        {"Milano", RefreshRequestLines("Milano", "Milano", 1)},
    };
    for (const Case& c : cases) {
        bench.reset();
        ASSERT_TRUE(support::Seed(bench.settingsPath(), {{"Posizione", "1", c.stored}}));
        auto window = StartWindow();
        EXPECT_EQ(window->findChild<QComboBox*>("regionBox")->currentText(), c.stored);
        EXPECT_EQ(NextRefreshLines(), c.first) << c.stored.toStdString();
        // The countdown's refresh searches the same.
        bench.server().clearRequests();
        RunCountdownOut(*window);
        EXPECT_EQ(NextRefreshLines(), c.first) << c.stored.toStdString();
    }
}

}  // namespace
}  // namespace quintavia::e2e
