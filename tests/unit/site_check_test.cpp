#include "core/watch/site_check.h"

#include <gtest/gtest.h>

#include "qt_printing.h"

using namespace Qt::StringLiterals;

namespace quintavia {
namespace {

const SiteRule& Rule(const QString& id) {
    return *BuiltInCatalogue().find(id);
}

// The search page of a site, as the rule table gives its address.
QUrl SearchPage(const QString& id) {
    return QUrl(ExpandSearch(Rule(id).search,
                             {.regionText = u"Lazio"_s, .regionIndex = 6, .keywords = u"cuoco"_s}));
}

QList<Listing> Cards(int count) {
    QList<Listing> cards;
    for (int i = 1; i <= count; ++i)
        cards.append({u"Cuoco "_s + QString::number(i),
                      QUrl(u"https://www.subito.it/offerte-lavoro/cuoco_"_s + QString::number(i))});
    return cards;
}

// What a check makes of one page: the listings a pane would read there, at most ten, and what
// the pane's watch would say of the site.
TEST(SiteCheck, APageGivesItsListingsOrTheReasonTheSiteIsBlind) {
    const QString jobonline = u"jobonline"_s;
    const QString listingMarkup =
        u"<html><body><div id=\"dettaglioPosizione\">Cuoco capo</div></body></html>"_s;
    const QString bare = u"<html><body><p>Nessun annuncio</p></body></html>"_s;
    const QString consent = u"<html><body><div id=\"didomi-notice\"></div></body></html>"_s;
    const struct {
        const char* what;
        QString site;
        PageCapture capture;
        QList<Listing> listings;
        QString reason;
    } cases[] = {
        {"a marker rule: the newest title, with the page's address",
         jobonline,
         {.url = SearchPage(jobonline), .markup = listingMarkup},
         {{u"CUOCO CAPO"_s, SearchPage(jobonline)}},
         {}},
        {"a marker rule, no marker in the page",
         jobonline,
         {.url = SearchPage(jobonline), .markup = bare},
         {},
         u"la pagina non contiene più gli annunci"_s},
        // MioJob's marker is a class of every layout: a wall that holds it is a wall.
        {"a consent wall holding a marker rule's generic marker",
         u"miojob"_s,
         {.url = SearchPage(u"miojob"_s),
          .markup = u"<html><body><div id=\"didomi-notice\" class=\"clearfix\">Accetta</div>"
                    u"<div class=\"clearfix\">x</div></body></html>"_s},
         {},
         u"la pagina chiede il consenso ai cookie"_s},
        {"a marker page on another domain is not read",
         jobonline,
         {.url = QUrl(u"http://www.altrove.example/"_s), .markup = listingMarkup},
         {},
         u"la pagina è su un altro sito (www.altrove.example)"_s},
        {"a selector rule: the first ten in page order",
         u"subito"_s,
         {.url = SearchPage(u"subito"_s), .markup = bare, .listings = Cards(12)},
         Cards(10),
         {}},
        {"a selector rule: hidden characters leave the titles",
         u"subito"_s,
         {.url = SearchPage(u"subito"_s),
          .markup = bare,
          .listings = QList<Listing>{{u"Cuoco\u202E capo\u200B"_s, Cards(1)[0].link}}},
         {{u"Cuoco capo"_s, Cards(1)[0].link}},
         {}},
        {"a selector rule whose script read nothing, behind a consent banner",
         u"subito"_s,
         {.url = SearchPage(u"subito"_s), .markup = consent, .listings = QList<Listing>{}},
         {},
         u"la pagina chiede il consenso ai cookie"_s},
        {"an HTTP error, whatever the body holds",
         u"subito"_s,
         {.url = SearchPage(u"subito"_s),
          .markup = bare,
          .loadSucceeded = false,
          .httpStatus = 429,
          .listings = Cards(3)},
         Cards(3),
         u"il sito risponde con errore 429"_s},
        {"a closed site says so",
         u"infojobs"_s,
         {.url = SearchPage(u"infojobs"_s), .markup = bare},
         {},
         Rule(u"infojobs"_s).closedNote},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SiteCheck check = CheckSite(Rule(c.site), c.capture);
        EXPECT_EQ(check.listings, c.listings);
        EXPECT_EQ(check.blindReason, c.reason);
    }
}

TEST(SiteCheck, TheReportNamesEachFieldOnALineOfItsOwn) {
    const struct {
        const char* what;
        PageCapture capture;
        SiteCheck check;
        QString report;
    } cases[] = {
        {"listings",
         {.url = QUrl(u"https://www.subito.it/annunci-lazio/"_s), .markup = {}, .httpStatus = 200},
         {.listings = Cards(2), .blindReason = {}},
         u"indirizzo: https://www.subito.it/annunci-{regione_slug}/\n"
         "stato HTTP: 200\n"
         "indirizzo finale: https://www.subito.it/annunci-lazio/\n"
         "annunci: 2\n"
         "  Cuoco 1\n    https://www.subito.it/offerte-lavoro/cuoco_1\n"
         "  Cuoco 2\n    https://www.subito.it/offerte-lavoro/cuoco_2\n"_s},
        {"details and keys where the rule reads them",
         {.url = QUrl(u"https://www.subito.it/annunci-lazio/"_s), .markup = {}, .httpStatus = 200},
         {.listings = {{u"Cuoco"_s, QUrl(u"https://www.subito.it/o/cuoco-12.htm"_s), u"Acme"_s,
                        u"Roma"_s, u"2026-12-01"_s},
                       {u"Barista"_s, QUrl(u"https://www.subito.it/o/b"_s)}},
          .blindReason = {},
          .keys = {{ListingKey::Kind::Rule, u"12"_s},
                   {ListingKey::Kind::Link, u"https://www.subito.it/o/b"_s}}},
         u"indirizzo: https://www.subito.it/annunci-{regione_slug}/\n"
         "stato HTTP: 200\n"
         "indirizzo finale: https://www.subito.it/annunci-lazio/\n"
         "annunci: 2\n"
         "  Cuoco\n    https://www.subito.it/o/cuoco-12.htm\n"
         "    azienda: Acme\n    luogo: Roma\n    pubblicato: 2026-12-01\n"
         "    riconosciuto dalla chiave della regola: 12\n"
         "  Barista\n    https://www.subito.it/o/b\n"
         "    riconosciuto dal link: https://www.subito.it/o/b\n"_s},
        {"none, the engine's error page, an address with a blank",
         {.url = QUrl(u"https://www.subito.it/a b"_s), .markup = {}, .loadSucceeded = false},
         {.listings = {}, .blindReason = u"pagina di errore del browser"_s},
         u"indirizzo: https://www.subito.it/annunci-{regione_slug}/\n"
         "stato HTTP: nessuno, la pagina non si è caricata\n"
         "indirizzo finale: https://www.subito.it/a%20b\n"
         "annunci: 0\n"
         "non sorvegliabile: pagina di errore del browser\n"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(
            CheckReport(u"https://www.subito.it/annunci-{regione_slug}/"_s, c.capture, c.check),
            c.report);
    }
}

// A second load tells whether the links stay: the same titles under new links say they do not.
TEST(SiteCheck, ASecondLoadTellsWhetherTheLinksStay) {
    const auto capture = [](const QString& query) {
        QList<Listing> cards;
        for (int i = 0; i < 4; ++i)
            cards.append(
                {u"Cuoco %1"_s.arg(i),
                 QUrl(u"https://www.subito.it/offerte-lavoro/c%1?%2"_s.arg(i).arg(query))});
        return PageCapture{.url = SearchPage(u"subito"_s), .markup = u""_s, .listings = cards};
    };
    SiteRule rule = Rule(u"subito"_s);
    rule.key.clear();
    const PageCapture first = capture(u"trk=1"_s);
    const PageCapture tokened = capture(u"trk=2"_s);
    const PageCapture random = capture(u"id=2"_s);
    EXPECT_TRUE(CheckSite(rule, first, &tokened).linksChange.isEmpty());
    EXPECT_EQ(CheckSite(rule, first, &random).linksChange,
              u"i link di Subito cambiano a ogni caricamento: da ora i suoi annunci sono "
              u"riconosciuti dal titolo e dall'azienda"_s);
    EXPECT_TRUE(CheckSite(rule, first).linksChange.isEmpty());
    EXPECT_EQ(CheckSite(rule, first).keys.value(0),
              (ListingKey{ListingKey::Kind::Link, u"https://www.subito.it/offerte-lavoro/c0"_s}));
}

}  // namespace
}  // namespace quintavia
