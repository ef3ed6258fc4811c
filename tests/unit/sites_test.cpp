#include "core/sites.h"

#include <gtest/gtest.h>

#include <cstring>

#include "qt_printing.h"

namespace quintavia {
namespace {

TEST(Sites, LogLabelsAreNineCharactersAndInfoJobsFindsItsOwnHost) {
    for (int i = 0; i < kSiteCount; ++i) EXPECT_EQ(std::strlen(SiteAt(i).logLabel), 9u) << i;
    // The InfoJobs marker carries the same host as its search address.
    const QString host = QString::fromLatin1(SiteAt(3).marker).section('/', 0, 0);
    EXPECT_TRUE(SearchAddress(3, "x", 0).startsWith("http://" + host + "/"));
}

TEST(Sites, NineteenRegionsInListOrder) {
    const QStringList& regions = RegionList();
    ASSERT_EQ(regions.size(), 19);
    EXPECT_EQ(regions.front(), "Abruzzo");
    EXPECT_EQ(regions[6], "Lazio");
    EXPECT_EQ(regions[16], "Trentino Alto Adige");
    EXPECT_EQ(regions.back(), "Valle d'Aosta");
}

}  // namespace
}  // namespace quintavia
