#include "store/site_catalogue.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

IniDocument File(const QString& text) {
    return IniDocument::parse(text.toUtf8()).value();
}

const SiteRule& BuiltIn(const QString& id) {
    return *BuiltInCatalogue().find(id);
}

QStringList Ids(const Catalogue& catalogue) {
    QStringList ids;
    for (const SiteRule& rule : catalogue.rules) ids.append(rule.id);
    return ids;
}

TEST(SiteCatalogue, UserSectionsChangeBuiltInSitesKeyByKeyOrAddNewOnes) {
    struct Case {
        const char* what;
        QString file;
        QString id;
        std::function<void(SiteRule&)> expect;  // applied to the built-in rule of `id`, if any
    };
    const Case cases[] = {
        {"a selector replaces the marker", u"[jobrapido]\nselettore = .result-item__title\n"_s,
         u"jobrapido"_s,
         [](SiteRule& r) {
             r.findBy = FindBy::Selector;
             r.selector = u".result-item__title"_s;
             r.marker.clear();
         }},
        {"a marker replaces the selector and its link",
         u"[linkedin]\nmarcatore=base-search-card__title\n"_s, u"linkedin"_s,
         [](SiteRule& r) {
             r.findBy = FindBy::Marker;
             r.marker = u"base-search-card__title"_s;
             r.selector.clear();
             r.linkSelector.clear();
             for (QString* field :
                  {&r.companySelector, &r.placeSelector, &r.dateSelector, &r.key, &r.jobAddress})
                 field->clear();
         }},
        {"a new name brings its log label; an empty note reopens",
         u"[infojobs]\nnome=InfoJobs Italia\nchiuso=\n"_s, u"infojobs"_s,
         [](SiteRule& r) {
             r.name = u"InfoJobs Italia"_s;
             r.logLabel = u"InfoJobs Italia"_s;
             r.closedNote.clear();
         }},
        {"the same name keeps the log label", u"[infojobs]\nnome =  InfoJobs \n"_s, u"infojobs"_s,
         [](SiteRule&) {}},
        {"narrower pages, hosts in lower case",
         u"[miojob]\npagine= miojob.repubblica.it \t WWW.Repubblica.it/economia/miojob/offerte/\n"_s,
         u"miojob"_s,
         [](SiteRule& r) {
             r.pages = {{u"miojob.repubblica.it"_s, {}},
                        {u"www.repubblica.it"_s, u"/economia/miojob/offerte/"_s}};
         }},
        {"every page of the domain", u"[miojob]\npagine=\n"_s, u"miojob"_s,
         [](SiteRule& r) { r.pages.clear(); }},
        {"an empty label is the name", u"[indeed]\netichetta=\n"_s, u"indeed"_s, [](SiteRule&) {}},
        {"a new site",
         u"[bakeca]\nnome=Bakeca\nindirizzo=https://www.bakeca.it/annunci/offerte-di-lavoro/?q={parole}\ndominio=Bakeca.IT\nselettore=h2 a\nselettore_link=a.annuncio\n"_s,
         u"bakeca"_s,
         [](SiteRule& r) {
             r.id = u"bakeca"_s;
             r.name = u"Bakeca"_s;
             r.paneLabel = u"Bakeca"_s;
             r.logLabel = u"Bakeca"_s;
             r.search = u"https://www.bakeca.it/annunci/offerte-di-lavoro/?q={parole}"_s;
             r.domain = u"bakeca.it"_s;
             r.findBy = FindBy::Selector;
             r.selector = u"h2 a"_s;
             r.linkSelector = u"a.annuncio"_s;
         }},
        {"a new site with neither marker nor selector is read by structure",
         u"[nuovo]\nindirizzo=https://www.nuovo.it/?q={parole}\ndominio=nuovo.it\nnome=Nuovo\n"_s,
         u"nuovo"_s,
         [](SiteRule& r) {
             r.id = u"nuovo"_s;
             r.name = r.paneLabel = u"Nuovo"_s;
             r.logLabel = u"Nuovo"_s;
             r.search = u"https://www.nuovo.it/?q={parole}"_s;
             r.domain = u"nuovo.it"_s;
             r.findBy = FindBy::Structure;
         }},
        {"an empty selector turns a site to its structure", u"[jobrapido-2025]\nselettore=\n"_s,
         u"jobrapido-2025"_s,
         [](SiteRule& r) {
             // Nothing is left of how the selector read the cards.
             r.findBy = FindBy::Structure;
             r.selector.clear();
             r.linkSelector.clear();
             r.companySelector.clear();
             r.placeSelector.clear();
             r.dateSelector.clear();
             r.key.clear();
             r.jobAddress.clear();
         }},
        {"an empty marker too", u"[jobonline]\nmarcatore=\n"_s, u"jobonline"_s,
         [](SiteRule& r) {
             r.findBy = FindBy::Structure;
             r.marker.clear();
         }},
    };
    for (const Case& c : cases) {
        const MergedCatalogue merged =
            MergeCatalogue(BuiltInCatalogue(), File(c.file), u"siti.ini"_s);
        EXPECT_EQ(merged.errors, QStringList()) << c.what;
        const SiteRule* existing = BuiltInCatalogue().find(c.id);
        SiteRule expected = existing ? *existing : SiteRule{};
        c.expect(expected);
        const SiteRule* got = merged.catalogue.find(c.id);
        ASSERT_NE(got, nullptr) << c.what;
        EXPECT_EQ(*got, expected) << c.what;
        // Every other site as it was, in its place; a new one last.
        QStringList ids = Ids(BuiltInCatalogue());
        if (!existing) ids.append(c.id);
        EXPECT_EQ(Ids(merged.catalogue), ids) << c.what;
        for (const SiteRule& rule : BuiltInCatalogue().rules)
            if (rule.id != c.id) {
                EXPECT_EQ(*merged.catalogue.find(rule.id), rule) << c.what;
            }
    }
}

TEST(SiteCatalogue, ABadSectionIsRefusedWholeWithOneLineAndTheBuiltInSiteStays) {
    const QString newSite =
        u"nome=Nuovo\nindirizzo=https://www.nuovo.it/?q={parole}\n"
        u"dominio=nuovo.it\n"_s;
    struct Case {
        QString file;
        QString error;
    };
    const Case cases[] = {
        {u"[indeed]\nnome=Indeed Italia\nordine=data\n"_s,
         u"siti.ini: [indeed]: chiave sconosciuta \"ordine\""_s},
        {u"[jobrapido]\nmarcatore=x\nselettore=.y\n"_s,
         u"siti.ini: [jobrapido]: sia \"marcatore\" sia \"selettore\": indicane uno"_s},
        {u"[Indeed]\nnome=Indeed\n"_s,
         u"siti.ini: [Indeed]: \"Indeed\" non è un id di sito: lettere minuscole, cifre e \"-\""_s},
        {u"[miojob]\nindirizzo=https://www.example.org/{regione}\n"_s,
         u"siti.ini: [miojob]: \"indirizzo\": il suo host www.example.org non è sotto "
         u"repubblica.it"_s},
        {u"[miojob]\ndominio=example.org\n"_s,
         u"siti.ini: [miojob]: \"indirizzo\": il suo host miojob.repubblica.it non è sotto "
         u"example.org"_s},
        {u"[subito]\nindirizzo=https://www.subito.it/annunci-{provincia}/\n"_s,
         u"siti.ini: [subito]: \"indirizzo\": il segnaposto sconosciuto {provincia}"_s},
        {u"[nuovo]\n"_s + newSite + u"selettore_link=a.vedi\n"_s,
         u"siti.ini: [nuovo]: \"selettore_link\" va con \"selettore\""_s},
        {u"[nuovo]\nnome=Nuovo\nselettore=h2\n"_s,
         u"siti.ini: [nuovo]: \"dominio\": un nome vuoto non è un dominio come esempio.it "
         u"(lettere minuscole senza accenti, cifre e \"-\", con i suoi punti)"_s},
        {u"[nuovo]\nselettore=h2\ndominio=nuovo.it\nindirizzo=https://nuovo.it/\n"_s,
         u"siti.ini: [nuovo]: manca \"nome\""_s},
        {u"[jobonline]\nselettore_link=a.titolo\n"_s,
         u"siti.ini: [jobonline]: \"selettore_link\" va con \"selettore\", non con "
         u"\"marcatore\""_s},
        {u"[indeed]\nnome=\n"_s, u"siti.ini: [indeed]: manca \"nome\""_s},
        {u"[indeed]\nnome=Indeed\\nItalia\n"_s,
         u"siti.ini: [indeed]: \"nome\" contiene un carattere di controllo"_s},
        // Two sites of one name could not be told apart where they are chosen.
        {u"[nuovo]\n"_s + QString(newSite).replace(u"Nuovo"_s, u"indeed"_s) + u"selettore=h2\n"_s,
         u"siti.ini: [nuovo]: il nome \"indeed\" è già del sito indeed: scegline un altro"_s},
        {u"[adzuna]\nnome=Jobrapido\n"_s,
         u"siti.ini: [adzuna]: il nome \"Jobrapido\" è già del sito jobrapido: scegline un "
         u"altro"_s},
        {u"[randstad]\npagine=www.randstad.it/offerte-lavoro/ www.randstad.com\n"_s,
         u"siti.ini: [randstad]: \"pagine\": www.randstad.com non è sotto randstad.it"_s},
    };
    for (const Case& c : cases) {
        const MergedCatalogue merged =
            MergeCatalogue(BuiltInCatalogue(), File(c.file), u"siti.ini"_s);
        EXPECT_EQ(merged.errors, QStringList{c.error}) << c.file.toStdString();
        EXPECT_EQ(merged.catalogue, BuiltInCatalogue()) << c.file.toStdString();
    }

    // One refused section leaves the others be.
    const MergedCatalogue merged = MergeCatalogue(
        BuiltInCatalogue(),
        File(u"[zeta]\n"_s + newSite + u"marcatore=annuncio\n[indeed]\nx=1\n[alfa]\n"_s +
             QString(newSite).replace(u"Nuovo"_s, u"Alfa"_s) + u"selettore=h2\n"_s),
        u"/home/u/.config/Quintavia/siti.ini"_s);
    EXPECT_EQ(
        merged.errors,
        QStringList{u"/home/u/.config/Quintavia/siti.ini: [indeed]: chiave sconosciuta \"x\""_s});
    // The same, for the window, without the file's name.
    const QList<RefusedSection> refused{{u"indeed"_s, u"chiave sconosciuta \"x\""_s}};
    EXPECT_EQ(merged.refused, refused);
    const QStringList ids = Ids(merged.catalogue);
    EXPECT_EQ(ids.mid(ids.size() - 2), (QStringList{u"zeta"_s, u"alfa"_s}));
    EXPECT_EQ(*merged.catalogue.find(u"indeed"_s), BuiltIn(u"indeed"_s));
}

TEST(SiteCatalogue, TheCatalogueTextReadsBackAsTheSameCatalogue) {
    const QString users[] = {
        u""_s,
        u"[infojobs]\nchiuso=\n[miojob]\npagine=\n"_s,
        u"[jobrapido]\nselettore=.result-item__title\nselettore_link=a.result-item__link\n"_s,
        u"[linkedin]\nmarcatore=base-search-card__title\nnome=LinkedIn Italia\n"_s,
        u"[mio-sito-2]\nnome=Più lavoro; \"sul serio\" = sì \\ 😀\netichetta=[Più]\n"
        u"indirizzo=https://lavoro.esempio.it/{regione_slug}?q={parole}&n={regione_n}\n"
        u"dominio=esempio.it\nselettore=h2[title=\"a\"] > span\\tb\n"
        u"pagine=lavoro.esempio.it/annunci/ esempio.it\nchiuso=da marzo\n"_s,
        u"[subito]\nselettore=\n[nuovo]\nnome=N\nindirizzo=https://n.it/\ndominio=n.it\n"_s,
    };
    for (const QString& user : users) {
        const MergedCatalogue first = MergeCatalogue(BuiltInCatalogue(), File(user), u"a"_s);
        ASSERT_EQ(first.errors, QStringList()) << user.toStdString();
        const QString text = CatalogueText(first.catalogue);
        const std::optional<IniDocument> read = IniDocument::parse(text.toUtf8());
        ASSERT_TRUE(read.has_value());
        const MergedCatalogue again = MergeCatalogue(BuiltInCatalogue(), *read, u"b"_s);
        EXPECT_EQ(again.errors, QStringList()) << text.toStdString();
        EXPECT_EQ(again.catalogue, first.catalogue) << text.toStdString();
    }
}

TEST(SiteCatalogue, TheTextShowsEachSiteAsASectionToCopy) {
    const QString text = CatalogueText(BuiltInCatalogue());
    EXPECT_TRUE(text.startsWith(u";"_s));
    EXPECT_TRUE(text.contains(
        u"[miojob]\nnome=MioJob\netichetta=Mio Job\nindirizzo=http://miojob.repubblica.it/"
        u"offerte/lavoro/cerca/offer_location_region-{regione}\ndominio=repubblica.it\n"
        u"marcatore=clearfix\npagine=miojob.repubblica.it www.repubblica.it/economia/miojob/\n"
        u"chiuso=\n"_s))
        << text.toStdString();
    EXPECT_TRUE(text.contains(u"selettore_link=a[href*=\"/jobs/view/\"]\n"_s));
}

}  // namespace
}  // namespace quintavia

namespace quintavia {
namespace {

// A dotfile manager keeps siti.ini as a link into its own folder: the link is followed to a
// regular file, and nothing else at its end is opened or waited on.
TEST(SiteCatalogue, ASitesFileThatIsALinkIsReadThroughToARegularFile) {
    QTemporaryDir dir;
    const QString sites = dir.filePath(u"siti.ini"_s);
    const QString target = dir.filePath(u"dotfiles-siti.ini"_s);
    const QByteArray at = QFile::encodeName(sites);
    const QByteArray to = QFile::encodeName(target);
    struct Case {
        const char* what;
        std::function<bool()> make;
        QString error;  // empty: read
    };
    const Case cases[] = {
        {"a link to a file",
         [&] {
             QFile file(target);
             return file.open(QIODevice::WriteOnly) &&
                    file.write("[indeed]\nnome=Indeed per me\n") > 0 &&
                    ::symlink(to.constData(), at.constData()) == 0;
         },
         u""_s},
        {"a link to nothing",
         [&] { return ::symlink("/nonexistent/siti.ini", at.constData()) == 0; },
         sites +
             u": non letto (è un collegamento simbolico che non porta a nulla); si usano i siti di Quintavia"_s},
        {"a link to a FIFO",
         [&] {
             return ::mkfifo(to.constData(), 0600) == 0 &&
                    ::symlink(to.constData(), at.constData()) == 0;
         },
         sites + u": non letto (è un collegamento simbolico a qualcosa che non è un file normale); "
                 u"si usano i siti di Quintavia"_s},
        {"a link to a folder",
         [&] {
             return ::mkdir(to.constData(), 0700) == 0 &&
                    ::symlink(to.constData(), at.constData()) == 0;
         },
         sites + u": non letto (è un collegamento simbolico a qualcosa che non è un file normale); "
                 u"si usano i siti di Quintavia"_s},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.make()) << c.what;
        const MergedCatalogue merged = LoadCatalogue(sites);
        EXPECT_EQ(merged.errors, c.error.isEmpty() ? QStringList{} : QStringList{c.error})
            << c.what;
        EXPECT_EQ(merged.catalogue.find(u"indeed"_s)->name,
                  c.error.isEmpty() ? u"Indeed per me"_s : BuiltIn(u"indeed"_s).name)
            << c.what;
        EXPECT_TRUE(QFileInfo(sites).isSymLink()) << c.what;
        ::unlink(at.constData());
        ::unlink(to.constData());
        ::rmdir(to.constData());
    }
}

// A new site's section goes at the end of the user's file, the rest kept byte for byte, and
// reads back as the site; a second section of the same id is refused and changes nothing.
TEST(AddSiteSection, TheSectionGoesAtTheEndAndTheUsersFileStaysAsItWas) {
    SiteRule rule = RuleForAddress(QUrl(u"https://www.bacheca.it/offerte?q=cuoco"_s));
    rule.findBy = FindBy::Selector;
    rule.selector = u"article.card h2"_s;
    const QByteArray mine =
        "; i miei siti\n[lavoro-comune]\nnome = Comune\n"
        "indirizzo=https://lavoro.comune.it/?r={regione}\n"
        "dominio=comune.it\nselettore=li a";
    const struct {
        const char* what;
        std::optional<QByteArray> before;
        QByteArray start;  // what the file begins with after the write
    } cases[] = {
        {"no file yet, nor its folder", std::nullopt, "[bacheca]\n"},
        {"the user's file without a last line break", mine, mine + "\n\n[bacheca]\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"config/siti.ini"_s);
        if (c.before) {
            ASSERT_TRUE(QDir().mkpath(dir.filePath(u"config"_s)));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(*c.before) > 0);
        }
        ASSERT_TRUE(AddSiteSection(path, rule)) << AddSiteSection(path, rule).error.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray after = file.readAll();
        EXPECT_TRUE(after.startsWith(c.start)) << after.toStdString();
        const MergedCatalogue merged = LoadCatalogue(path);
        ASSERT_TRUE(merged.catalogue.find(u"bacheca"_s));
        EXPECT_EQ(merged.catalogue.find(u"bacheca"_s)->selector, rule.selector);
        EXPECT_EQ(merged.catalogue.find(u"lavoro-comune"_s) != nullptr, c.before.has_value());

        const WriteResult again = AddSiteSection(path, rule);
        EXPECT_FALSE(again);
        EXPECT_TRUE(again.error.contains(u"già una sezione [bacheca]"_s))
            << again.error.toStdString();
        file.seek(0);
        EXPECT_EQ(file.readAll(), after);
    }
}

}  // namespace
}  // namespace quintavia
