#include "core/page/listing_extraction.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "core/listings/listing.h"
#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(ListingExtraction, SelectorsEnterTheScriptAsStringLiteralsOfTheirOwnText) {
    const QString texts[] = {
        u""_s,
        u"a[href*=\"/jobs/view/\"]"_s,
        u"a[title='x']"_s,
        u"\\\"); alert(1); (\""_s,
        u"div\n.x\r\t"_s,
        u"</script><script>alert(1)</script>"_s,
        u"h2 \u2028 \u2029 span"_s,
        u"[data-titolo=\"più 😀\"]"_s,
        u"\x01\x1f\x7f"_s,
        QString(QChar(0xD800)),  // half a pair
    };
    for (const QString& text : texts) {
        const QString literal = JsStringLiteral(text);
        for (const QChar c : literal) EXPECT_LT(c.unicode(), 0x7f) << literal.toStdString();
        if (text.isValidUtf16()) {
            const QJsonDocument parsed = QJsonDocument::fromJson(("[" + literal + "]").toUtf8());
            ASSERT_TRUE(parsed.isArray()) << literal.toStdString();
            EXPECT_EQ(parsed.array().at(0).toString(), text) << literal.toStdString();
        }
    }
    EXPECT_EQ(JsStringLiteral(QString(QChar(0xD800))), u"\"\\ud800\""_s);
}

TEST(ListingExtraction, TheScriptCarriesTheRulesSelectorsAndOnlyForSelectorRules) {
    SiteRule rule;
    rule.findBy = FindBy::Selector;
    rule.selector = u"h2[title=\"%1\"] span"_s;
    const QString withoutLink = ExtractionScript(rule);
    EXPECT_TRUE(withoutLink.contains(u"var titleSelector = \"h2[title=\\\"%1\\\"] span\";"_s))
        << withoutLink.toStdString();
    EXPECT_TRUE(withoutLink.contains(u"var linkSelector = null;"_s));
    EXPECT_FALSE(withoutLink.contains(u"%2"_s));

    rule.linkSelector = u"a[href$='.htm']"_s;
    const QString withLink = ExtractionScript(rule);
    EXPECT_TRUE(withLink.contains(u"var linkSelector = \"a[href$='.htm']\";"_s));
    EXPECT_TRUE(withLink.contains(u"listings.length < 50"_s));

    // What a card tells, read within it; the key's attribute alone of the rule's key.
    rule.companySelector = u".azienda"_s;
    rule.dateSelector = u"time"_s;
    rule.key = u"attr:data-entity-urn re:(\\d+)$"_s;
    const QString withDetails = ExtractionScript(rule);
    EXPECT_TRUE(withDetails.contains(u"detailOf(card, \".azienda\", false),\n"_s))
        << withDetails.toStdString();
    EXPECT_TRUE(
        withDetails.contains(u"detailOf(card, null, false), detailOf(card, \"time\", true)"_s));
    EXPECT_TRUE(withDetails.contains(u"var keyAttribute = \"data-entity-urn\";"_s));

    rule.findBy = FindBy::Marker;
    rule.marker = u"clearfix"_s;
    EXPECT_EQ(ExtractionScript(rule), QString());
}

QVariantList Pair(const QVariant& text, const QVariant& href) {
    return QVariantList{text, href};
}

// An answer of one pair. Braces around a single list would copy that list rather than hold it,
// as some compilers read them.
QVariantList OnePair(const QVariant& text, const QVariant& href) {
    QVariantList answer;
    answer.append(QVariant(Pair(text, href)));
    return answer;
}

TEST(ListingExtraction, AnswersBecomeBoundedListingsWithHttpLinks) {
    const QString longTitle = u"x"_s.repeated(kTitleUnits - 1) + u"😀"_s + u"y"_s;
    struct Case {
        const char* what;
        QVariant answer;
        QList<Listing> listings;
    };
    const Case cases[] = {
        {"no answer", QVariant(), {}},
        {"null from a selector that is no CSS", QVariant::fromValue(nullptr), {}},
        {"not a list", QVariant(u"h2"_s), {}},
        {"none", QVariantList{}, {}},
        {"two, in page order",
         QVariantList{Pair(u"  Cuoco\n\t a   Roma "_s, u"https://it.jobrapido.com/a?x=1#f"_s),
                      Pair(u"Barista"_s, u"http://it.jobrapido.com/b"_s)},
         {{u"Cuoco a Roma"_s, QUrl(u"https://it.jobrapido.com/a?x=1#f"_s)},
          {u"Barista"_s, QUrl(u"http://it.jobrapido.com/b"_s)}}},
        {"links that lead nowhere a listing can be",
         QVariantList{Pair(u"a"_s, u"javascript:void(0)"_s), Pair(u"b"_s, u""_s),
                      Pair(u"c"_s, u"/relativo"_s), Pair(u"d"_s, u"mailto:x@y.it"_s),
                      Pair(u"e"_s, u"data:text/html,x"_s), Pair(u"f"_s, u"http:///x"_s),
                      Pair(u"g"_s, u"https://a.it/ x"_s), Pair(u"h"_s, u"HTTPS://A.IT/h"_s)},
         {{u"h"_s, QUrl(u"https://a.it/h"_s)}}},
        {"no text", OnePair(u" \u00a0\n"_s, u"https://a.it/"_s), {}},
        {"entries of another shape",
         QVariantList{QVariantList{u"a"_s}, Pair(1, u"https://a.it/"_s),
                      Pair(u"b"_s, QVariantList{}), u"c"_s,
                      QVariantList{u"d"_s, u"https://a.it/d"_s, u"e"_s},
                      Pair(u"f"_s, u"https://a.it/f"_s)},
         {{u"f"_s, QUrl(u"https://a.it/f"_s)}}},
        {"a long title, cut before a pair",
         OnePair(longTitle, u"https://a.it/"_s),
         {{longTitle.left(kTitleUnits - 1), QUrl(u"https://a.it/"_s)}}},
        {"half a pair left at the end by the script's cut",
         OnePair(u"abc "_s + QChar(0xD83D), u"https://a.it/"_s),
         {{u"abc"_s, QUrl(u"https://a.it/"_s)}}},
        {"the script's entries, with what the card tells",
         QVariantList{QVariantList{u"Cuoco"_s, u"https://a.it/o?id=1|2"_s, u" Acme\n Srl "_s,
                                   u"Roma\u202E"_s, u"2026-12-01T09:00"_s, u"urn:1"_s},
                      QVariantList{u"Barista"_s, u"https://a.it/b"_s, u""_s, 1, u""_s, u""_s}},
         {{u"Cuoco"_s, QUrl(u"https://a.it/o?id=1%7C2"_s), u"Acme Srl"_s, u"Roma"_s,
           u"2026-12-01T09:00"_s, u"urn:1"_s}}},
        {"a link too long",
         OnePair(u"a"_s, u"https://a.it/"_s + u"p"_s.repeated(kMaxLinkUnits)),
         {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ListingsFromAnswer(c.answer), c.listings) << c.what;

    QVariantList many;
    for (int i = 0; i < kMaxListings + 10; ++i)
        many.append(QVariant(Pair(QString::number(i), u"https://a.it/"_s + QString::number(i))));
    const QList<Listing> read = ListingsFromAnswer(many);
    ASSERT_EQ(read.size(), kMaxListings);
    EXPECT_EQ(read.back().title, QString::number(kMaxListings - 1));
}

}  // namespace
}  // namespace quintavia
