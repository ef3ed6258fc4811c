#include "core/sites/public_suffixes.h"

#include <gtest/gtest.h>

#include <QFile>

#include "core/sites/site_rules.h"
#include "qt_printing.h"
#include "store/public_suffix_file.h"
#include "store/site_catalogue.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

// The list's own forms: comments, both sections, wildcards, exceptions, names outside ASCII
// and rules followed by words.
const PublicSuffixes& SmallList() {
    static const PublicSuffixes list = PublicSuffixes::Parse(
        u"// ===BEGIN ICANN DOMAINS===\n"
        u"it\nuk\nco.uk\n*.ck\n!www.ck\njp\n*.kawasaki.jp\n!city.kawasaki.jp\n"
        u"\u00e5lg\u00e5rd.no\ncom\norg  this is a comment\n"
        u"// ===BEGIN PRIVATE DOMAINS===\n"
        u"blogspot.com\ngithub.io\r\n"_s);
    return list;
}

TEST(PublicSuffixes, TheRegistrableDomainIsTheSuffixAndOneLabel) {
    struct Case {
        QString host;
        QString registrable;  // empty: a public suffix itself
    };
    const Case cases[] = {
        {u"www.repubblica.it"_s, u"repubblica.it"_s},
        {u"repubblica.it."_s, u"repubblica.it"_s},
        {u"WWW.BBC.CO.UK"_s, u"bbc.co.uk"_s},
        {u"co.uk"_s, u""_s},
        {u"it"_s, u""_s},
        {u"uk"_s, u""_s},
        {u"pippo.blogspot.com"_s, u"pippo.blogspot.com"_s},
        {u"blogspot.com"_s, u""_s},
        {u"github.io"_s, u""_s},
        {u"a.b.github.io"_s, u"b.github.io"_s},
        {u"org"_s, u""_s},
        {u"x.org"_s, u"x.org"_s},
        // A wildcard makes every name under it a suffix, but for its exceptions.
        {u"a.b.ck"_s, u"a.b.ck"_s},
        {u"b.ck"_s, u""_s},
        {u"www.ck"_s, u"www.ck"_s},
        {u"a.www.ck"_s, u"www.ck"_s},
        {u"x.y.kawasaki.jp"_s, u"x.y.kawasaki.jp"_s},
        {u"a.city.kawasaki.jp"_s, u"city.kawasaki.jp"_s},
        // The default rule: an unknown last label is a suffix.
        {u"bachecacomune.example"_s, u"bachecacomune.example"_s},
        {u"example"_s, u""_s},
        {u"xn--lgrd-poac.no"_s, u""_s},
        {u"x.xn--lgrd-poac.no"_s, u"x.xn--lgrd-poac.no"_s},
        {u"a..it"_s, u""_s},
        {u""_s, u""_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SmallList().registrableDomain(c.host), c.registrable) << c.host.toStdString();
    EXPECT_EQ(PublicSuffixes().registrableDomain(u"www.repubblica.it"), u""_s);
}

TEST(PublicSuffixes, ASiteDomainMustBeRegistrableWhenTheListIsThere) {
    struct Case {
        QString domain;
        bool withList;
        QString problem;  // empty: accepted
    };
    const QString suffix =
        u" è un suffisso pubblico, sotto cui siti diversi hanno ciascuno il proprio dominio: "
        u"indica quello del sito, come esempio."_s;
    const Case cases[] = {
        {u"it"_s, true, u"it"_s + suffix + u"it"_s},
        {u"co.uk"_s, true, u"co.uk"_s + suffix + u"co.uk"_s},
        {u"github.io"_s, true, u"github.io"_s + suffix + u"github.io"_s},
        {u"blogspot.com"_s, true, u"blogspot.com"_s + suffix + u"blogspot.com"_s},
        {u"jobs.co.uk"_s, true, u""_s},
        {u"repubblica.it"_s, true, u""_s},
        {u"miojob.repubblica.it"_s, true, u""_s},
        // Without the list, only the labels are checked, as before.
        {u"co.uk"_s, false, u""_s},
        {u"it"_s, false,
         u"it non è un dominio come esempio.it (lettere minuscole senza accenti, cifre e \"-\", con i suoi punti)"_s},
        {u"Prova.it"_s, true,
         u"Prova.it non è un dominio come esempio.it (lettere minuscole senza accenti, cifre e \"-\", con i suoi punti)"_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DomainProblem(c.domain, c.withList ? SmallList() : PublicSuffixes()), c.problem)
            << c.domain.toStdString();
}

TEST(PublicSuffixes, TheSitesFileRefusesASuffixWithTheLineThatNamesTheSection) {
    IniDocument file;
    file.setValue(u"suffisso"_s, u"nome"_s, u"Suffisso"_s);
    file.setValue(u"suffisso"_s, u"indirizzo"_s, u"http://www.jobs.co.uk/cerca/"_s);
    file.setValue(u"suffisso"_s, u"dominio"_s, u"co.uk"_s);
    file.setValue(u"suffisso"_s, u"selettore"_s, u"h2"_s);
    const MergedCatalogue merged =
        MergeCatalogue(BuiltInCatalogue(), file, u"/home/u/siti.ini"_s, SmallList());
    ASSERT_EQ(merged.errors.size(), 1);
    EXPECT_TRUE(merged.errors[0].startsWith(
        u"/home/u/siti.ini: [suffisso]: \"dominio\": co.uk è un suffisso pubblico"_s))
        << merged.errors[0].toStdString();
    EXPECT_EQ(merged.catalogue.find(u"suffisso"_s), nullptr);
}

// Debian's own list, where the package is installed.
TEST(PublicSuffixes, TheSystemListKnowsTheSuffixesSitesAreMadeUnder) {
    if (!QFile::exists(QString::fromLatin1(kPublicSuffixPath)))
        GTEST_SKIP() << "no " << kPublicSuffixPath;
    const PublicSuffixes& list = SystemPublicSuffixes();
    for (const QString& suffix : {u"it"_s, u"co.uk"_s, u"blogspot.com"_s, u"github.io"_s})
        EXPECT_EQ(list.registrableDomain(suffix), u""_s) << suffix.toStdString();
    EXPECT_EQ(list.registrableDomain(u"miojob.repubblica.it"), u"repubblica.it"_s);
    EXPECT_EQ(TakePublicSuffixNotice(), u""_s);
    for (const SiteRule& rule : BuiltInCatalogue().rules)
        EXPECT_EQ(RuleProblem(rule, list), u""_s) << rule.id.toStdString();
}

}  // namespace
}  // namespace quintavia
