#include "core/watch/notices.h"

#include <gtest/gtest.h>

#include "core/layout/panes.h"
#include "qt_printing.h"
#include "store/settings_keys.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

FoundListing Found(const QString& title, const char* link = "") {
    return {.title = title, .link = QUrl(QString::fromLatin1(link))};
}

// One listing names its title; more name up to three, one a line, and count the rest. A click
// opens the first one's link only when it may be opened, else the list.
TEST(Notices, NewListingsAreNamedAndTheFirstOneOpened) {
    struct Case {
        const char* what;
        QList<FoundListing> first;
        int count;
        Notice expected;
    };
    const QUrl link(u"https://it.indeed.com/viewjob?jk=1"_s);
    const Case cases[] = {
        {"one with its link",
         {Found(u"Cuoco"_s, "https://it.indeed.com/viewjob?jk=1")},
         1,
         {u"Nuovo annuncio su Indeed"_s, u"Cuoco"_s, -1, NoticeAction::OpenLink, link}},
        {"one without a link",
         {Found(u"Cuoco\u202E\nCapo"_s)},
         1,
         {u"Nuovo annuncio su Indeed"_s, u"Cuoco Capo"_s, -1, NoticeAction::ShowFound, {}}},
        {"three",
         {Found(u"Uno"_s, "https://it.indeed.com/viewjob?jk=1"), Found(u"Due"_s), Found(u"Tre"_s)},
         3,
         {u"3 nuovi annunci su Indeed"_s, u"Uno\nDue\nTre"_s, -1, NoticeAction::OpenLink, link}},
        {"five, of which the first few",
         {Found(u"Uno"_s, "javascript:alert(1)"), Found(u"Due"_s), Found(u"Tre"_s),
          Found(u"Quattro"_s)},
         5,
         {u"5 nuovi annunci su Indeed"_s,
          u"Uno\nDue\nTre\ne altri 2"_s,
          -1,
          NoticeAction::ShowFound,
          {}}},
        {"with the company and place the cards tell",
         {{.title = u"Magazziniere"_s, .company = u"Acme Logistica"_s, .place = u"Milano"_s},
          {.title = u"Cuoco"_s, .place = u"Roma"_s},
          {.title = u"Autista"_s, .company = u"Beta\u202E"_s}},
         3,
         {u"3 nuovi annunci su Indeed"_s,
          u"Magazziniere · Acme Logistica, Milano\nCuoco · Roma\nAutista · Beta"_s,
          -1,
          NoticeAction::ShowFound,
          {}}},
        {"held: more than were kept",
         {Found(u"Uno"_s, "file:///etc/passwd")},
         4,
         {u"4 nuovi annunci su Indeed"_s, u"Uno\ne altri 3"_s, -1, NoticeAction::ShowFound, {}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListingsNotice(u"Indeed"_s, c.first, c.count), c.expected) << c.what;
    // The lines stay lines on the desktop.
    EXPECT_EQ(NoticeBody(u"A & B\nC\u202E\tD"_s, true), u"A &amp; B\nC D"_s);
    EXPECT_EQ(BlindNotice(u"Jobrapido"_s, u"il sito risponde con errore 429"_s),
              (Notice{u"Jobrapido non è più sorvegliato"_s,
                      u"Quintavia non vede più gli annunci: il sito risponde con errore 429."_s}));
    // What the user can do follows the reason.
    EXPECT_EQ(BlindNotice(u"Indeed"_s, u"la pagina non contiene più gli annunci"_s,
                          u"scegli un altro sito in Impostazioni"_s)
                  .body,
              u"Quintavia non vede più gli annunci: la pagina non contiene più gli annunci; "
              u"scegli un altro sito in Impostazioni."_s);
    const Notice again = WatchedAgainNotice(u"Jobonline"_s);
    EXPECT_EQ(again.summary, u"Jobonline di nuovo sorvegliato"_s);
    EXPECT_GT(again.timeoutMs, 0);
    EXPECT_LE(again.timeoutMs, 10000);
}

TEST(Notices, ABodyIsMarkupOnlyForADesktopThatReadsMarkup) {
    const QString rocket = u"\U0001F680"_s;
    const QString longTitle = QString(kNoticeBodyUnits - 1, u'x') + rocket;  // a pair astride
    struct Case {
        const char* what;
        QString text;
        QString asMarkup;
        QString asText;
    };
    const Case cases[] = {
        {"plain", u"CUOCO CAPO PARTITA"_s, u"CUOCO CAPO PARTITA"_s, u"CUOCO CAPO PARTITA"_s},
        {"markup characters", u"<b>Bar & \"Ristorante\" d'Italia</b>"_s,
         u"&lt;b&gt;Bar &amp; &quot;Ristorante&quot; d&#39;Italia&lt;/b&gt;"_s,
         u"<b>Bar & \"Ristorante\" d'Italia</b>"_s},
        {"a reference stays text", u"&amp;"_s, u"&amp;amp;"_s, u"&amp;"_s},
        {"lines stay, other breaks are spaces", u"Città\u2028però\r\nqui"_s, u"Città però\nqui"_s,
         u"Città però\nqui"_s},
        {"outside the BMP", u"Consegne "_s + rocket, u"Consegne "_s + rocket,
         u"Consegne "_s + rocket},
        {"a NUL and a bidi override", u"a"_s + QChar(0) + u"b\u202Ec"_s, u"abc"_s, u"abc"_s},
        {"half a pair", u"a"_s + QChar(0xD83D) + u"b"_s + QChar(0xDE80), u"a\uFFFDb\uFFFD"_s,
         u"a\uFFFDb\uFFFD"_s},
        {"cut short", QString(kNoticeBodyUnits + 50, u'a'), QString(kNoticeBodyUnits, u'a'),
         QString(kNoticeBodyUnits, u'a')},
        {"cut before a pair", longTitle, QString(kNoticeBodyUnits - 1, u'x'),
         QString(kNoticeBodyUnits - 1, u'x')},
        {"cut after what is left out", u"\u200B"_s.repeated(50) + QString(kNoticeBodyUnits, u'a'),
         QString(kNoticeBodyUnits, u'a'), QString(kNoticeBodyUnits, u'a')},
        {"empty", u""_s, u""_s, u""_s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NoticeBody(c.text, true), c.asMarkup) << c.what;
        EXPECT_EQ(NoticeBody(c.text, false), c.asText) << c.what;
    }
}

TEST(Notices, TheTrayTipHasTheCountdownAndEachSitesState) {
    const QStringList names{u"MioJob"_s, u"Jobrapido"_s, u"Jobonline"_s, u"InfoJobs"_s};
    EXPECT_EQ(TrayToolTip(299, names, {}),
              u"Quintavia: prossimo aggiornamento tra 4:59\nMioJob: sorvegliato\n"
              u"Jobrapido: sorvegliato\nJobonline: sorvegliato\nInfoJobs: sorvegliato"_s);
    EXPECT_EQ(TrayToolTip(5, names, {u""_s, u"il sito risponde con errore 429"_s, u""_s, u""_s}),
              u"Quintavia: prossimo aggiornamento tra 0:05\nMioJob: sorvegliato\n"
              u"Jobrapido: non sorvegliato, il sito risponde con errore 429\n"
              u"Jobonline: sorvegliato\nInfoJobs: sorvegliato"_s);
    EXPECT_TRUE(
        TrayToolTip(-1, names, {}).startsWith(u"Quintavia: prossimo aggiornamento tra 0:00\n"_s));
    EXPECT_EQ(SiteLabelToolTip(u""_s), u""_s);
    EXPECT_EQ(SiteLabelToolTip(u"pagina di errore del browser"_s),
              u"Non sorvegliato: pagina di errore del browser"_s);
    // Until its first capture a site is being checked, not watched.
    EXPECT_EQ(TrayToolTip(299, names, {u""_s, u"chiuso; scegli un altro sito"_s}, 0,
                          {true, false, false, false}),
              u"Quintavia: prossimo aggiornamento tra 4:59\nMioJob: in verifica\n"
              u"Jobrapido: non sorvegliato, chiuso; scegli un altro sito\n"
              u"Jobonline: sorvegliato\nInfoJobs: sorvegliato"_s);
    EXPECT_TRUE(SiteLabelToolTip(u""_s, true).startsWith(u"In verifica"_s));
    EXPECT_EQ(BlindState(u"chiuso"_s, u"scegli un altro sito"_s),
              u"chiuso; scegli un altro sito"_s);
}

// A blind notice ends with what to do; one of a site never seen working does not say "no
// longer"; a click on it goes to the settings of its pane.
TEST(Notices, ABlindNoticeSaysWhetherTheSiteWasEverWatchedAndLeadsToItsPane) {
    struct Case {
        const char* what;
        bool watchedBefore;
        int pane;
        Notice expected;
    };
    const Case cases[] = {
        {"watched before",
         true,
         -1,
         {u"Indeed non è più sorvegliato"_s,
          u"Quintavia non vede più gli annunci: chiuso; scegli un altro sito."_s}},
        {"never watched, from pane 2",
         false,
         2,
         {u"Indeed non è sorvegliato"_s,
          u"Quintavia non vede gli annunci: chiuso; scegli un altro sito."_s,
          -1,
          NoticeAction::ShowSettings,
          {},
          2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BlindNotice(u"Indeed"_s, u"chiuso"_s, u"scegli un altro sito"_s, c.watchedBefore,
                              c.pane),
                  c.expected)
            << c.what;
}

// "Notifiche sul desktop": on unless the file says "0".
TEST(Notices, TheOptionIsReadFromItsOwnKey) {
    struct Case {
        const char* what;
        std::optional<QString> stored;
        bool expected;
    };
    const Case cases[] = {
        {"never stored", std::nullopt, true},
        {"off", u"0"_s, false},
        {"on", u"1"_s, true},
        {"blanks around", u" 0 "_s, false},
        {"no such value", u"2"_s, true},
        {"not a number", u"no"_s, true},
        {"empty", u""_s, true},
    };
    for (const Case& c : cases) {
        IniDocument doc;
        if (c.stored) doc.setValue(u"Notifiche"_s, u"0"_s, *c.stored);
        EXPECT_EQ(ReadKept(doc).options.desktopNotifications, c.expected) << c.what;
    }
    Kept off;
    off.options.desktopNotifications = false;
    EXPECT_TRUE(ShutdownEntries(off).contains(SettingsEntry{u"Notifiche"_s, u"0"_s, u"0"_s}));
    EXPECT_TRUE(ShutdownEntries({}).contains(SettingsEntry{u"Notifiche"_s, u"0"_s, u"1"_s}));
}

}  // namespace
}  // namespace quintavia
