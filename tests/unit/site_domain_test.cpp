#include <gtest/gtest.h>

#include "core/sites.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(SiteDomain, OnlyTheSitesOwnRegistrableDomainAndItsSubdomains) {
    struct Case {
        int site;
        const char* url;
        bool expected;
    };
    const Case cases[] = {
        // The search addresses and the sites' other hosts.
        {0, "http://miojob.repubblica.it/offerte/lavoro/cerca/offer_location_region-Lazio", true},
        {0, "https://www.repubblica.it/", true},
        {0, "https://repubblica.it", true},
        {1, "http://it.jobrapido.com/?w=&l=Lazio&r=auto", true},
        {1, "https://m.it.jobrapido.com/annuncio/1", true},
        {2, "http://www.jobonline.it/lavoro/?fld2=0", true},
        {3, "http://www.infojobs.it/offerte-lavoro/Lazio", true},
        {3, "HTTPS://WWW.INFOJOBS.IT/", true},
        {3, "http://www.infojobs.it./offerte-lavoro", true},  // fully qualified
        {3, "http://www.infojobs.it:8080/", true},
        // Another site's domain, one that only looks like it, or one that merely contains it.
        {0, "http://it.jobrapido.com/", false},
        {1, "http://jobrapido.com.example.org/", false},
        {1, "http://notjobrapido.com/", false},
        {1, "http://jobrapido.co/", false},
        {2, "http://www.jobonline.it.evil.example/", false},
        {2, "http://www.example.org/?r=www.jobonline.it", false},
        {2, "http://www.jobonline.it@example.org/", false},
        {3, "http://www.infojobs.net/", false},
        {3, "http://www.\u0456nfojobs.it/", false},  // a Cyrillic i
        // Not a web page of anyone's.
        {1, "", false},
        {1, "about:blank", false},
        {1, "file:///it.jobrapido.com/", false},
        {1, "ftp://it.jobrapido.com/", false},
        {1, "data:text/html,jobrapido.com", false},
        // No such site.
        {-1, "http://it.jobrapido.com/", false},
        {4, "http://it.jobrapido.com/", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsOnSiteDomain(c.site, QUrl(QString::fromUtf8(c.url))), c.expected)
            << c.site << ' ' << c.url;
    }
}

}  // namespace
}  // namespace quintavia
