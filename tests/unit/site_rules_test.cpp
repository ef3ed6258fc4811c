#include "core/sites/site_rules.h"

#include <gtest/gtest.h>

#include <QSet>

#include "core/layout/panes.h"
#include "core/sites/sites.h"
#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

// The four sites as the program always knew them, and the addresses it always built: users'
// stored titles and searches rely on them, byte for byte.
struct Golden {
    const char* id;
    const char* name;
    const char* paneLabel;
    const char* logLabel;
    const char* marker;
    const char* domain;
};
constexpr Golden kGolden[kPaneCount] = {
    {"miojob", "MioJob", "Mio Job", "MioJob   ", "clearfix", "repubblica.it"},
    {"jobrapido", "Jobrapido", "Job Rapido", "Jobrapido", "span class", "jobrapido.com"},
    {"jobonline", "Jobonline", "Job on Line", "Jobonline", "dettaglioposizione", "jobonline.it"},
    {"infojobs", "InfoJobs", "Info Jobs", "Infojobs ", "www.infojobs.it/selezionare",
     "infojobs.it"},
};

QString GoldenAddress(int site, const QString& region, qint16 index) {
    switch (site) {
        case 0:
            return u"http://miojob.repubblica.it/offerte/lavoro/cerca/offer_location_region-"_s +
                   region;
        case 1:
            return u"http://it.jobrapido.com/?w=&l="_s + region + u"&r=auto"_s;
        case 2:
            return u"http://www.jobonline.it/lavoro/?fld2=0&fld3="_s +
                   QString::number(int{index} + 1) +
                   u"&fld4=0&fld1=ricerca+testuale&search=cerca+lavoro"_s;
        default:
            return u"http://www.infojobs.it/offerte-lavoro/"_s + region;
    }
}

TEST(SiteRules, DefaultsSearchTheAddressesTheSiteTableAlwaysBuilt) {
    const QList<SiteRule>& defaults = DefaultRules();
    ASSERT_EQ(defaults.size(), kPaneCount);
    for (int i = 0; i < kPaneCount; ++i) {
        const SiteRule& rule = defaults[i];
        const Golden& site = kGolden[i];
        EXPECT_EQ(rule.id, QLatin1StringView(site.id));
        EXPECT_EQ(rule.name, QLatin1StringView(site.name)) << i;
        EXPECT_EQ(rule.paneLabel, QLatin1StringView(site.paneLabel)) << i;
        EXPECT_EQ(rule.logLabel, QLatin1StringView(site.logLabel)) << i;
        EXPECT_EQ(rule.marker, QLatin1StringView(site.marker)) << i;
        EXPECT_EQ(rule.domain, QLatin1StringView(site.domain)) << i;
        EXPECT_EQ(rule.findBy, FindBy::Marker) << i;
    }

    // Every region of the list at every place in it, typed texts among them, and the numbers
    // at the ends of the index's range.
    QStringList texts = RegionList();
    texts << u""_s << u" "_s << u"  Lazio  "_s << u"Forlì-Cesena"_s << u"Città di Castello"_s
          << u"a&b=c"_s << u"x#y?z"_s << u"50%"_s << u"{regione}"_s << u"d'Aosta/Aoste"_s;
    QList<qint16> indexes{-1, 32767, -32768};
    for (qint16 index = 0; index < RegionList().size(); ++index) indexes.append(index);
    for (const QString& text : texts)
        for (const qint16 index : indexes)
            for (int i = 0; i < kPaneCount; ++i)
                EXPECT_EQ(ExpandSearch(defaults[i].search, {text, index, {}}),
                          GoldenAddress(i, text, index))
                    << i << " " << text.toStdString() << " " << index;
}

TEST(SiteRules, PlaceholdersTakeTheRegionAndKeywordsEachInItsOwnForm) {
    struct Case {
        QString search;
        SearchQuery query;
        QString address;
    };
    const Case cases[] = {
        {u"https://a.it/{regione}/{regione_n}/{regione_slug}?q={parole}"_s,
         {u"Valle d'Aosta"_s, 18, u"cuoco  pizzaiolo "_s},
         u"https://a.it/Valle d'Aosta/19/valle-d-aosta?q=cuoco%20pizzaiolo"_s},
        {u"https://a.it/?q={parole}&l={regione}"_s,
         {u"Lazio"_s, 6, {}},
         u"https://a.it/?q=&l=Lazio"_s},
        {u"https://a.it/?q={parole}"_s,
         {{}, 0, u"C++ & Qt/QML #1 100% più"_s},
         u"https://a.it/?q=C%2B%2B%20%26%20Qt%2FQML%20%231%20100%25%20pi%C3%B9"_s},
        {u"https://a.it/?q={parole}"_s, {{}, 0, u" \t\n"_s}, u"https://a.it/?q="_s},
        // Not a placeholder: left as written; a refused rule never gets here.
        {u"https://a.it/{altro}/{regione"_s,
         {u"Lazio"_s, 0, {}},
         u"https://a.it/{altro}/{regione"_s},
        // Words in a path segment of their own, which goes when there are none.
        {u"https://a.it/lavoro/{regione_slug}/q-{parole_slug}/pagina/"_s,
         {u"Lazio"_s, 6, u"Addetto  Caffè "_s},
         u"https://a.it/lavoro/lazio/q-addetto-caffe/pagina/"_s},
        {u"https://a.it/lavoro/{regione_slug}/q-{parole_slug}/"_s,
         {u"Lazio"_s, 6, u" ? "_s},
         u"https://a.it/lavoro/lazio/"_s},
        {u"https://a.it/{regione}{regione}"_s,
         {u"{regione_n}"_s, 0, {}},
         u"https://a.it/{regione_n}{regione_n}"_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandSearch(c.search, c.query), c.address) << c.search.toStdString();
}

TEST(SiteRules, RegionSlugsAreLowerCaseAsciiWordsBetweenSingleDashes) {
    const std::pair<QString, QString> cases[] = {
        {u"Valle d'Aosta"_s, u"valle-d-aosta"_s},
        {u"Emilia Romagna"_s, u"emilia-romagna"_s},
        {u"Friuli Venezia Giulia"_s, u"friuli-venezia-giulia"_s},
        {u"  Trentino -- Alto  Adige/Südtirol  "_s, u"trentino-alto-adige-sudtirol"_s},
        {u"Forlì-Cesena"_s, u"forli-cesena"_s},
        {u"CITTÀ DI CASTELLO"_s, u"citta-di-castello"_s},
        {u"Valle d’Aosta"_s, u"valle-d-aosta"_s},  // a typographic apostrophe
        {u"ﬁrenze ２"_s, u"firenze-2"_s},          // a ligature, a full-width digit
        {u"Ærø"_s, u"r"_s},                        // no ASCII form: separators
        {u"--- . ---"_s, u""_s},
        {u""_s, u""_s},
        {u"Reggio\nCalabria\t"_s, u"reggio-calabria"_s},
        {u"Lazio 2"_s, u"lazio-2"_s},
    };
    for (const auto& [text, slug] : cases) EXPECT_EQ(RegionSlug(text), slug) << text.toStdString();
}

TEST(SiteRules, ASearchAddressMustStayOnItsDomainWithKnownPlaceholders) {
    struct Case {
        QString search;
        QString domain;
        QString problem;  // empty: accepted
    };
    const Case cases[] = {
        {u"https://it.jobrapido.com/?w={parole}&l={regione}"_s, u"jobrapido.com"_s, {}},
        {u"HTTP://It.JobRapido.com./x"_s, u"jobrapido.com"_s, {}},
        {u"https://jobrapido.com"_s, u"jobrapido.com"_s, {}},
        {u"https://jobrapido.com?l={regione}"_s, u"jobrapido.com"_s, {}},
        {u"https://user@jobrapido.com:8443/#{regione}"_s, u"jobrapido.com"_s, {}},
        {u"https://jobrapido.com.example.org/"_s, u"jobrapido.com"_s,
         u"il suo host jobrapido.com.example.org non è sotto jobrapido.com"_s},
        {u"https://jobrapido.com@example.org/"_s, u"jobrapido.com"_s,
         u"il suo host example.org non è sotto jobrapido.com"_s},
        {u"https://notjobrapido.com/"_s, u"jobrapido.com"_s,
         u"il suo host notjobrapido.com non è sotto jobrapido.com"_s},
        {u"https://j\u043Ebrapido.com/"_s, u"jobrapido.com"_s,
         u"il suo host xn--jbrapido-nbh.com non è sotto jobrapido.com"_s},
        {u"https://example.org\\@jobrapido.com/"_s, u"jobrapido.com"_s,
         u"una barra rovesciata nel nome del sito"_s},
        {u"https://{regione_slug}.jobrapido.com/"_s, u"jobrapido.com"_s,
         u"un segnaposto nel nome del sito"_s},
        {u"https://jobrapido.com{regione}"_s, u"jobrapido.com"_s,
         u"un segnaposto nel nome del sito"_s},
        {u"ftp://jobrapido.com/"_s, u"jobrapido.com"_s, u"non è un indirizzo http o https"_s},
        {u"javascript://jobrapido.com/%0aalert(1)"_s, u"jobrapido.com"_s,
         u"non è un indirizzo http o https"_s},
        {u"jobrapido.com/?l={regione}"_s, u"jobrapido.com"_s, u"non è un indirizzo http o https"_s},
        {u"https:///x"_s, u"jobrapido.com"_s, u"non è un indirizzo http o https"_s},
        {u""_s, u"jobrapido.com"_s, u"non è un indirizzo http o https"_s},
        {u"https://jobrapido.com/?q={q}"_s, u"jobrapido.com"_s, u"il segnaposto sconosciuto {q}"_s},
        {u"https://jobrapido.com/{}"_s, u"jobrapido.com"_s, u"il segnaposto sconosciuto {}"_s},
        {u"https://jobrapido.com/{Regione}"_s, u"jobrapido.com"_s,
         u"il segnaposto sconosciuto {Regione}"_s},
        {u"https://jobrapido.com/{regione"_s, u"jobrapido.com"_s,
         u"una \"{\" senza la sua \"}\""_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SearchProblem(c.search, c.domain), c.problem) << c.search.toStdString();
}

SiteRule Valid() {
    SiteRule rule;
    rule.id = u"prova-2"_s;
    rule.name = u"Prova"_s;
    rule.paneLabel = u"Prova"_s;
    rule.logLabel = LogLabelFor(rule.name);
    rule.search = u"https://www.prova.it/?q={parole}"_s;
    rule.domain = u"prova.it"_s;
    rule.findBy = FindBy::Selector;
    rule.selector = u"h2 a"_s;
    return rule;
}

TEST(SiteRules, ARuleNeedsAnIdANameADomainAnAddressOnItAndOneWayToItsListings) {
    struct Case {
        const char* what;
        void (*change)(SiteRule&);
        QString problem;
    };
    const Case cases[] = {
        {"valid", [](SiteRule&) {}, {}},
        {"a marker",
         [](SiteRule& r) {
             r.findBy = FindBy::Marker;
             r.marker = u"x"_s;
         },
         {}},
        {"page scopes",
         [](SiteRule& r) {
             r.pages = {{u"prova.it"_s, {}}, {u"www.prova.it"_s, u"/lavoro/"_s}};
         },
         {}},
        {"upper case id", [](SiteRule& r) { r.id = u"Prova"_s; },
         u"\"Prova\" non è un id di sito: lettere minuscole, cifre e \"-\""_s},
        {"id with a dot", [](SiteRule& r) { r.id = u"prova.it"_s; },
         u"\"prova.it\" non è un id di sito: lettere minuscole, cifre e \"-\""_s},
        {"no name", [](SiteRule& r) { r.name.clear(); }, u"manca \"nome\""_s},
        {"a line break in the name", [](SiteRule& r) { r.name = u"a\nb"_s; },
         u"\"nome\" contiene un carattere di controllo"_s},
        {"no pane label", [](SiteRule& r) { r.paneLabel.clear(); }, u"manca \"etichetta\""_s},
        {"a top-level domain", [](SiteRule& r) { r.domain = u"it"_s; },
         u"\"dominio\": it non è un dominio come esempio.it (lettere minuscole senza accenti, cifre e \"-\", con i suoi punti)"_s},
        {"upper case domain", [](SiteRule& r) { r.domain = u"Prova.it"_s; },
         u"\"dominio\": Prova.it non è un dominio come esempio.it (lettere minuscole senza "
         u"accenti, cifre e \"-\", con i suoi punti)"_s},
        {"an empty label", [](SiteRule& r) { r.domain = u"prova..it"_s; },
         u"\"dominio\": prova..it non è un dominio come esempio.it (lettere minuscole senza "
         u"accenti, cifre e \"-\", con i suoi punti)"_s},
        {"no address", [](SiteRule& r) { r.search.clear(); }, u"manca \"indirizzo\""_s},
        {"an address elsewhere", [](SiteRule& r) { r.search = u"https://example.org/"_s; },
         u"\"indirizzo\": il suo host example.org non è sotto prova.it"_s},
        {"no selector", [](SiteRule& r) { r.selector.clear(); },
         u"nessun modo di trovare gli annunci: indica \"marcatore\" o \"selettore\""_s},
        {"a link selector with the structure",
         [](SiteRule& r) {
             r.findBy = FindBy::Structure;
             r.linkSelector = u"a"_s;
         },
         u"\"selettore_link\" va con \"selettore\""_s},
        {"no marker", [](SiteRule& r) { r.findBy = FindBy::Marker; },
         u"nessun modo di trovare gli annunci: indica \"marcatore\" o \"selettore\""_s},
        {"a link selector with a marker",
         [](SiteRule& r) {
             r.findBy = FindBy::Marker;
             r.marker = u"x"_s;
             r.linkSelector = u"a"_s;
         },
         u"\"selettore_link\" va con \"selettore\", non con \"marcatore\""_s},
        {"a card's details and key with a marker",
         [](SiteRule& r) {
             r.findBy = FindBy::Marker;
             r.marker = u"x"_s;
             r.key = u"attr:data-id"_s;
         },
         u"\"chiave\" va con \"selettore\", non con \"marcatore\""_s},
        {"a key and the job's address",
         [](SiteRule& r) {
             r.companySelector = u".azienda"_s;
             r.key = u"attr:data-id"_s;
             r.jobAddress = u"https://www.prova.it/annuncio/{chiave}"_s;
         },
         {}},
        {"a key that reads nothing known", [](SiteRule& r) { r.key = u"id"_s; },
         u"\"chiave\": \"id\" non è attr:NOME, param:NOME o re:ESPRESSIONE"_s},
        {"the job's address without a key",
         [](SiteRule& r) { r.jobAddress = u"https://www.prova.it/annuncio/{chiave}"_s; },
         u"\"indirizzo_annuncio\": vuole anche \"chiave\""_s},
        {"the job's address elsewhere",
         [](SiteRule& r) {
             r.key = u"param:id"_s;
             r.jobAddress = u"https://example.org/annuncio/{chiave}"_s;
         },
         u"\"indirizzo_annuncio\": il suo host example.org non è sotto prova.it"_s},
        {"the key in the job's host",
         [](SiteRule& r) {
             r.key = u"param:id"_s;
             r.jobAddress = u"https://{chiave}.prova.it/"_s;
         },
         u"\"indirizzo_annuncio\": non è un indirizzo http o https con {chiave} dopo il nome del sito"_s},
        {"a page scope elsewhere",
         [](SiteRule& r) {
             r.pages = {{u"example.org"_s, {}}};
         },
         u"\"pagine\": example.org non è sotto prova.it"_s},
        {"a relative path",
         [](SiteRule& r) {
             r.pages = {{u"prova.it"_s, u"lavoro"_s}};
         },
         u"\"pagine\": il percorso lavoro non comincia con \"/\""_s},
        {"pages without the search",
         [](SiteRule& r) {
             r.pages = {{u"www.prova.it"_s, u"/annunci/"_s}};
         },
         u"\"pagine\": l'indirizzo di ricerca non è tra esse"_s},
    };
    for (const Case& c : cases) {
        SiteRule rule = Valid();
        c.change(rule);
        EXPECT_EQ(RuleProblem(rule), c.problem) << c.what;
    }
}

TEST(SiteRules, ARulesPagesAreOnItsDomainAndWithinItsScopes) {
    const SiteRule& miojob = DefaultRules()[0];
    SiteRule anyPage = miojob;
    anyPage.pages.clear();
    struct Case {
        const char* url;
        bool scoped;  // MioJob, with its page scopes
        bool whole;   // the same rule taking the whole domain
    };
    const Case cases[] = {
        {"http://miojob.repubblica.it/offerte/lavoro/cerca/offer_location_region-Lazio", true,
         true},
        {"https://MIOJOB.Repubblica.IT./x", true, true},
        {"https://m.miojob.repubblica.it/", true, true},
        {"https://www.repubblica.it/economia/miojob/offerte/lavoro/cerca/x", true, true},
        {"https://www.repubblica.it/economia/miojob", true, true},
        {"https://www.repubblica.it/economia/miojob/", true, true},
        {"https://www.repubblica.it./economia/miojob/x", true, true},
        {"https://www.repubblica.it/economia/miojobs/", false, true},
        {"https://www.repubblica.it/economia/MioJob/", false, true},
        {"https://www.repubblica.it/economia/miojob/../../politica/", false, true},
        {"https://www.repubblica.it/economia/", false, true},
        {"https://www.repubblica.it/", false, true},
        {"https://repubblica.it/economia/miojob/", false, true},
        {"https://bari.repubblica.it/cronaca/", false, true},
        {"https://www.repubblica.it/?r=/economia/miojob/", false, true},
        {"ftp://miojob.repubblica.it/", false, false},
        {"http://miojob.repubblica.it.example.org/", false, false},
        {"http://repubblica.it@example.org/economia/miojob/", false, false},
        {"http://xn--miojb-4ve.repubblica.it/", false, true},
        {"about:blank", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        const QUrl url(QString::fromUtf8(c.url));
        EXPECT_EQ(IsRulePage(miojob, url), c.scoped) << c.url;
        EXPECT_EQ(IsRulePage(anyPage, url), c.whole) << c.url;
    }
}

TEST(SiteRules, TheBuiltInCatalogueHoldsUsableRulesOnceEach) {
    const Catalogue& catalogue = BuiltInCatalogue();
    QSet<QString> ids;
    for (const SiteRule& rule : catalogue.rules) {
        EXPECT_EQ(RuleProblem(rule), QString()) << rule.id.toStdString();
        EXPECT_TRUE(IsRulePage(rule, QUrl(ExpandSearch(rule.search, {u"Lazio"_s, 6, u"cuoco"_s}))))
            << rule.id.toStdString();
        ids.insert(rule.id);
    }
    EXPECT_EQ(ids.size(), catalogue.rules.size());
    // One name per site, as a user choosing between them reads them.
    QSet<QString> names;
    for (const SiteRule& rule : catalogue.rules) names.insert(rule.name.toLower());
    EXPECT_EQ(names.size(), catalogue.rules.size());
    // A default whose pages changed points to the preset that reads them.
    for (const SiteRule& rule : catalogue.rules)
        if (!rule.successor.isEmpty()) {
            EXPECT_NE(catalogue.find(rule.successor), nullptr) << rule.id.toStdString();
        }
    EXPECT_EQ(catalogue.find(u"jobrapido"_s)->successor, u"jobrapido-2025"_s);
    for (const char* id : {"jobrapido-2025", "indeed", "linkedin", "subito", "randstad", "gigroup",
                           "adzuna", "manpower"})
        EXPECT_NE(catalogue.find(QString::fromLatin1(id)), nullptr) << id;
    EXPECT_EQ(catalogue.find(u"infojobs"_s)->closedNote,
              u"InfoJobs Italia ha chiuso il 31 dicembre 2025"_s);
    EXPECT_EQ(catalogue.find(u"monster"_s), nullptr);
    EXPECT_EQ(
        ExpandSearch(catalogue.find(u"subito"_s)->search, {u"Emilia Romagna"_s, 4, u"cuoco"_s}),
        u"https://www.subito.it/annunci-emilia-romagna/vendita/offerte-lavoro/?q=cuoco"
        u"&order=datedesc"_s);
}

// Cut to nine, "Lombardia Lavoro" would read as the region.
TEST(SiteRules, LogLabelsAreNamesWhole) {
    const std::pair<QString, QString> cases[] = {
        {u"Indeed"_s, u"Indeed"_s},
        {u"Lombardia Lavoro"_s, u"Lombardia Lavoro"_s},
        {u" Subito "_s, u"Subito"_s},
        {u"Lavoro 😀 oggi"_s, u"Lavoro 😀 oggi"_s},
    };
    for (const auto& [name, label] : cases)
        EXPECT_EQ(LogLabelFor(name), label) << name.toStdString();
}

}  // namespace
}  // namespace quintavia
