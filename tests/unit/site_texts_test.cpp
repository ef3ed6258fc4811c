#include "core/watch/site_texts.h"

#include <gtest/gtest.h>

#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(SiteTexts, TheWindowIsDescribedByTheSitesItsPanesShow) {
    EXPECT_EQ(WindowDescription({u"Indeed"_s, u"LinkedIn"_s, u"Lombardia Lavoro"_s, u"Indeed"_s}),
              u"Sorveglia gli annunci di lavoro di Indeed, LinkedIn e Lombardia Lavoro per una "
              u"regione"_s);
    EXPECT_EQ(WindowDescription({u"Indeed"_s}),
              u"Sorveglia gli annunci di lavoro di Indeed per una regione"_s);
}

// Only a site whose address has a place for the keywords searches them.
TEST(SiteTexts, TheKeywordsNoteNamesThePanesThatSearchThem) {
    const Catalogue& sites = BuiltInCatalogue();
    const SiteRule jobrapido = *sites.find(u"jobrapido"_s);
    const SiteRule jobonline = *sites.find(u"jobonline"_s);
    const SiteRule randstad = *sites.find(u"randstad"_s);  // {parole_slug}
    const SiteRule miojob = *sites.find(u"miojob"_s);
    struct Case {
        QList<SiteRule> panes;
        QString note;
    };
    const Case cases[] = {
        {{miojob, jobrapido, jobonline, randstad},
         u"Cercano le parole chiave solo i riquadri 2 (Jobrapido) e 4 (Randstad); gli altri "
         u"mostrano la ricerca per regione."_s},
        {{miojob, jobrapido, jobonline},
         u"Cerca le parole chiave solo il riquadro 2 (Jobrapido); gli altri mostrano la ricerca "
         u"per regione."_s},
        {{jobrapido, randstad}, u"Tutti i riquadri cercano le parole chiave."_s},
        {{miojob, jobonline},
         u"Nessun riquadro cerca le parole chiave: i siti scelti non le accettano."_s},
    };
    for (const Case& c : cases) EXPECT_EQ(KeywordPanesNote(c.panes), c.note);
}

}  // namespace
}  // namespace quintavia
