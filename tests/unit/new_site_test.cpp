#include "core/watch/new_site.h"

#include <gtest/gtest.h>

#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(NewSite, ItsIdIsFreeInTheCatalogueAndItReadsByTheSelectorsFound) {
    Catalogue catalogue = BuiltInCatalogue();
    const struct {
        const char* name;
        const char* id;
    } names[] = {
        {"Bacheca Più Offerte", "bacheca-piu-offerte"},
        {"  ★ ", "sito"},
        {"Jobrapido", "jobrapido-2"},
        {"Indeed", "indeed-2"},
    };
    for (const auto& n : names)
        EXPECT_EQ(NewSiteId(QString::fromUtf8(n.name), catalogue), QLatin1StringView(n.id))
            << n.name;

    const SiteRule read = RuleForAddress(QUrl(u"https://www.bacheca.it/cerca?q=cuoco"_s));
    StructureReading reading;
    EXPECT_FALSE(NewSite(read, reading, u"Bacheca"_s, catalogue));
    reading.listings = {{u"Cuoco"_s, QUrl(u"https://www.bacheca.it/o/1"_s), u"Bar Sole"_s, {}}};
    reading.selectors = {u"li.job"_s, u"h3"_s, u"a"_s, {}, {}};
    reading.others = {{u"ul.correlate > li"_s, 5, u"Cuoco a Roma"_s},
                      {u"li.job"_s, 12, u"Cuoco"_s}};
    EXPECT_EQ(CardGroups(reading), (QStringList{u"li.job"_s, u"ul.correlate > li"_s}));
    EXPECT_EQ(NewSiteLine(reading.listings.first()), u"Cuoco · Bar Sole"_s);
    EXPECT_FALSE(NewSite(read, reading, u"  "_s, catalogue));
    // A name the catalogue has, whatever its case, would be refused at the next start.
    EXPECT_EQ(NewSiteNameProblem(u" indeed "_s, catalogue),
              u"C'è già un sito di nome \"indeed\": scegline un altro."_s);
    EXPECT_FALSE(NewSite(read, reading, u"INDEED"_s, catalogue));
    EXPECT_EQ(NewSiteNameProblem(u" Bacheca  Nuova "_s, catalogue), QString());
    const std::optional<SiteRule> site = NewSite(read, reading, u" Bacheca  Nuova "_s, catalogue);
    ASSERT_TRUE(site);
    EXPECT_EQ(site->id, u"bacheca-nuova"_s);
    EXPECT_EQ(site->name, u"Bacheca Nuova"_s);
    EXPECT_EQ(site->domain, u"bacheca.it"_s);
    EXPECT_EQ(site->search, u"https://www.bacheca.it/cerca?q={parole}"_s);
    EXPECT_EQ(site->selector, u"li.job h3"_s);
    EXPECT_EQ(RuleProblem(*site), QString());
}

}  // namespace
}  // namespace quintavia
