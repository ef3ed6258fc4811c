#include "core/listings/listing_key.h"

#include <gtest/gtest.h>

#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(ListingKey, ACanonicalLinkKeepsWhatNamesTheListingAlone) {
    const std::pair<QString, QString> cases[] = {
        {u"HTTPS://IT.LinkedIn.COM/jobs/view/cuoco-at-acme-123?position=1&pageNum=0"
         u"&refId=abc%3D%3D&trackingId=x%2By&trk=public_jobs"_s,
         u"https://it.linkedin.com/jobs/view/cuoco-at-acme-123"_s},
        {u"https://it.indeed.com/rc/clk?jk=0a1b2c&bb=Zz&xkcb=SoA&fccid=f1&vjs=3"_s,
         u"https://it.indeed.com/rc/clk?jk=0a1b2c"_s},
        {u"https://it.indeed.com/viewjob?tk=1&jk=9f&from=serp&advn=2&adid=3&sjdu=a&xpse=b"
         u"&xfps=c"_s,
         u"https://it.indeed.com/viewjob?jk=9f"_s},
        {u"http://board.example:80/o/1?utm_source=x&UTM_Medium=y&gclid=1&fbclid=2&msclkid=3"
         u"&mc_cid=4&mc_eid=5#dettagli"_s,
         u"http://board.example/o/1"_s},
        {u"https://board.example:8443/o?z=1&a=2&m=%20x"_s,
         u"https://board.example:8443/o?a=2&m=%20x&z=1"_s},
        {u"https://board.example/o/1?"_s, u"https://board.example/o/1"_s},
        {u"https://www.subito.it/offerte-lavoro/cameriere-bologna-658333217.htm"_s,
         u"https://www.subito.it/offerte-lavoro/cameriere-bologna-658333217.htm"_s},
        {u"mailto:lavoro@board.example"_s, u"mailto:lavoro@board.example"_s},
    };
    for (const auto& [link, canonical] : cases) {
        EXPECT_EQ(QString::fromLatin1(CanonicalLink(QUrl(link)).toEncoded()), canonical)
            << link.toStdString();
        // What an earlier version kept is known as the same listing.
        EXPECT_EQ(CanonicalKey(QString::fromLatin1(QUrl(link).toEncoded())),
                  link.startsWith(u"mailto"_s) ? u"mailto:lavoro@board.example"_s : canonical);
    }
    EXPECT_EQ(CanonicalKey(u"Cuoco capo partita"_s), u"Cuoco capo partita"_s);
    EXPECT_EQ(CanonicalKey(u"https://"_s), u"https://"_s);
}

SiteRule Board(const QString& key, const QString& jobAddress = {}) {
    SiteRule rule;
    rule.id = u"board"_s;
    rule.domain = u"board.example"_s;
    rule.findBy = FindBy::Selector;
    rule.key = key;
    rule.jobAddress = jobAddress;
    return rule;
}

TEST(ListingKey, TheRulesKeyThenTheCanonicalLinkThenTheTitle) {
    const QUrl tokened(u"https://www.board.example/o/cuoco-42.htm?jk=7f&refId=r1#top"_s);
    const Listing card{u"Cuoco"_s, tokened, u"Acme"_s, {}, {}, u"urn:li:jobPosting:42"_s};
    using Kind = ListingKey::Kind;
    const struct {
        const char* what;
        SiteRule rule;
        Listing listing;
        ListingKey key;
    } cases[] = {
        {"an attribute of the card",
         Board(u"attr:data-entity-urn"_s),
         card,
         {Kind::Rule, u"urn:li:jobPosting:42"_s}},
        {"an attribute's group",
         Board(u"attr:data-entity-urn re:(\\d+)$"_s),
         card,
         {Kind::Rule, u"42"_s}},
        {"a parameter of the link", Board(u"param:jk"_s), card, {Kind::Rule, u"7f"_s}},
        {"a group of the link", Board(u"re:-(\\d+)\\.htm"_s), card, {Kind::Rule, u"42"_s}},
        {"a key that reads nothing falls to the link",
         Board(u"param:vjk"_s),
         card,
         {Kind::Link, u"https://www.board.example/o/cuoco-42.htm?jk=7f"_s}},
        {"no key",
         Board({}),
         card,
         {Kind::Link, u"https://www.board.example/o/cuoco-42.htm?jk=7f"_s}},
        {"no link", Board(u"param:jk"_s), {u"Cuoco"_s, QUrl()}, {Kind::Title, u"Cuoco"_s}},
    };
    for (const auto& c : cases) EXPECT_EQ(KeyOf(c.rule, c.listing), c.key) << c.what;
    EXPECT_EQ(KeyOf(Board(u"param:jk"_s), card, true),
              (ListingKey{Kind::TitleAndCompany, u"Cuoco\nAcme"_s}));
    SiteRule marker = Board({});
    marker.findBy = FindBy::Marker;
    EXPECT_EQ(KeyOf(marker, card), (ListingKey{Kind::Title, u"Cuoco"_s}));
    EXPECT_TRUE(ListingLink(marker, card).isEmpty());
}

TEST(ListingKey, TheJobsOwnAddressIsMadeFromTheKeyOnTheSitesDomain) {
    const Listing card{u"Cuoco"_s, QUrl(u"https://www.board.example/pagead/clk?mo=r&ad=x&tk=1"_s),
                       {},         {},
                       {},         u"0a 1b"_s};
    const struct {
        const char* what;
        SiteRule rule;
        QString link;
    } cases[] = {
        {"the job's address",
         Board(u"attr:data-jk"_s, u"https://www.board.example/viewjob?jk={chiave}"_s),
         u"https://www.board.example/viewjob?jk=0a%201b"_s},
        {"no address: the canonical link", Board(u"attr:data-jk"_s),
         u"https://www.board.example/pagead/clk?ad=x&mo=r"_s},
        {"an address off the domain is not taken",
         Board(u"attr:data-jk"_s, u"https://evil.example/{chiave}"_s),
         u"https://www.board.example/pagead/clk?ad=x&mo=r"_s},
        {"a key that reads nothing keeps the link",
         Board(u"param:jk"_s, u"https://www.board.example/viewjob?jk={chiave}"_s),
         u"https://www.board.example/pagead/clk?ad=x&mo=r"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QString::fromLatin1(ListingLink(c.rule, card).toEncoded()), c.link) << c.what;
}

TEST(ListingKey, RulesKeysAreReadOrRefusedWithTheReason) {
    const std::pair<QString, bool> cases[] = {
        {u""_s, true},
        {u"attr:data-jk"_s, true},
        {u"attr:data-entity-urn re:(\\d+)$"_s, true},
        {u"param:jk"_s, true},
        {u"re:-(\\d+)\\.htm$"_s, true},
        {u"attr:"_s, false},
        {u"attr:data jk"_s, false},
        {u"attr:a\"]"_s, false},
        {u"param:"_s, false},
        {u"re:-\\d+\\.htm$"_s, false},  // no group
        {u"re:(("_s, false},
        {u"data-jk"_s, false},
    };
    for (const auto& [key, fits] : cases)
        EXPECT_EQ(ListingKeyProblem(key).isEmpty(), fits) << key.toStdString();
}

TEST(ListingKey, LinksABrowserLeavesUnencodedAreTakenEncoded) {
    const std::pair<QString, QString> cases[] = {
        {u"https://a.it/offerta?id=1|a"_s, u"https://a.it/offerta?id=1%7Ca"_s},
        {u"https://a.it/offerta?id=2&ref={src}"_s, u"https://a.it/offerta?id=2&ref=%7Bsrc%7D"_s},
        {u"https://a.it/offerta?id=3&f=a^b"_s, u"https://a.it/offerta?id=3&f=a%5Eb"_s},
        {u"https://a.it/offerta?id=4&q=100%"_s, u"https://a.it/offerta?id=4&q=100%25"_s},
        {u"https://a.it/offerta?q=%zz%41"_s, u"https://a.it/offerta?q=%25zzA"_s},
        {u"https://a.it/ x"_s, u""_s},
    };
    for (const auto& [href, link] : cases) {
        const QUrl read = LenientLink(href);
        EXPECT_EQ(read.isValid() ? QString::fromLatin1(read.toEncoded()) : QString(), link)
            << href.toStdString();
    }
}

}  // namespace
}  // namespace quintavia
