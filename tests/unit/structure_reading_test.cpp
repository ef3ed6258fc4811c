#include "core/page/structure_reading.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include "core/watch/site_check.h"
#include "core/watch/site_watch.h"
#include "core/watch/watch_controller.h"
#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

QVariantMap Answer(const QVariantList& listings, const QVariantMap& selectors = {},
                   const QString& reason = {}) {
    return {{u"listings"_s, listings},
            {u"selectors"_s, selectors},
            {u"groups"_s,
             QVariantList{QVariant(QVariantList{u"ul.altro > li"_s, 4.0, u"Altro"_s, 1.5})}},
            {u"reason"_s, reason},
            {u"ms"_s, 12.0}};
}

QVariantList Card(const QString& title, const QString& link, const QVariant& company = u""_s,
                  const QVariant& place = u""_s) {
    return {title, link, company, place};
}

TEST(StructureReading, TheAnswerGivesTheListingsThatHaveATitleAndAWebLink) {
    const QVariantMap selectors{{u"card"_s, u"li.offerta"_s},
                                {u"title"_s, u"h3"_s},
                                {u"link"_s, u""_s},
                                {u"company"_s, u".azienda"_s},
                                {u"place"_s, 7.0}};
    const std::optional<StructureReading> reading = StructureFromAnswer(Answer(
        {Card(u"  Cuoco \n capo  "_s, u"https://www.sito.it/o/1"_s, u" Trattoria  Mario "_s,
              u"Roma"_s),
         Card(u""_s, u"https://www.sito.it/o/2"_s), Card(u"Senza link"_s, u"javascript:void(0)"_s),
         Card(u"Relativo"_s, u"/o/3"_s), QVariantList{u"Tre parti"_s, u"https://a.it/"_s, u""_s},
         Card(u"Un posto"_s, u"http://www.sito.it/o/4"_s, 3.0, QString(300, u'x'))},
        selectors));
    ASSERT_TRUE(reading);
    const QList<StructureListing> expected{
        {u"Cuoco capo"_s, QUrl(u"https://www.sito.it/o/1"_s), u"Trattoria Mario"_s, u"Roma"_s},
        {u"Un posto"_s, QUrl(u"http://www.sito.it/o/4"_s), u""_s, QString(200, u'x')}};
    EXPECT_EQ(reading->listings, expected);
    EXPECT_EQ(reading->selectors,
              (StructureSelectors{u"li.offerta"_s, u"h3"_s, u""_s, u".azienda"_s, u""_s}));
    EXPECT_EQ(reading->others, (QList<CandidateGroup>{{u"ul.altro > li"_s, 4, u"Altro"_s}}));
    EXPECT_EQ(reading->reason, u""_s);
    EXPECT_EQ(reading->pageMs, 12);
    EXPECT_EQ(PlainListings(reading->listings),
              (QList<Listing>{{u"Cuoco capo"_s, QUrl(u"https://www.sito.it/o/1"_s)},
                              {u"Un posto"_s, QUrl(u"http://www.sito.it/o/4"_s)}}));

    // What is not the script's answer is none; one without listings says why.
    EXPECT_FALSE(StructureFromAnswer(QVariant()));
    EXPECT_FALSE(StructureFromAnswer(QVariantList{}));
    EXPECT_FALSE(StructureFromAnswer(u"bad-selector"_s));
    EXPECT_EQ(StructureFromAnswer(Answer({}, {}, u"time"_s))->reason, u"time"_s);
    EXPECT_EQ(StructureFromAnswer(Answer({}))->reason, u"none"_s);
    EXPECT_TRUE(
        StructureFromAnswer(Answer({Card(u"A"_s, u"https://a.it/"_s)}, {}, u"kept"_s))->fromKept);
    QVariantList many;
    for (int i = 0; i < kMaxListings + 5; ++i)
        many.append(QVariant(Card(u"T%1"_s.arg(i), u"https://a.it/%1"_s.arg(i))));
    EXPECT_EQ(StructureFromAnswer(Answer(many))->listings.size(), kMaxListings);
}

TEST(StructureReading, TheScriptCarriesTheDomainAndTheKeptSelectorsAsLiterals) {
    const QString fresh = StructureScript(u"sito.it"_s);
    EXPECT_TRUE(fresh.contains(u"})(\"sito.it\", null, 50, 1000, 4096, 1500)"_s))
        << fresh.right(80).toStdString();
    const QString own = StructureScript({});
    EXPECT_TRUE(own.contains(u"})(null, null, "_s));
    const QString kept =
        StructureScript(u"sito.it"_s, {u"li[data-x=\"%1\"]"_s, u"h3"_s, {}, {}, u".luogo"_s});
    EXPECT_TRUE(
        kept.contains(u"{card: \"li[data-x=\\\"%1\\\"]\", title: \"h3\", link: \"\", "
                      u"company: \"\", place: \".luogo\"}"_s));
    // Nothing of the arguments is left to fill; the script is one expression.
    static const QRegularExpression placeholder(u"%[1-9]"_s);
    EXPECT_FALSE(fresh.contains(placeholder));
    EXPECT_TRUE(fresh.startsWith(u"(function"_s));
}

TEST(StructureReading, SelectorsAreKeptFromAGoodReadingAndOnlyWhenTheyChange) {
    const StructureSelectors first{u"li.offerta"_s, u"a"_s, {}, {}, {}};
    const StructureSelectors second{u"article.card"_s, u"h2"_s, {}, {}, {}};
    StructureReading good;
    good.listings = {{u"Cuoco"_s, QUrl(u"https://a.it/1"_s), {}, {}}};
    good.selectors = first;
    StructureReading empty;
    empty.selectors = second;
    StructureReading unnamed = good;
    unnamed.selectors = {};
    StructureReading moved = good;
    moved.selectors = second;
    const struct {
        const char* what;
        StructureReading reading;
        bool changed;
        StructureSelectors kept;
    } steps[] = {
        {"nothing yet, nothing found", empty, false, {}},
        {"the first good reading", good, true, first},
        {"the same again", good, false, first},
        {"a reading without listings keeps them", empty, false, first},
        {"listings without selectors keep them", unnamed, false, first},
        {"found again by others", moved, true, second},
    };
    KeptSelectors kept;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        EXPECT_EQ(kept.learn(u"bacheca"_s, step.reading), step.changed);
        EXPECT_EQ(kept.of(u"bacheca"_s), step.kept);
        EXPECT_TRUE(kept.of(u"altro"_s).isEmpty());
    }
    kept.forget(u"bacheca"_s);
    EXPECT_TRUE(kept.of(u"bacheca"_s).isEmpty());
}

TEST(StructureReading, APastedAddressBecomesASearchWithItsPlaceholders) {
    const struct {
        const char* address;
        QString region, words;  // given
        const char* search;
    } cases[] = {
        {"https://www.bacheca.it/offerte/?q=cuoco&l=Lazio", u""_s, u""_s,
         "https://www.bacheca.it/offerte/?q={parole}&l={regione}"},
        {"https://www.bacheca.it/annunci-emilia-romagna/lavoro/?order=datedesc", u""_s, u""_s,
         "https://www.bacheca.it/annunci-{regione_slug}/lavoro/?order=datedesc"},
        {"https://www.bacheca.it/lavoro/valle-d-aosta/", u"Valle d'Aosta"_s, u""_s,
         "https://www.bacheca.it/lavoro/{regione_slug}/"},
        {"https://www.bacheca.it/cerca?cosa=aiuto%20cuoco&dove=Puglia&n=2", u""_s, u"aiuto cuoco"_s,
         "https://www.bacheca.it/cerca?cosa={parole}&dove={regione}&n=2"},
        {"https://www.bacheca.it/elenco", u""_s, u""_s, "https://www.bacheca.it/elenco"},
        {"https://www.bacheca.it/elenco?pagina=1", u""_s, u""_s,
         "https://www.bacheca.it/elenco?pagina=1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SearchTemplate(QUrl(QString::fromLatin1(c.address)), c.region, c.words),
                  QString::fromLatin1(c.search))
            << c.address;
        const SiteRule rule = RuleForAddress(QUrl(QString::fromLatin1(c.address)));
        EXPECT_EQ(rule.id, u"bacheca"_s);
        EXPECT_EQ(rule.domain, u"bacheca.it"_s);
        EXPECT_EQ(rule.findBy, FindBy::Structure);
        EXPECT_EQ(RuleProblem(rule), QString()) << c.address;
    }
    EXPECT_EQ(RuleForAddress(QUrl(u"http://it.jobs.example/"_s)).id, u"jobs"_s);
    EXPECT_EQ(RuleForAddress(QUrl(u"http://lavoro.it/"_s)).domain, u"lavoro.it"_s);
    // With the list of public suffixes, the domain the site registered under a suffix of two.
    const PublicSuffixes suffixes = PublicSuffixes::Parse(u"it\nco.uk\nuk\n"_s);
    const SiteRule british = RuleForAddress(QUrl(u"https://www.jobs.lavoro.co.uk/"_s), suffixes);
    EXPECT_EQ(british.domain, u"lavoro.co.uk"_s);
    EXPECT_EQ(british.id, u"lavoro"_s);
    EXPECT_EQ(RuleForAddress(QUrl(u"https://it.bacheca.it/"_s), suffixes).domain, u"bacheca.it"_s);
}

TEST(StructureReading, TheProposedRuleReadsTheCardsTitlesAndLinksByTheFoundSelectors) {
    SiteRule read = RuleForAddress(QUrl(u"https://www.bacheca.it/?q=cuoco"_s));
    PageCapture capture;
    capture.url = QUrl(u"https://www.bacheca.it/?q=cuoco"_s);
    EXPECT_FALSE(ProposedRule(read, capture, {}, {}));
    StructureReading reading;
    reading.listings = {{u"Cuoco"_s, QUrl(u"https://www.bacheca.it/o/1"_s), {}, {}}};
    reading.selectors = {u"article.card"_s, u"h2"_s, u"a.vedi"_s, {}, {}};
    capture.structure = reading;
    const std::optional<SiteRule> proposed = ProposedRule(read, capture, {}, {});
    ASSERT_TRUE(proposed);
    EXPECT_EQ(proposed->findBy, FindBy::Selector);
    EXPECT_EQ(proposed->selector, u"article.card h2"_s);
    EXPECT_EQ(proposed->linkSelector, u"a.vedi"_s);
    EXPECT_EQ(proposed->search, u"https://www.bacheca.it/?q={parole}"_s);
    EXPECT_EQ(RuleProblem(*proposed), QString());
    // A card that is its title's own element.
    capture.structure->selectors = {u"div.cards > a"_s, {}, {}, {}, {}};
    EXPECT_EQ(ProposedRule(read, capture, {}, {})->selector, u"div.cards > a"_s);
}

TEST(StructureReading, ASelectorThatDoesNotParseIsTheRulesFaultWhateverThePageShows) {
    SiteRule rule = RuleForAddress(QUrl(u"https://www.bacheca.it/"_s));
    rule.findBy = FindBy::Selector;
    rule.selector = u"article:has(h3) h3"_s;
    PageCapture capture;
    capture.url = QUrl(u"https://www.bacheca.it/"_s);
    capture.markup = u"<html><body><div id=\"iubenda-cs-banner\"></div></body></html>"_s;
    capture.selectorFault = true;
    const SiteCheck check = CheckSite(rule, capture);
    EXPECT_EQ(check.blindReason, u"il selettore non è valido"_s);
    const Observation seen = Observe(rule, WatchFacts(rule, capture, ReadListings(rule, capture)));
    EXPECT_EQ(seen.kind, Observation::Kind::RuleFault);
    EXPECT_TRUE(BlindAdviceFor(seen).startsWith(u"correggilo in siti.ini"_s));
    // A page elsewhere is still told as such.
    capture.url = QUrl(u"https://altrove.it/"_s);
    EXPECT_EQ(CheckSite(rule, capture).blindReason, u"la pagina è su un altro sito (altrove.it)"_s);
}

}  // namespace
}  // namespace quintavia

namespace quintavia {
namespace {

// A site read by structure keeps the selectors of its first good reading for its panes, and
// only a reading of its own pages that finds listings by others changes them.
TEST(StructureReading, TheControllerKeepsTheSelectorsOfASitesOwnGoodReadings) {
    SiteRule board = RuleForAddress(QUrl(u"https://www.bacheca.it/offerte"_s));
    Catalogue catalogue = BuiltInCatalogue();
    catalogue.rules.append(board);
    WatchController controller(catalogue);
    Kept stored;
    stored.options.paneSites[2] = board.id;
    controller.startUp(stored);

    const auto capture = [&](const char* url, const StructureSelectors& found, bool listings) {
        StructureReading reading;
        reading.selectors = found;
        if (listings)
            reading.listings = {{u"Cuoco"_s, QUrl(u"https://www.bacheca.it/o/1"_s), {}, {}}};
        return PageCapture{.url = QUrl(QString::fromLatin1(url)),
                           .markup = u"<html></html>"_s,
                           .listings = PlainListings(reading.listings),
                           .structure = reading};
    };
    const StructureSelectors cards{u"li.offerta"_s, u"a"_s, {}, {}, {}};
    const StructureSelectors articles{u"article"_s, u"h2"_s, {}, {}, {}};
    const struct {
        const char* what;
        PageCapture page;
        std::optional<StructureSelectors> told;
    } steps[] = {
        {"the first good reading", capture("https://www.bacheca.it/offerte", cards, true), cards},
        {"the same cards", capture("https://www.bacheca.it/offerte", cards, true), std::nullopt},
        {"a page without listings", capture("https://www.bacheca.it/offerte", articles, false),
         std::nullopt},
        {"another site's page", capture("https://altrove.it/", articles, true), std::nullopt},
        {"the cards changed", capture("https://www.bacheca.it/offerte", articles, true), articles},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        const PageOutcome outcome = controller.pageCaptured(2, step.page);
        EXPECT_EQ(outcome.keptSelectors, step.told);
    }
    EXPECT_EQ(controller.keptSelectors().of(board.id), articles);
}

}  // namespace
}  // namespace quintavia
