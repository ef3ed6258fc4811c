#include <gtest/gtest.h>

#include <QLocale>

#include "core/layout/panes.h"
#include "kept_sites.h"
#include "settings_printing.h"
#include "store/settings_keys.h"

namespace quintavia {
namespace {

IniDocument Parse(const char* text) {
    std::optional<IniDocument> doc = IniDocument::parse(QByteArray(text));
    EXPECT_TRUE(doc) << text;
    return doc.value_or(IniDocument());
}

// Every value away from its default, so that a value read from the wrong place shows, each
// text one that the file must escape or keep as it is.
Kept AwkwardSettings() {
    Kept s;
    support::SetLastTitles(s, {"MAGAZZINIERE", "", "CUOCO; CAPO=PARTITA", "riga\nseconda"});
    s.options.autoPosition = TriState::Greyed;
    s.options.region = "Valle d'Aosta";
    s.options.soundAlert = TriState::Ticked;
    support::SetScrollTops(s, {"10", "20.5", "abc", ""});
    support::SetScrollLefts(s, {"1", "2", "3", "-0"});
    s.options.includeWords = "cuoco, PIZZAIOLO ,à la carte";
    s.options.excludeWords = "stage;tirocinio=\\n";
    return s;
}

TEST(SettingsValues, AnEmptyFileReadsAsTheDefaults) {
    const Kept read = ReadKept(IniDocument());
    EXPECT_EQ(read, Kept());
    for (int i = 0; i < kPaneCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        EXPECT_EQ(support::DefaultSite(read, at).lastListing, "");
        EXPECT_EQ(support::DefaultSite(read, at).scrollTop, "0");
        EXPECT_EQ(support::DefaultSite(read, at).scrollLeft, "0");
    }
    EXPECT_EQ(read.options.autoPosition, TriState::Unticked);
    EXPECT_EQ(read.options.region, "Abruzzo");
    EXPECT_EQ(read.options.soundAlert, TriState::Unticked);
}

TEST(SettingsValues, EachValueIsReadFromItsOwnSectionAndKey) {
    const Kept read = ReadKept(
        Parse("[Settaggio]\n0=MAGAZZINIERE\n1=\n2=CUOCO; CAPO=PARTITA\n3=riga\\nseconda\n"
              "[Posizione]\n0=2\n1=Valle d'Aosta\n2=1\n"
              "[Scroll]\n0=10\n1=20.5\n2=abc\n3=\n"
              "[Left]\n0=1\n1=2\n2=3\n3=-0\n"
              "[Filtri]\nincludi=cuoco, PIZZAIOLO ,à la carte\nescludi=stage;tirocinio=\\\\n\n"));
    EXPECT_EQ(read, AwkwardSettings());
}

TEST(SettingsValues, AStoredEmptyRegionIsAValue) {
    EXPECT_EQ(ReadKept(Parse("[Posizione]\n1=\n")).options.region, "");
    EXPECT_EQ(ReadKept(Parse("[Posizione]\n0=1\n")).options.region, "Abruzzo");
}

// Scroll offsets are texts: one that is no number is kept as it is, to be refused when a pane
// is scrolled to it, and written back unchanged.
TEST(SettingsValues, ScrollOffsetsStayTexts) {
    const Kept read = ReadKept(Parse("[Scroll]\n1=dodici\n[Left]\n2= 7 \n"));
    EXPECT_EQ(support::DefaultSite(read, 1).scrollTop, "dodici");
    EXPECT_EQ(support::DefaultSite(read, 2).scrollLeft, " 7 ");
    IniDocument doc;
    ApplyEntries(doc, ScrollEntries(read, 1));
    EXPECT_EQ(doc.value("Scroll", "1"), "dodici");
}

TEST(SettingsTriState, TextsReadInTheCLocale) {
    const struct {
        const char* text;
        std::optional<TriState> expected;
    } cases[] = {
        {"0", TriState::Unticked},
        {"1", TriState::Ticked},
        {"2", TriState::Greyed},
        // Blanks around the number, as a hand edit may leave them, are allowed.
        {" 1", TriState::Ticked},
        {"2 ", TriState::Greyed},
        {"\t0\t", TriState::Unticked},
        // Other ways of writing the same integer.
        {"01", TriState::Ticked},
        {"+2", TriState::Greyed},
        {"-0", TriState::Unticked},
        // Integers out of range.
        {"3", std::nullopt},
        {"7", std::nullopt},
        {"-1", std::nullopt},
        {"65537", std::nullopt},
        {"99999999999999999999", std::nullopt},
        // Not integers.
        {"", std::nullopt},
        {" ", std::nullopt},
        {"abc", std::nullopt},
        {"1abc", std::nullopt},
        {"1 2", std::nullopt},
        {"1.0", std::nullopt},
        {"1e0", std::nullopt},
        {"0x1", std::nullopt},
        {"0,002", std::nullopt},  // a group separator in the C locale
        {"true", std::nullopt},
        // Digits that other locales read.
        {"\xd9\xa2", std::nullopt},      // ARABIC-INDIC DIGIT TWO
        {"\xef\xbc\x91", std::nullopt},  // FULLWIDTH DIGIT ONE
    };
    // A default locale that reads Arabic-Indic digits must not change how the file reads.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    ASSERT_EQ(QLocale().toInt(QString::fromUtf8("\xd9\xa2")), 2);
    for (const auto& c : cases) {
        EXPECT_EQ(TriStateFromText(QString::fromUtf8(c.text)), c.expected) << '"' << c.text << '"';
    }
    QLocale::setDefault(before);
}

TEST(SettingsTriState, EachStateIsWrittenAsItsNumberAndReadBack) {
    const struct {
        TriState state;
        const char* text;
    } cases[] = {
        {TriState::Unticked, "0"},
        {TriState::Ticked, "1"},
        {TriState::Greyed, "2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TriStateText(c.state), c.text);
        EXPECT_EQ(TriStateFromText(TriStateText(c.state)), c.state);
    }
}

TEST(SettingsTriState, AStoredTextThatIsNoStateLeavesTheOptionUnticked) {
    for (const char* text : {"abc", "", "7", "-1", "1.5"}) {
        const Kept read = ReadKept(Parse(
            QByteArray("[Posizione]\n0=").append(text).append("\n2=").append(text).constData()));
        EXPECT_EQ(read.options.autoPosition, TriState::Unticked) << text;
        EXPECT_EQ(read.options.soundAlert, TriState::Unticked) << text;
    }
    const Kept read = ReadKept(Parse("[Posizione]\n0= 2\n2=1 \n"));
    EXPECT_EQ(read.options.autoPosition, TriState::Greyed);
    EXPECT_EQ(read.options.soundAlert, TriState::Ticked);
}

TEST(SettingsEntries, EachKindOfWriteNamesItsKeysInOrder) {
    const Kept s = AwkwardSettings();
    const SettingsEntries listing = {
        {"Settaggio", "0", "MAGAZZINIERE"},
        {"Settaggio", "1", ""},
        {"Settaggio", "2", "CUOCO; CAPO=PARTITA"},
        {"Settaggio", "3", "riga\nseconda"},
    };
    EXPECT_EQ(ListingEntries(s), listing);
    EXPECT_EQ(ShutdownEntries(s),
              (listing + SettingsEntries{
                             {"Posizione", "0", "2"},
                             {"Posizione", "1", "Valle d'Aosta"},
                             {"Posizione", "2", "1"},
                             {"Notifiche", "0", "1"},
                             {"Siti", "0", "", true},
                             {"Siti", "1", "", true},
                             {"Siti", "2", "", true},
                             {"Siti", "3", "", true},
                             {"Ricerca", "parole", "", true},
                             {"Filtri", "includi", "cuoco, PIZZAIOLO ,à la carte", true},
                             {"Filtri", "escludi", "stage;tirocinio=\\n", true},
                             {"Griglia", "riquadri", "", true},
                         }));
    EXPECT_EQ(ScrollEntries(s, 0), (SettingsEntries{{"Scroll", "0", "10"}, {"Left", "0", "1"}}));
    EXPECT_EQ(ScrollEntries(s, 3), (SettingsEntries{{"Scroll", "3", ""}, {"Left", "3", "-0"}}));
    EXPECT_TRUE(ScrollEntries(s, -1).isEmpty());
    EXPECT_TRUE(ScrollEntries(s, kPaneCount).isEmpty());
}

// What "Impostazioni" stores: a pane back on its default site, or words cleared, empty a key
// the file holds and add none where it holds nothing; the other sections stay as they were.
TEST(SettingsEntries, TheChoicesWriteTheirOwnKeysAlone) {
    const struct {
        const char* name;
        const char* file;
        QStringList paneSites;
        QString keywords;
        bool notifications;
        QString includeWords;
        QString excludeWords;
        QByteArray written;
    } cases[] = {
        {"defaults on a new file", "", {}, "", true, "", "", "[Notifiche]\n0=1\n"},
        {"a preset in pane 2, keywords, no notifications, words to leave out",
         "[Posizione]\n1=Lazio\n",
         {"", "", "indeed", ""},
         "cuoco pizzaiolo",
         false,
         "",
         "stage, tirocinio",
         "[Posizione]\n1=Lazio\n\n[Notifiche]\n0=0\n\n[Siti]\n2=indeed\n\n"
         "[Ricerca]\nparole=cuoco pizzaiolo\n\n[Filtri]\nescludi=stage, tirocinio\n"},
        {"pane 2 back on its default, keywords and words to leave out cleared",
         "[Siti]\n2=indeed\n3=subito\n[Ricerca]\nparole=cuoco\n[Filtri]\nescludi=stage\n",
         {"", "", "", "subito"},
         "",
         true,
         " cuoco ,\nchef",
         "",
         "[Siti]\n2=\n3=subito\n\n[Ricerca]\nparole=\n\n[Filtri]\nescludi=\n"
         "includi= cuoco ,\\nchef\n\n[Notifiche]\n0=1\n"},
    };
    for (const auto& c : cases) {
        Kept s = AwkwardSettings();
        s.options.paneSites = c.paneSites;
        s.options.keywords = c.keywords;
        s.options.desktopNotifications = c.notifications;
        s.options.includeWords = c.includeWords;
        s.options.excludeWords = c.excludeWords;
        IniDocument doc = Parse(c.file);
        ApplyEntries(doc, ChoicesEntries(s.options));
        EXPECT_EQ(doc.toUtf8(), c.written) << c.name;
        Kept read = ReadKept(doc);
        EXPECT_EQ(read.options.includeWords, c.includeWords) << c.name;
        EXPECT_EQ(read.options.excludeWords, c.excludeWords) << c.name;
    }
}

// A write changes its own keys only: keys the program does not know, other sections, comments'
// neighbours and the order of first appearance all stay; new keys go after their section's.
TEST(SettingsEntries, ApplyingKeepsEverythingElseInItsPlace) {
    IniDocument doc = Parse(
        "[Mio]\nnota=scritta a mano\n"
        "[Posizione]\n9=sconosciuta\n1=Lazio\n"
        "[Scroll]\n0=5\n");
    Kept s = AwkwardSettings();
    ApplyEntries(doc, ShutdownEntries(s));
    ApplyEntries(doc, ScrollEntries(s, 2));
    EXPECT_EQ(doc.toUtf8(),
              "[Mio]\nnota=scritta a mano\n\n"
              "[Posizione]\n9=sconosciuta\n1=Valle d'Aosta\n0=2\n2=1\n\n"
              "[Scroll]\n0=5\n2=abc\n\n"
              "[Settaggio]\n0=MAGAZZINIERE\n1=\n2=CUOCO; CAPO=PARTITA\n3=riga\\nseconda\n\n"
              "[Notifiche]\n0=1\n\n"
              "[Filtri]\nincludi=cuoco, PIZZAIOLO ,à la carte\nescludi=stage;tirocinio=\\\\n\n\n"
              "[Left]\n2=3\n");
}

TEST(SettingsEntries, NamesTheFileCannotHoldAreLeftOut) {
    IniDocument doc = Parse("[Scroll]\n0=5\n");
    const QByteArray before = doc.toUtf8();
    ApplyEntries(doc, {{"", "0", "x"},
                       {" Scroll", "0", "x"},
                       {"Scroll", "a=b", "x"},
                       {"[x]", "0", "x"},
                       {"Scroll", ";c", "x"},
                       {"a\nb", "0", "x"}});
    EXPECT_EQ(doc.toUtf8(), before);
}

}  // namespace
}  // namespace quintavia
