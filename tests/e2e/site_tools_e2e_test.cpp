#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "harness.h"
#include "listing_pages.h"
#include "program_run.h"
#include "shell/app/program_start.h"
#include "store/ini_document.h"
#include "store/settings_file.h"
#include "store/site_catalogue.h"

using namespace Qt::StringLiterals;

namespace quintavia::e2e {
namespace {

// The host a site's search goes to, as the rule table has it.
QByteArray HostOf(int pane) {
    const SiteRule& rule = DefaultRules()[pane];
    return QUrl(ExpandSearch(rule.search,
                             {.regionText = u"Abruzzo"_s, .regionIndex = 0, .keywords = {}}))
        .host()
        .toLatin1();
}

// The user's sites file of a configuration folder, written with `text`.
QString WriteSitesFile(const QString& configHome, const QString& text) {
    const QString path = SitesPathBeside(SettingsFile::PathIn(configHome));
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) != text.toUtf8().size())
        return {};
    return path;
}

// A section that no rule can come of: its address leaves the site's domain.
const QString kBadSection =
    u"[rotta]\nnome = Rotta\nindirizzo = http://altrove.example/{regione}\n"
    u"dominio = rotta.example\nselettore = h3\n"_s;

using Outcome = ProgramOutcome;

Outcome RunProgram(const QString& configHome, const QString& dataHome,
                   const QStringList& arguments) {
    return RunToExit(configHome, dataHome, arguments);
}

class SiteTools : public ::testing::Test {
  protected:
    void SetUp() override { Harness::instance().reset(); }
    void TearDown() override { Harness::instance().reset(); }
};

// `--prova-sito` loads one site's search headless, through the same proxy switch as a run, and
// says what a pane would read there; its status says whether a listing was found.
TEST_F(SiteTools, ASiteCheckPrintsWhatThePaneWouldReadAndExitsByIt) {
    // Jobrapido read by a selector of the user's; the cards carry their links after the title.
    const QString selectorRule =
        u"[jobrapido]\nselettore = article.offerta h3\nselettore_link = a.vedi\n"_s + kBadSection;
    QByteArray cards = "<html><body>";
    for (int i = 1; i <= 12; ++i)
        cards += "<article class=\"offerta\"><h3>Cuoco capo " + QByteArray::number(i) +
                 "</h3><a class=\"vedi\" href=\"/offerta/" + QByteArray::number(i) +
                 "\">vedi</a></article>";
    // The same page, which then goes to an address the pane refuses, as a mail link would.
    const QByteArray refusing =
        cards + "<script>location.href = 'mailto:lavoro@example.com';</script>";
    cards += "</body></html>";
    const QByteArray jobrapido = HostOf(1);
    const QByteArray jobonline = HostOf(2);
    const struct {
        const char* what;
        QString sitesFile;
        QStringList arguments;
        QByteArray host;  // what the fixture site there serves
        QByteArray page;
        int exit;
        QByteArray path;       // the request the site received; empty: none looked at
        QStringList output;    // lines the standard output holds
        QStringList errors;    // texts the standard error holds
        QStringList absent{};  // texts the standard output does not hold
    } cases[] = {
        {"a marker rule, the region by its number",
         {},
         {u"--prova-sito"_s, u"jobonline"_s, u"--regione"_s, u" lazio "_s},
         jobonline,
         fixtures::ListingPage(2, u"Magazziniere notturno"_s),
         0,
         "/lavoro/?fld2=0&fld3=7&fld4=0&fld1=ricerca+testuale&search=cerca+lavoro",
         {u"annunci: 1"_s, u"  MAGAZZINIERE NOTTURNO"_s, u"stato HTTP: 200"_s},
         {}},
        {"a selector rule with words, ten of twelve cards, a bad section beside it",
         selectorRule,
         {u"--prova-sito"_s, u"jobrapido"_s, u"--parole"_s, u"cuoco capo"_s},
         jobrapido,
         cards,
         0,
         "/?w=cuoco%20capo&l=Abruzzo&r=auto",
         {u"annunci: 10"_s, u"  Cuoco capo 1"_s, u"    http://"_s + jobrapido + u"/offerta/1"_s,
          u"  Cuoco capo 10"_s, u"indirizzo finale: http://"_s + jobrapido + u"/?w="_s},
         {u"[rotta]: "_s}},
        {"a preset's cards: company, place, date and the key each is known by",
         u"[linkedin]\nindirizzo = http://www.linkedin.com/jobs/search/?keywords={parole}\n"_s,
         {u"--prova-sito"_s, u"linkedin"_s},
         "www.linkedin.com",
         "<html><body><ul><li><div class=\"base-search-card\" "
         "data-entity-urn=\"urn:li:jobPosting:77\"><a href=\"https://it.linkedin.com/jobs/view/"
         "m-77?refId=@@\"><h3 class=\"base-search-card__title\">Magazziniere</h3></a><h4 "
         "class=\"base-search-card__subtitle\">Acme Logistica</h4><span "
         "class=\"job-search-card__location\">Milano</span><time datetime=\"2026-12-07\">ieri"
         "</time></div></li></ul></body></html>",
         0,
         {},
         {u"  Magazziniere\n    https://www.linkedin.com/jobs/view/77\n"_s,
          u"    azienda: Acme Logistica\n    luogo: Milano\n    pubblicato: 2026-12-07\n"
          u"    riconosciuto dalla chiave della regola: 77\n"_s},
         {}},
        {"links new at every load: one line says they do not stay",
         u"[caso]\nnome = Caso\nindirizzo = http://www.caso.example/\ndominio = caso.example\n"
         u"selettore = h2\n"_s,
         {u"--prova-sito"_s, u"caso"_s},
         "www.caso.example",
         "<html><body><div><h2><a href=\"/a@@\">Uno</a></h2></div><div><h2><a href=\"/b@@\">"
         "Due</a></h2></div><div><h2><a href=\"/c@@\">Tre</a></h2></div></body></html>",
         0,
         {},
         {u"riconosciuto dal link: http://www.caso.example/a"_s},
         {u"i link di Caso cambiano a ogni caricamento"_s}},
        {"a page without listings: the blind reason",
         selectorRule,
         {u"--prova-sito"_s, u"jobrapido"_s},
         jobrapido,
         "<html><body><p>Nessun annuncio</p></body></html>",
         1,
         {},
         {u"annunci: 0"_s, u"non sorvegliabile: "_s},
         {}},
        {"a selector this engine cannot parse is the rule's fault",
         u"[jobrapido]\nselettore = article:has(h3) h3\n"_s,
         {u"--prova-sito"_s, u"jobrapido"_s},
         jobrapido,
         cards,
         1,
         {},
         {u"annunci: 0"_s, u"non sorvegliabile: il selettore non è valido"_s},
         {},
         {u"non contiene"_s}},
        {"a link selector with a typo too",
         u"[jobrapido]\nselettore = article h3\nselettore_link = a)(\n"_s,
         {u"--prova-sito"_s, u"jobrapido"_s},
         jobrapido,
         cards,
         1,
         {},
         {u"non sorvegliabile: il selettore non è valido"_s},
         {}},
        {"a page that tries a refused navigation has loaded all the same",
         selectorRule,
         {u"--prova-sito"_s, u"jobrapido"_s},
         jobrapido,
         refusing,
         0,
         {},
         {u"annunci: 10"_s, u"  Cuoco capo 1"_s},
         {},
         {u"non si è caricata"_s, u"non sorvegliabile:"_s}},
        {"an HTTP error",
         {},
         {u"--prova-sito"_s, u"jobonline"_s},
         jobonline,
         {},
         1,
         {},
         {u"stato HTTP: 503"_s, u"annunci: 0"_s, u"non sorvegliabile: "_s},
         {}},
        {"an unknown id",
         {},
         {u"--prova-sito"_s, u"nessuno"_s},
         {},
         {},
         2,
         {},
         {},
         {u"nessun sito ha l'id nessuno"_s}},
        {"an id missing",
         {},
         {u"--prova-sito"_s},
         {},
         {},
         2,
         {},
         {},
         {u"manca il valore dopo --prova-sito"_s}},
        {"an unknown option",
         {},
         {u"--siti"_s, u"--veloce"_s},
         {},
         {},
         2,
         {},
         {},
         {u"opzione sconosciuta: --veloce"_s}},
        {"words without a check",
         {},
         {u"--parole"_s, u"cuoco"_s},
         {},
         {},
         2,
         {},
         {},
         {u"--parole"_s}},
        // The rest of the command line's mistakes, and its help, in the program's own words.
        {"the help", {}, {u"--help"_s}, {}, {}, 0, {}, {u"Uso: quintavia"_s, u"  --siti "_s}, {}},
        {"a short option unknown",
         {},
         {u"-x"_s},
         {},
         {},
         2,
         {},
         {},
         {u"opzione sconosciuta: -x"_s}},
        {"a value for an option that takes none",
         {},
         {u"--siti=tutti"_s},
         {},
         {},
         2,
         {},
         {},
         {u"--siti non vuole un valore"_s}},
        {"an argument of no option",
         {},
         {u"avanti"_s},
         {},
         {},
         2,
         {},
         {},
         {u"argomento inatteso: avanti"_s}},
        {"the region missing its value",
         {},
         {u"--prova-sito"_s, u"jobonline"_s, u"--regione"_s},
         {},
         {},
         2,
         {},
         {},
         {u"manca il valore dopo --regione"_s}},
        {"two tools at once",
         {},
         {u"--siti"_s, u"--prova-sito"_s, u"jobonline"_s},
         {},
         {},
         2,
         {},
         {},
         {u"--siti e --prova-sito vanno uno alla volta"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Harness& bench = Harness::instance();
        const QByteArray host = c.host;
        const QByteArray page = c.page;
        // "@@" in a page is the number of the load: what a token in a link would be.
        auto loads = std::make_shared<int>(0);
        bench.server().setHandler([host, page, loads](const fixtures::Request& request) {
            if (request.host != host) return fixtures::Response{.status = 404};
            if (page.isEmpty()) return fixtures::Response{.status = 503, .body = "Occupato"};
            return fixtures::Response{
                .body = QByteArray(page).replace("@@", QByteArray::number(++*loads))};
        });
        QTemporaryDir config, data;
        if (!c.sitesFile.isEmpty()) {
            ASSERT_FALSE(WriteSitesFile(config.path(), c.sitesFile).isEmpty());
        }
        const Outcome run = RunProgram(config.path(), data.path(), c.arguments);
        EXPECT_EQ(run.exit, c.exit) << run.out.toStdString() << run.err.toStdString();
        for (const QString& line : c.output)
            EXPECT_TRUE(run.out.contains(line)) << line.toStdString() << " in\n"
                                                << run.out.toStdString();
        for (const QString& text : c.absent)
            EXPECT_FALSE(run.out.contains(text)) << text.toStdString() << " in\n"
                                                 << run.out.toStdString();
        for (const QString& text : c.errors)
            EXPECT_TRUE(run.err.contains(text)) << text.toStdString() << " in\n"
                                                << run.err.toStdString();
        // Qt's own English for a command line it cannot read never shows.
        for (const char* english :
             {"Unknown option", "Missing value", "Unexpected value", "Usage:"})
            EXPECT_FALSE(run.err.contains(QLatin1String(english)) ||
                         run.out.contains(QLatin1String(english)))
                << english;
        if (!c.path.isEmpty()) {
            bool asked = false;
            for (const fixtures::Request& request : bench.server().requests())
                asked = asked || (request.host == host && request.path == c.path);
            EXPECT_TRUE(asked) << c.path.toStdString();
        }
        // Kept in memory: the running program's browser data are not touched, nor made.
        EXPECT_FALSE(QDir(data.path() + u"/data/Quintavia"_s).exists());
        EXPECT_FALSE(QDir(data.path() + u"/cache/Quintavia"_s).exists());
    }
}

// `--siti` prints the catalogue that a run would use, which read back as a sites file gives the
// same catalogue; a refused section is told on standard error and the others are printed.
TEST_F(SiteTools, TheCatalogueListingReadsBackAsTheSameCatalogue) {
    QTemporaryDir config, data;
    const QString path = WriteSitesFile(
        config.path(),
        u"[cercalavoro]\nnome = Cerca Lavoro\nindirizzo = "
        u"http://www.cercalavoro.example/?r={regione}\n"
        u"dominio = cercalavoro.example\nselettore = .annuncio h2\n\n[miojob]\netichetta = Mio\n"_s +
            kBadSection);
    ASSERT_FALSE(path.isEmpty());
    const MergedCatalogue expected = LoadCatalogue(path);
    ASSERT_EQ(expected.errors.size(), 1);
    ASSERT_NE(expected.catalogue.find(u"cercalavoro"_s), nullptr);

    const Outcome run = RunProgram(config.path(), data.path(), {u"--siti"_s});
    ASSERT_EQ(run.exit, 0) << run.err.toStdString();
    const std::optional<IniDocument> printed = IniDocument::parse(run.out.toUtf8());
    ASSERT_TRUE(printed);
    const MergedCatalogue readBack = MergeCatalogue(BuiltInCatalogue(), *printed, u"-"_s);
    EXPECT_TRUE(readBack.errors.isEmpty()) << readBack.errors.join(u'\n').toStdString();
    EXPECT_EQ(readBack.catalogue, expected.catalogue);
    // One line naming the file, the section and the reason.
    EXPECT_EQ(run.err, u"Quintavia: "_s + expected.errors[0] + u'\n');
    EXPECT_TRUE(expected.errors[0].startsWith(path + u": [rotta]: "_s))
        << expected.errors[0].toStdString();
    // No engine was started for it.
    EXPECT_FALSE(QDir(data.path() + u"/data"_s).exists());
}

}  // namespace
}  // namespace quintavia::e2e
