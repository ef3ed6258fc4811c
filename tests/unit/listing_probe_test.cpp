#include "core/page/listing_probe.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

// The straightforward form of the per-unit mapping, to hold the fast one against.
QString ReferenceUpper(const QString& text) {
    QString out = text;
    for (QChar& unit : out) {
        const char32_t upper = QChar::toUpper(static_cast<char32_t>(unit.unicode()));
        if (upper <= 0xFFFF) unit = QChar(static_cast<char16_t>(upper));
    }
    return out;
}

TEST(UpperCaseUnits, MapsEachUnitAloneAndKeepsTheLength) {
    EXPECT_EQ(UpperCaseUnits(u"annuncio: Cuoco capo-partita 3"_s),
              u"ANNUNCIO: CUOCO CAPO-PARTITA 3"_s);
    EXPECT_EQ(UpperCaseUnits(u"città àèéìòù ÿ ς"_s), u"CITTÀ ÀÈÉÌÒÙ Ÿ Σ"_s);
    // Letters whose full upper case takes more than one character keep their single unit.
    EXPECT_EQ(UpperCaseUnits(u"straße ﬁ"_s), u"STRAßE ﬁ"_s);
    // Surrogate halves are not letters, even when the character they make is one.
    const QString deseret = QString::fromUcs4(U"\U00010428x");
    EXPECT_EQ(UpperCaseUnits(deseret), deseret.left(2) + u"X"_s);
    const QString lone = QString(QChar(0xD801)) + u"a"_s + QChar(0xDC28);
    EXPECT_EQ(UpperCaseUnits(lone), QString(QChar(0xD801)) + u"A"_s + QChar(0xDC28));
    EXPECT_EQ(UpperCaseUnits(u""_s), u""_s);
}

TEST(UpperCaseUnits, AgreesWithTheUnitByUnitMappingAcrossBlockEdges) {
    // Lengths around the block size, with the odd unit outside ASCII anywhere in them.
    const QString alphabet =
        u"abcxyzABZ09<>&; \n\t@[`{\u00e0\u00df\u03c2\u0430\uff41"_s + QChar(0xD83D) + QChar(0xDE00);
    QRandomGenerator random(7);
    for (int length = 0; length < 140; ++length) {
        for (int round = 0; round < 4; ++round) {
            QString text;
            for (int i = 0; i < length; ++i) {
                const bool plain = round == 0 || random.bounded(8) != 0;
                const auto pick = random.bounded(plain ? 22u : 29u);
                text += alphabet[static_cast<qsizetype>(pick)];
            }
            ASSERT_EQ(UpperCaseUnits(text), ReferenceUpper(text)) << length << " " << round;
        }
    }
}

TEST(FindNewestListing, WorkedExampleOfTheJobrapidoPane) {
    // The marker at 200..209, ">" at 218, "<" at 244, a blank at 243.
    QString page = QString(199, u'x');
    page += u"span class=\"title\">"_s;
    page += u"Operaio metalmeccanico 3 <"_s;
    ASSERT_EQ(page.size(), 244);
    const ProbeResult found = FindNewestListing(page, u"span class"_s);
    EXPECT_EQ(found.outcome, ProbeOutcome::Title);
    EXPECT_EQ(found.markerPosition, 200);
    EXPECT_EQ(found.tagEnd, 218);
    EXPECT_EQ(found.tagStart, 244);
    EXPECT_EQ(found.title, u"OPERAIO METALMECCANICO 3"_s);  // 25 taken, the blank trimmed
}

TEST(FindNewestListing, TenUnitsFromTheMarkerWhateverItsLength) {
    // MioJob's eight-unit marker: the ">" closing its own tag lies 9 units on and is passed
    // over, so the title is what follows the next tag.
    const QString page = u"<div class=\"clearfix\"><a href=\"/offerta/7\">Magazziniere</a></div>"_s;
    ProbeResult found = FindNewestListing(page, u"clearfix"_s);
    EXPECT_EQ(found.markerPosition, 13);
    EXPECT_EQ(found.tagEnd, 43);
    EXPECT_EQ(found.title, u"MAGAZZINIERE"_s);

    // A marker that ends just before its ">" is not passed over when it is ten units long.
    found = FindNewestListing(u"<span class>Cuoco</span>"_s, u"SPAN CLASS"_s);
    EXPECT_EQ(found.title, u"CUOCO"_s);

    // The marker is searched in upper case, from the page's start: the first one counts.
    found =
        FindNewestListing(u"<p id=\"DettaglioPosizione\">Uno</p><p id=\"dettaglioposizione\">Due"_s,
                          u"dettaglioposizione"_s);
    EXPECT_EQ(found.markerPosition, 8);
    EXPECT_EQ(found.title, u"UNO"_s);
}

TEST(FindNewestListing, AbsentMarkerSearchesFromPositionTen) {
    // A ">" at 3 lies before position 10; the one at 12 is followed by "<" at once.
    ProbeResult found = FindNewestListing(u"<p>early</p><i>later</i>"_s, u"clearfix"_s);
    EXPECT_EQ(found.markerPosition, 0);
    EXPECT_EQ(found.tagEnd, 12);
    EXPECT_EQ(found.outcome, ProbeOutcome::Title);
    EXPECT_EQ(found.title, u""_s);

    found = FindNewestListing(u"<p>early</p>Late news<i>"_s, u"clearfix"_s);
    EXPECT_EQ(found.title, u"LATE NEWS"_s);

    // A ">" exactly at 10 is found.
    found = FindNewestListing(u"123456789>Ten<"_s, u"clearfix"_s);
    EXPECT_EQ(found.tagEnd, 10);
    EXPECT_EQ(found.title, u"TEN"_s);
}

TEST(FindNewestListing, TitleTextIsTakenAsItStands) {
    const auto title = [](const QString& between) {
        return FindNewestListing(u"<span class=\"t\">"_s + between + u"</span>"_s, u"span class"_s)
            .title;
    };
    EXPECT_EQ(title(u""_s), u""_s);  // adjacent tags
    EXPECT_EQ(title(u"     "_s), u""_s);
    // Only the space is trimmed: line breaks, tabs and non-breaking spaces stay.
    EXPECT_EQ(title(u"\n"_s), u"\n"_s);
    EXPECT_EQ(title(u"  \r\n  "_s), u"\r\n"_s);
    EXPECT_EQ(title(u"\tCuoco\u00a0"_s), u"\tCUOCO\u00a0"_s);
    EXPECT_EQ(title(u"  Due   spazi  "_s), u"DUE   SPAZI"_s);
    // Character references are not decoded.
    EXPECT_EQ(title(u"Bar &amp; ristorante &#232;"_s), u"BAR &AMP; RISTORANTE &#232;"_s);
    EXPECT_EQ(title(u"Straße für Bäcker"_s), u"STRAßE FÜR BÄCKER"_s);
}

TEST(FindNewestListing, PositionsCountUtf16Units) {
    // A character outside the basic plane takes two units, before the marker and in the title.
    const QString smile = QString::fromUcs4(U"\U0001F600");
    const QString page =
        smile + u"<b class=\"clearfix\"><a>"_s + smile + u" Lavoro "_s + smile + u"</a>"_s;
    const ProbeResult found = FindNewestListing(page, u"clearfix"_s);
    EXPECT_EQ(found.markerPosition, 13);
    EXPECT_EQ(found.tagEnd, 25);
    EXPECT_EQ(found.tagStart, 38);
    EXPECT_EQ(found.title, smile + u" LAVORO "_s + smile);
}

TEST(FindNewestListing, MissingTagEndOrTagStartIsAFailure) {
    ProbeResult found = FindNewestListing(u"<div class=\"clearfix\" no end"_s, u"clearfix"_s);
    EXPECT_EQ(found.outcome, ProbeOutcome::NoTagEnd);
    EXPECT_EQ(found.tagEnd, 0);
    EXPECT_TRUE(found.title.isNull());

    // The only ">" lies within ten units of the marker's start.
    found = FindNewestListing(u"xx<clearfix>"_s, u"clearfix"_s);
    EXPECT_EQ(found.outcome, ProbeOutcome::NoTagEnd);

    found = FindNewestListing(u"<div class=\"clearfix\"><a>Titolo senza fine"_s, u"clearfix"_s);
    EXPECT_EQ(found.outcome, ProbeOutcome::NoTagStart);
    EXPECT_EQ(found.tagStart, 0);
    EXPECT_TRUE(found.title.isNull());

    // A search that starts past the end finds nothing; an empty page has no tag end.
    EXPECT_EQ(FindNewestListing(u"clearfix"_s, u"clearfix"_s).outcome, ProbeOutcome::NoTagEnd);
    EXPECT_EQ(FindNewestListing(u""_s, u"clearfix"_s).outcome, ProbeOutcome::NoTagEnd);
}

}  // namespace
}  // namespace quintavia
