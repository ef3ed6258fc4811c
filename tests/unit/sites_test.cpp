#include "core/sites/sites.h"

#include <gtest/gtest.h>

#include "core/layout/panes.h"
#include "core/sites/site_rules.h"
#include "qt_printing.h"

namespace quintavia {
namespace {

TEST(Sites, LogLabelsAreNineCharactersAndInfoJobsFindsItsOwnHost) {
    // The design's four have nine characters; any other site shows its name whole.
    for (const SiteRule& rule : BuiltInCatalogue().rules)
        EXPECT_EQ(rule.logLabel, DefaultPane(rule.id) >= 0 ? rule.logLabel.left(9) : rule.name)
            << rule.id.toStdString();
    for (const SiteRule& rule : DefaultRules())
        EXPECT_EQ(rule.logLabel.size(), 9) << rule.id.toStdString();
    // The InfoJobs marker carries the same host as its search address.
    const QString host = DefaultRules()[3].marker.section('/', 0, 0);
    EXPECT_TRUE(
        ExpandSearch(DefaultRules()[3].search, {"x", 0, {}}).startsWith("http://" + host + "/"));
}

TEST(Sites, EachSiteIsOnItsOwnDomainOnly) {
    struct Case {
        const char* url;
        int site;  // -1: none
    };
    const Case cases[] = {
        {"http://miojob.repubblica.it/offerte/lavoro/cerca/offer_location_region-Lazio", 0},
        {"https://MIOJOB.Repubblica.IT/x", 0},
        {"http://repubblica.it./", -1},
        {"http://miojob.repubblica.it./", 0},
        {"http://a.miojob.repubblica.it:8080/", 0},
        {"http://a.b.repubblica.it:8080/", -1},
        {"http://it.jobrapido.com/?w=&l=Lazio&r=auto", 1},
        {"https://www.jobonline.it/lavoro/", 2},
        {"http://www.infojobs.it/offerte-lavoro/Lazio", 3},
        {"http://user@infojobs.it/", 3},
        {"http://infojobs.it@example.com/", -1},
        {"http://xinfojobs.it/", -1},
        {"http://infojobs.it.example.com/", -1},
        {"http://jobrapido.co/", -1},
        {"ftp://www.jobonline.it/", -1},
        {"file:///www.jobonline.it/", -1},
        {"data:text/html,www.jobonline.it", -1},
        {"http://xn--jobonlin-x2a.it/", -1},
        {"http://192.0.2.1/", -1},
        {"not an address", -1},
        {"https://www.repubblica.it/economia/miojob/offerte", 0},
        {"https://www.repubblica.it/", -1},  // the news, not the job board
        {"https://www.repubblica.it/economia/", -1},
        {"https://m.it.jobrapido.com/annuncio/1", 1},
        {"HTTPS://WWW.INFOJOBS.IT/", 3},
        {"http://www.infojobs.it./offerte-lavoro", 3},
        {"http://jobrapido.com.example.org/", -1},
        {"http://notjobrapido.com/", -1},
        {"http://www.jobonline.it.evil.example/", -1},
        {"http://www.example.org/?r=www.jobonline.it", -1},
        {"http://www.infojobs.net/", -1},
        {"http://www.\u0456nfojobs.it/", -1},  // a Cyrillic i
        {"", -1},
        {"about:blank", -1},
        {"ftp://it.jobrapido.com/", -1},
    };
    for (const Case& c : cases) {
        const QUrl url(QString::fromUtf8(c.url));
        for (int site = 0; site < kPaneCount; ++site)
            EXPECT_EQ(IsRulePage(DefaultRules()[site], url), site == c.site)
                << c.url << " site " << site;
    }
    // Every search address is a page of its own site.
    for (const SiteRule& rule : BuiltInCatalogue().rules)
        EXPECT_TRUE(IsRulePage(rule, QUrl(ExpandSearch(rule.search, {"Lazio", 6, "cuoco"}))))
            << rule.id.toStdString();
}

TEST(Sites, TwentyRegionsInListOrder) {
    const QStringList& regions = RegionList();
    ASSERT_EQ(regions.size(), 20);
    EXPECT_EQ(regions.front(), "Abruzzo");
    EXPECT_EQ(regions[6], "Lazio");
    EXPECT_EQ(regions[16], "Trentino Alto Adige");
    EXPECT_EQ(regions[18], "Valle d'Aosta");
    EXPECT_EQ(regions.back(), "Veneto");
    // Jobonline numbers the regions by their place in the list.
    EXPECT_TRUE(ExpandSearch(DefaultRules()[2].search, {"Veneto", 19, {}}).contains("&fld3=20&"));
}

TEST(Sites, ARegionIsNamedInAnyCaseWithBlanksAround) {
    struct Case {
        const char* text;
        std::optional<int> named;
    };
    const Case cases[] = {
        {"Abruzzo", 0},
        {"lombardia", 8},
        {"  LOMBARDIA\t", 8},
        {"Veneto", 19},
        {"valle d'aosta", 18},
        {"Friuli Venezia Giulia ", 5},
        {"Valle d\u2019Aosta", std::nullopt},  // another apostrophe
        {"Valle", std::nullopt},
        {"Lombardia e Piemonte", std::nullopt},
        {"Emilia  Romagna", std::nullopt},
        {"Emilia-Romagna", std::nullopt},
        {"Roma", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RegionNamed(QString::fromUtf8(c.text)), c.named) << c.text;
}

}  // namespace
}  // namespace quintavia
