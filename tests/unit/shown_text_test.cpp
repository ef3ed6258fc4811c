#include "core/text/shown_text.h"

#include <gtest/gtest.h>

#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(ShownText, ControlAndFormatCharactersAreLeftOut) {
    const QString rocket = u"\U0001F680"_s;
    struct Case {
        const char* what;
        QString text;
        QString expected;
    };
    const Case cases[] = {
        {"plain", u"CUOCO CAPO PARTITA"_s, u"CUOCO CAPO PARTITA"_s},
        {"empty", u""_s, u""_s},
        {"a bidi override and its end", u"Offerta \u202Eexe.fdp\u202C fine"_s,
         u"Offerta exe.fdp fine"_s},
        {"embeddings, isolates and marks",
         u"a\u202Ab\u202Bc\u202Dd\u2066e\u2067f\u2068g\u2069h\u200Ei\u200Fj\u061Ck"_s,
         u"abcdefghijk"_s},
        {"zero-width characters and a soft hyphen", u"Cu\u200Boco\u2060 ca\u00ADpo\uFEFF"_s,
         u"Cuoco capo"_s},
        {"a NUL and other C0 controls", u"Cuoco"_s + QChar(0) + u"NUL\u0007\u001B[31m dopo"_s,
         u"CuocoNUL[31m dopo"_s},
        {"DEL and a C1 control", u"a\u007Fb\u009Bc"_s, u"abc"_s},
        {"a format character outside the BMP", u"tag\U000E0041\U000E007Fs"_s, u"tags"_s},
        {"a line break between words", u"Riga uno\nriga due"_s, u"Riga uno riga due"_s},
        {"a run of breaks and tabs is one space", u"uno\r\n\t\u2028\u2029\u0085due"_s,
         u"uno due"_s},
        {"a break among hidden characters", u"uno\u200B\n\u200Bdue"_s, u"uno due"_s},
        {"no space at either end", u"\n\t Cuoco \r\n"_s, u" Cuoco "_s},
        {"only breaks", u"\n\n"_s, u""_s},
        {"letters, accents and emoji stay", u"Città però "_s + rocket, u"Città però "_s + rocket},
        {"markup characters stay", u"<b>&amp;</b> \"d'\""_s, u"<b>&amp;</b> \"d'\""_s},
        {"half a pair stays for the next step", u"a"_s + QChar(0xD83D) + u"b"_s,
         u"a"_s + QChar(0xD83D) + u"b"_s},
    };
    for (const Case& c : cases) EXPECT_EQ(ShownText(c.text), c.expected) << c.what;
}

TEST(ShownText, AnAddressKeepsItsHiddenCharactersEncoded) {
    struct Case {
        const char* what;
        const char* url;
        QString expected;
    };
    const Case cases[] = {
        {"plain", "http://it.jobrapido.com/?w=&l=Lazio&r=auto",
         u"http://it.jobrapido.com/?w=&l=Lazio&r=auto"_s},
        {"accents are shown", "http://www.infojobs.it/offerte-lavoro/Valle%20d'Aosta/citt%C3%A0",
         u"http://www.infojobs.it/offerte-lavoro/Valle d'Aosta/città"_s},
        {"a bidi override in the query", "http://it.jobrapido.com/?q=%E2%80%AEfdp.exe",
         u"http://it.jobrapido.com/?q=%E2%80%AEfdp.exe"_s},
        {"marks and isolates in the path", "http://www.jobonline.it/%E2%80%8F%E2%81%A6x",
         u"http://www.jobonline.it/%E2%80%8F%E2%81%A6x"_s},
        {"a NUL and a line break", "http://www.jobonline.it/a%00b%0Ac",
         u"http://www.jobonline.it/a%00b%0Ac"_s},
        {"a C1 control in the fragment", "http://www.jobonline.it/#a%C2%85b",
         u"http://www.jobonline.it/#a%C2%85b"_s},
        {"a Cyrillic host that reads as a Latin one", "http://xn--80ak6aa92e.com/offerta?x=1",
         u"http://xn--80ak6aa92e.com/offerta?x=1"_s},
        {"an accented host, with a user and a port", "https://io@citt%C3%A0.it:8080/a%20b",
         u"https://io@xn--citt-3na.it:8080/a b"_s},
        {"a user that poses as the host", "https://www.indeed.com@evil.example/viewjob",
         u"https://www.indeed.com@evil.example/viewjob"_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShownAddress(QUrl(QString::fromLatin1(c.url))), c.expected) << c.what;

    // A page can set an address of megabytes (history.replaceState): it is cut, never between
    // the halves of a pair.
    const QString base = u"http://it.jobrapido.com/?q="_s;
    const QString longQuery = QString(3'000'000, u'a');
    EXPECT_EQ(ShownAddress(QUrl(base + longQuery)),
              base + longQuery.left(kAddressUnits - base.size()));
    const QString astride = QString(kAddressUnits - base.size() - 1, u'b') + u"\U0001F600"_s;
    EXPECT_EQ(ShownAddress(QUrl(base + astride)).size(), kAddressUnits - 1);
}

TEST(ShownText, APopUpsTitleNamesItsHostBeforeThePagesTitle) {
    struct Case {
        const char* what;
        const char* url;
        QString pageTitle;
        QString expected;
    };
    const Case cases[] = {
        {"a page that poses as the program", "http://it.jobrapido.com/popup",
         u"Quintavia - Sessione scaduta: accedi di nuovo"_s,
         u"Pop-up da it.jobrapido.com – Quintavia - Sessione scaduta: accedi di nuovo"_s},
        {"no title yet", "https://www.infojobs.it/candidatura", u""_s,
         u"Pop-up da www.infojobs.it"_s},
        {"a host that begins with the name", "http://quintavia.example.com/", u"Accedi"_s,
         u"Pop-up da quintavia.example.com – Accedi"_s},
        {"no host", "about:blank", u"about:blank"_s, u"Pop-up da about – about:blank"_s},
        {"no address yet", "", u""_s, u"Pop-up"_s},
        {"a title that turns itself around", "http://www.jobonline.it/", u"\u202Eitlas\n"_s,
         u"Pop-up da www.jobonline.it – itlas"_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PopupTitle(QUrl(QString::fromLatin1(c.url)), c.pageTitle), c.expected) << c.what;
}

}  // namespace
}  // namespace quintavia
