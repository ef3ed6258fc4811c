#include <gtest/gtest.h>

#include <QLocale>

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
Settings AwkwardSettings() {
    Settings s;
    s.lastListing = {"MAGAZZINIERE", "", "CUOCO; CAPO=PARTITA", "riga\nseconda"};
    s.autoPosition = TriState::Greyed;
    s.region = "Valle d'Aosta";
    s.soundAlert = TriState::Ticked;
    s.scrollTop = {"10", "20.5", "abc", ""};
    s.scrollLeft = {"1", "2", "3", "-0"};
    s.includeWords = "cuoco, PIZZAIOLO ,à la carte";
    s.excludeWords = "stage;tirocinio=\\n";
    return s;
}

TEST(SettingsValues, AnEmptyFileReadsAsTheDefaults) {
    const Settings read = ReadSettings(IniDocument());
    EXPECT_EQ(read, Settings());
    for (int i = 0; i < kSiteCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        EXPECT_EQ(read.lastListing[at], "");
        EXPECT_EQ(read.scrollTop[at], "0");
        EXPECT_EQ(read.scrollLeft[at], "0");
    }
    EXPECT_EQ(read.autoPosition, TriState::Unticked);
    EXPECT_EQ(read.region, "Abruzzo");
    EXPECT_EQ(read.soundAlert, TriState::Unticked);
}

TEST(SettingsValues, EachValueIsReadFromItsOwnSectionAndKey) {
    const Settings read = ReadSettings(
        Parse("[Settaggio]\n0=MAGAZZINIERE\n1=\n2=CUOCO; CAPO=PARTITA\n3=riga\\nseconda\n"
              "[Posizione]\n0=2\n1=Valle d'Aosta\n2=1\n"
              "[Scroll]\n0=10\n1=20.5\n2=abc\n3=\n"
              "[Left]\n0=1\n1=2\n2=3\n3=-0\n"
              "[Filtri]\nincludi=cuoco, PIZZAIOLO ,à la carte\nescludi=stage;tirocinio=\\\\n\n"));
    EXPECT_EQ(read, AwkwardSettings());
}

TEST(SettingsValues, AStoredEmptyRegionIsAValue) {
    EXPECT_EQ(ReadSettings(Parse("[Posizione]\n1=\n")).region, "");
    EXPECT_EQ(ReadSettings(Parse("[Posizione]\n0=1\n")).region, "Abruzzo");
}

// Scroll offsets are texts: one that is no number is kept as it is, to be refused when a pane
// is scrolled to it, and written back unchanged.
TEST(SettingsValues, ScrollOffsetsStayTexts) {
    const Settings read = ReadSettings(Parse("[Scroll]\n1=dodici\n[Left]\n2= 7 \n"));
    EXPECT_EQ(read.scrollTop[1], "dodici");
    EXPECT_EQ(read.scrollLeft[2], " 7 ");
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
        const Settings read = ReadSettings(Parse(
            QByteArray("[Posizione]\n0=").append(text).append("\n2=").append(text).constData()));
        EXPECT_EQ(read.autoPosition, TriState::Unticked) << text;
        EXPECT_EQ(read.soundAlert, TriState::Unticked) << text;
    }
    const Settings read = ReadSettings(Parse("[Posizione]\n0= 2\n2=1 \n"));
    EXPECT_EQ(read.autoPosition, TriState::Greyed);
    EXPECT_EQ(read.soundAlert, TriState::Ticked);
}

TEST(SettingsEntries, EachKindOfWriteNamesItsKeysInOrder) {
    const Settings s = AwkwardSettings();
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
                         }));
    EXPECT_EQ(ScrollEntries(s, 0), (SettingsEntries{{"Scroll", "0", "10"}, {"Left", "0", "1"}}));
    EXPECT_EQ(ScrollEntries(s, 3), (SettingsEntries{{"Scroll", "3", ""}, {"Left", "3", "-0"}}));
    EXPECT_TRUE(ScrollEntries(s, -1).isEmpty());
    EXPECT_TRUE(ScrollEntries(s, kSiteCount).isEmpty());
}

// What "Impostazioni" stores: a pane back on its default site, or words cleared, empty a key
// the file holds and add none where it holds nothing; the other sections stay as they were.
TEST(SettingsEntries, TheChoicesWriteTheirOwnKeysAlone) {
    const struct {
        const char* name;
        const char* file;
        std::array<QString, kSiteCount> paneSites;
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
        Settings s = AwkwardSettings();
        s.paneSites = c.paneSites;
        s.keywords = c.keywords;
        s.desktopNotifications = c.notifications;
        s.includeWords = c.includeWords;
        s.excludeWords = c.excludeWords;
        IniDocument doc = Parse(c.file);
        ApplyEntries(doc, ChoicesEntries(s));
        EXPECT_EQ(doc.toUtf8(), c.written) << c.name;
        Settings read = ReadSettings(doc);
        EXPECT_EQ(read.includeWords, c.includeWords) << c.name;
        EXPECT_EQ(read.excludeWords, c.excludeWords) << c.name;
    }
}

// A write changes its own keys only: keys the program does not know, other sections, comments'
// neighbours and the order of first appearance all stay; new keys go after their section's.
TEST(SettingsEntries, ApplyingKeepsEverythingElseInItsPlace) {
    IniDocument doc = Parse(
        "[Mio]\nnota=scritta a mano\n"
        "[Posizione]\n9=sconosciuta\n1=Lazio\n"
        "[Scroll]\n0=5\n");
    Settings s = AwkwardSettings();
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
