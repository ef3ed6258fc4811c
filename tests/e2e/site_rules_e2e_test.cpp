#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "core/layout/panes.h"
#include "core/page/listing_probe.h"
#include "listing_pages.h"
#include "shell/window/settings_dialog.h"
#include "sites_file_sites.h"

using namespace Qt::StringLiterals;

namespace quintavia::e2e {
namespace {

// The host of a site's search, as the rules have it.
QByteArray SearchHost(const SiteRule& rule) {
    return QUrl(ExpandSearch(rule.search,
                             {.regionText = u"Abruzzo"_s, .regionIndex = 0, .keywords = {}}))
        .host()
        .toLatin1();
}

class SiteRulesE2e : public SitesFileTest {
  protected:
    // The history's lines for the site of this name.
    QList<QStringList> HistoryOf(const QString& name) const {
        QList<QStringList> found = History();
        found.removeIf([&](const QStringList& row) { return row.value(1) != name; });
        return found;
    }
};

// Cards of a board read by selector: the title has no link of its own, and the card's first
// link is the employer's, so only the rule's link selector finds the listing's own page.
QByteArray BoardCards(bool withANewOne = false) {
    QByteArray page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>\n";
    const char* titles[] = {"Pizzaiolo, Roma", "Cameriere di sala, Roma", "Aiuto cuoco, Latina",
                            "Barista, Rieti"};
    for (int i = withANewOne ? 0 : 1; i < 4; ++i) {
        const QByteArray n = QByteArray::number(102 - i);
        page += "<div class=\"annuncio\"><a href=\"/azienda/" + n + "\">Azienda</a><h2>" +
                titles[i] + "</h2><a class=\"dettagli\" href=\"/offerta/" + n +
                "\">Dettagli</a></div>\n";
    }
    return page + "</body></html>\n";
}

// A board's results as a list of cards and nothing to say which: a menu and a pager around
// them, the newest card first.
QByteArray ShapeOnlyCards(bool withANewOne = false) {
    QByteArray page =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>\n<nav><a "
        "href=\"/\">Tutte le offerte</a> <a href=\"/aziende\">Aziende che assumono</a> <a "
        "href=\"/consigli\">Consigli per il colloquio</a></nav>\n<ul>\n";
    const char* titles[] = {"Magazziniere notturno", "Operatore di call center",
                            "Commessa di profumeria", "Autista consegne", "Aiuto cuoco"};
    for (int i = withANewOne ? 0 : 1; i < 5; ++i) {
        const QByteArray n = QByteArray::number(300 - i);
        page += "<li><a href=\"/offerta/" + n + "\">" + titles[i] +
                "</a> <span class=\"luogo\">Roma</span></li>\n";
    }
    return page +
           "</ul>\n<div class=\"pagination\"><a href=\"?p=2\">2</a> <a href=\"?p=3\">3</a> "
           "<a href=\"?p=4\">4</a></div></body></html>\n";
}

// What the sites file says of a site is what the pane reads at its first capture, and what the
// history gets of the next listing: a changed marker for a default site, and a site of the
// user's own read by its selector.
TEST_F(SiteRulesE2e, TheSitesFilesRuleIsWhatThePaneReadsAndLogs) {
    const SiteRule& jobrapido = DefaultRules()[1];
    const QString boardName = u"Bacheca Comune"_s;
    const QByteArray boardHost = "www.bachecacomune.example";
    const QString shapeName = u"Bacheca Forme"_s;
    const QByteArray shapeHost = "www.bachecaforme.example";
    const struct {
        const char* what;
        QString sitesFile;
        int pane;
        QString paneSite;  // under [Siti]; empty: the pane's default
        QByteArray host;
        QByteArray page;
        QString name;       // in the history
        QString logEntry;   // the pane's one entry
        QString notLogged;  // what the rule it replaces would have logged
        QByteArray next;    // the page of the next load
        QString found;      // its new listing, in the history
        QString link;       // in the history; empty: the page's address
    } cases[] = {
        {"Jobrapido's marker changed",
         u"[jobrapido]\nmarcatore = offerta-recente\n"_s,
         1,
         {},
         SearchHost(jobrapido),
         // The old marker comes first in the page, before an older listing.
         "<!DOCTYPE html><html><body>\n<div><span class=\"title\">Annuncio di ieri</span></div>\n"
         "<h3 class=\"offerta-recente\">Cuoco capo partita</h3>\n</body></html>\n",
         jobrapido.name,
         jobrapido.logLabel + u": CUOCO CAPO PARTITA"_s,
         jobrapido.logLabel + u": ANNUNCIO DI IERI"_s,
         "<!DOCTYPE html><html><body>\n<h3 class=\"offerta-recente\">Lavapiatti</h3>\n"
         "</body></html>\n",
         u"LAVAPIATTI"_s,
         {}},
        {"a board of the user's, by selector and link selector",
         u"[bacheca-comune]\nnome = "_s + boardName + u"\nindirizzo = http://"_s + boardHost +
             u"/offerte/?r={regione_slug}&q={parole}\ndominio = bachecacomune.example\n"
             u"selettore = .annuncio h2\nselettore_link = a.dettagli\n"_s,
         2, u"bacheca-comune"_s, boardHost, BoardCards(), boardName,
         LogLabelFor(boardName) + u": Cameriere di sala, Roma"_s,
         DefaultRules()[2].logLabel + u": CUOCO CAPO PARTITA"_s, BoardCards(true),
         u"Pizzaiolo, Roma"_s, u"http://"_s + boardHost + u"/offerta/102"_s},
        {"a board of the user's with only its address and domain, read by its structure",
         u"[bacheca-forme]\nnome = "_s + shapeName + u"\nindirizzo = http://"_s + shapeHost +
             u"/offerte/{regione_slug}/\ndominio = bachecaforme.example\n"_s,
         3, u"bacheca-forme"_s, shapeHost, ShapeOnlyCards(), shapeName,
         LogLabelFor(shapeName) + u": Operatore di call center"_s,
         DefaultRules()[3].logLabel + u": AUTISTA PATENTE C"_s, ShapeOnlyCards(true),
         u"Magazziniere notturno"_s, u"http://"_s + shapeHost + u"/offerta/300"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ForgetFiles();
        QFile::remove(Harness::instance().settingsPath());
        ASSERT_TRUE(WriteSitesFile(c.sitesFile));
        if (!c.paneSite.isEmpty()) {
            ASSERT_TRUE(Harness::instance().store().write(
                {{u"Siti"_s, QString::number(c.pane), c.paneSite}}));
        }
        pages = {{c.host, c.page}};
        Start();
        ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));

        const QStringList entries = LogEntries(*window);
        EXPECT_EQ(entries.size(), kPaneCount) << entries.join(u'\n').toStdString();
        EXPECT_TRUE(entries.contains(c.logEntry)) << entries.join(u'\n').toStdString();
        EXPECT_FALSE(entries.contains(c.notLogged));
        EXPECT_EQ(captures->last(c.pane).url.host().toLatin1(), c.host);
        EXPECT_TRUE(HistoryOf(c.name).isEmpty());  // the first page is learned

        pages = {{c.host, c.next}};
        const int before = captures->count(c.pane);
        RunCountdownOut(*window);
        ASSERT_TRUE(WaitFor([&] { return captures->count(c.pane) > before; }));
        const QList<QStringList> history = HistoryOf(c.name);
        ASSERT_EQ(history.size(), 1);
        EXPECT_EQ(history[0][2], c.found);
        EXPECT_EQ(history[0][3], c.link.isEmpty() ? captures->last(c.pane).url.toString() : c.link);

        captures.reset();
        window.reset();
    }
}

// A preset put in a pane by the settings file keeps its last title apart from the default
// site's; back on the default, the page that shows the title stored for it is nothing new.
TEST_F(SiteRulesE2e, APresetInAPaneKeepsItsOwnTitleAndTheDefaultBackAnnouncesNothingOld) {
    StandIn();
    ASSERT_NE(BuiltInCatalogue().find(u"indeed"_s), nullptr);
    const SiteRule& indeed = *BuiltInCatalogue().find(u"indeed"_s);
    const SiteRule& infojobs = DefaultRules()[3];
    // The fixture server answers plain http only: the preset's address, on its own host.
    QString address = indeed.search;
    ASSERT_TRUE(address.startsWith(u"https://"_s));
    address.replace(0, 8, u"http://"_s);
    ASSERT_TRUE(WriteSitesFile(u"[indeed]\nindirizzo = "_s + address + u'\n'));
    const QString indeedTitle = u"Cuoco capo partita - Trattoria da Mario"_s;
    QByteArray cards = "<!DOCTYPE html><html><body><ul>\n";
    const QByteArray titles[] = {indeedTitle.toUtf8(), "Lavapiatti"};
    for (const QByteArray& title : titles) {
        const QByteArray jk = QByteArray::number(cards.size(), 16);
        cards += "<li><div class=\"cardOutline\" data-jk=\"" + jk +
                 "\"><h2 class=\"jobTitle\"><a href=\"/viewjob?jk=" + jk + "\"><span title=\"" +
                 title + "\">" + title + "</span></a></h2></div></li>\n";
    }
    pages = {{SearchHost(indeed), cards + "</ul></body></html>\n"}};

    // Every default site has been seen as it shows now: only the preset's title is new, logged
    // and not notified, as a site's first page is learned.
    SettingsEntries stored{{u"Siti"_s, u"3"_s, indeed.id}};
    for (int i = 0; i < kPaneCount; ++i)
        stored += {u"Settaggio"_s, QString::number(i), UpperCaseUnits(sites.titles[i])};
    ASSERT_TRUE(Harness::instance().store().write(stored));
    const QString infojobsTitle = UpperCaseUnits(sites.titles[3]);

    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    EXPECT_EQ(window->paneGrid()->siteLabel(3)->text(), indeed.paneLabel);
    EXPECT_EQ(LogEntries(*window), QStringList{indeed.logLabel + u": "_s + indeedTitle});
    ASSERT_TRUE(AllSentNotificationsArrived());
    EXPECT_EQ(Notified().size(), 0);
    EXPECT_TRUE(WaitFor([&] {
        return Harness::instance().stored(u"Titoli"_s, indeed.id) == indeedTitle;
    })) << Harness::instance().stored(u"Titoli"_s, indeed.id).toStdString();
    EXPECT_EQ(Harness::instance().stored(u"Settaggio"_s, u"3"_s), infojobsTitle);

    // Back to InfoJobs, as "Impostazioni" gives it, while InfoJobs shows what it showed.
    const int before = captures->count(3);
    window->openSettings();
    SettingsDialog* dialog = window->settingsDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->siteBox(3)->setCurrentIndex(dialog->siteBox(3)->findData(infojobs.id));
    ASSERT_EQ(dialog->siteBox(3)->currentData().toString(), infojobs.id);
    dialog->findChild<QPushButton*>(u"okButton"_s)->click();
    ASSERT_TRUE(WaitFor([&] { return captures->count(3) > before; }));

    EXPECT_EQ(captures->last(3).url.host().toLatin1(), SearchHost(infojobs));
    EXPECT_TRUE(captures->last(3).markup.value_or(QString()).contains(sites.titles[3]));
    EXPECT_EQ(window->paneGrid()->siteLabel(3)->text(), infojobs.paneLabel);
    EXPECT_EQ(LogEntries(*window).size(), 1);
    ASSERT_TRUE(AllSentNotificationsArrived());
    EXPECT_EQ(Notified().size(), 0);
    EXPECT_EQ(Harness::instance().stored(u"Siti"_s, u"3"_s), u""_s);
    EXPECT_EQ(Harness::instance().stored(u"Titoli"_s, indeed.id), indeedTitle);
    window->close();
    EXPECT_EQ(Harness::instance().stored(u"Settaggio"_s, u"3"_s), infojobsTitle);
    EXPECT_EQ(Harness::instance().stored(u"Titoli"_s, indeed.id), indeedTitle);
}

// A section the program set aside is listed in "Impostazioni" with its reason, as a user who
// started the program from a menu sees no standard error; the sections it took are offered.
TEST_F(SiteRulesE2e, TheSettingsListTheSectionsSetAsideWithTheirReasons) {
    ASSERT_TRUE(WriteSitesFile(
        u"[lombardia-lavoro]\nnome = Lombardia Lavoro\n"
        u"indirizzo = https://www.lombardialavoro.example/cerca?q={parole}\n"
        u"dominio = lombardia-lavoro.it\nselettore = h2.titolo\n"
        u"[borsa]\nnome = Indeed\nindirizzo = https://www.borsa.example/\n"
        u"dominio = borsa.example\nselettore = h2\n"
        u"[comune]\nnome = Lavoro in Comune\nindirizzo = https://www.comune.example/?q={parole}\n"
        u"dominio = comune.example\nselettore = h2\n"_s));
    StandIn();
    Start();
    window->openSettings();
    SettingsDialog* dialog = window->settingsDialog();
    ASSERT_NE(dialog, nullptr);
    auto* refused = dialog->findChild<QListWidget*>(u"refusedSectionsList"_s);
    ASSERT_NE(refused, nullptr);
    QStringList rows;
    for (int i = 0; i < refused->count(); ++i) rows << refused->item(i)->text();
    EXPECT_EQ(rows, (QStringList{
                        u"[lombardia-lavoro]: \"indirizzo\": il suo host "
                        u"www.lombardialavoro.example non è sotto lombardia-lavoro.it"_s,
                        u"[borsa]: il nome \"Indeed\" è già del sito indeed: scegline un altro"_s,
                    }));
    EXPECT_FALSE(refused->accessibleName().isEmpty());
    EXPECT_GE(dialog->siteBox(0)->findData(u"comune"_s), 0);
    EXPECT_LT(dialog->siteBox(0)->findData(u"borsa"_s), 0);
    // The words go only where an address has a place for them.
    dialog->siteBox(3)->setCurrentIndex(dialog->siteBox(3)->findData(u"comune"_s));
    EXPECT_EQ(dialog->keywordPanesNote()->text(),
              u"Cercano le parole chiave solo i riquadri 2 (Jobrapido) e 4 (Lavoro in Comune); "
              u"gli altri mostrano la ricerca per regione."_s);
    dialog->reject();
}

}  // namespace
}  // namespace quintavia::e2e
