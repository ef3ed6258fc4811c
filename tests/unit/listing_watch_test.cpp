#include <gtest/gtest.h>

#include "fakes.h"

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quintavia::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

// A page of a site whose newest listing carries `title`, shaped as that site writes it.
QString Page(int site, const QString& title) {
    static const QString before[kSiteCount] = {
        u"<div class=\"clearfix\"><a href=\"/offerta/1\">"_s,
        u"<div><span class=\"title\">"_s,
        u"<div id=\"dettaglioPosizione\">"_s,
        u"<p><a href=\"http://www.infojobs.it/selezionare/1\">"_s,
    };
    return u"<html><head></head><body>\n"_s + before[site] + title +
           u"</a></div><p>Annuncio precedente</p></body></html>"_s;
}

class ListingWatch : public ::testing::Test {
  protected:
    void SetUp() override {
        w.logic.onLoad();
        w.journal.clear();
    }

    // Shows `html` in the pane of `site` and raises its DownloadComplete.
    bool Complete(int site, const QString& html) {
        w.panes[site].doc.html = html;
        return w.logic.onDownloadComplete(site);
    }

    FakeWindow w;
};

TEST_F(ListingWatch, NewTitleIsStoredLoggedShownAndAnnounced) {
    w.controls.checks[1] = kTicked;  // Check2
    EXPECT_TRUE(Complete(1, Page(1, u"  Cuoco capo partita "_s)));
    EXPECT_EQ(w.logic.lastListings()[1], u"CUOCO CAPO PARTITA"_s);
    EXPECT_EQ(w.controls.log, QStringList{u"Jobrapido: CUOCO CAPO PARTITA"_s});
    EXPECT_EQ(w.controls.logText, u"Jobrapido: CUOCO CAPO PARTITA"_s);
    EXPECT_EQ(w.journal,
              (Journal{"log Jobrapido: CUOCO CAPO PARTITA", "play /opt/quintavia/1.wav"}));

    // The same title again: nothing logged, nothing played, and the handling still succeeds.
    w.journal.clear();
    EXPECT_TRUE(Complete(1, Page(1, u"Cuoco capo partita"_s)));
    EXPECT_TRUE(w.journal.empty());
    EXPECT_EQ(w.controls.log.size(), 1);
}

TEST_F(ListingWatch, EntriesBeginWithTheNineCharacterSiteLabels) {
    w.controls.checks[1] = kTicked;
    for (int site = 0; site < kSiteCount; ++site)
        EXPECT_TRUE(Complete(site, Page(site, u"Autista"_s))) << site;
    EXPECT_EQ(w.controls.log, (QStringList{u"MioJob   : AUTISTA"_s, u"Jobrapido: AUTISTA"_s,
                                           u"Jobonline: AUTISTA"_s, u"Infojobs : AUTISTA"_s}));
    EXPECT_EQ(w.controls.logText, u"Infojobs : AUTISTA"_s);
    for (int site = 0; site < kSiteCount; ++site)
        EXPECT_EQ(w.logic.lastListings()[site], u"AUTISTA"_s);
    EXPECT_EQ(w.journal[7], "play /opt/quintavia/3.wav");
}

TEST_F(ListingWatch, OnlyATickedSoundBoxPlays) {
    int round = 0;
    for (const int value : {kUnticked, kGreyed, kTicked}) {
        w.journal.clear();
        w.controls.checks[1] = value;
        Complete(2, Page(2, u"Titolo "_s + QString::number(++round)));
        const bool played = w.journal.size() == 2 && w.journal[1] == "play /opt/quintavia/2.wav";
        EXPECT_EQ(played, value == kTicked) << value;
        EXPECT_EQ(w.controls.log.size(), round);  // logged whatever the box says
    }
}

TEST_F(ListingWatch, TitlesAreComparedInUpperCase) {
    Complete(0, Page(0, u"Operaio Specializzato"_s));
    Complete(0, Page(0, u"OPERAIO specializzato"_s));
    EXPECT_EQ(w.controls.log, QStringList{u"MioJob   : OPERAIO SPECIALIZZATO"_s});

    // A title changing back and forth is logged at every change.
    Complete(0, Page(0, u"Cuoco"_s));
    Complete(0, Page(0, u"Operaio specializzato"_s));
    Complete(0, Page(0, u"Cuoco"_s));
    EXPECT_EQ(w.controls.log,
              (QStringList{u"MioJob   : OPERAIO SPECIALIZZATO"_s, u"MioJob   : CUOCO"_s,
                           u"MioJob   : OPERAIO SPECIALIZZATO"_s, u"MioJob   : CUOCO"_s}));
}

TEST_F(ListingWatch, EmptyTitleIsNeitherLoggedNorStored) {
    w.controls.checks[1] = kTicked;
    Complete(1, Page(1, u"Magazziniere"_s));
    w.journal.clear();
    for (const QString& empty : {u""_s, u"    "_s}) {
        EXPECT_TRUE(Complete(1, Page(1, empty)));
        EXPECT_TRUE(w.journal.empty());
        EXPECT_EQ(w.logic.lastListings()[1], u"MAGAZZINIERE"_s);
    }
    // Marker absent, and the first ">" from position 10 followed by "<" at once.
    EXPECT_TRUE(Complete(1, u"<html><body></body></html>"_s));
    EXPECT_TRUE(w.journal.empty());
}

TEST_F(ListingWatch, AFailingStepEndsTheHandlingAndChangesNothing) {
    w.controls.checks[0] = kTicked;  // Check1: the handling would go on to the scroll restore
    w.controls.checks[1] = kTicked;
    Complete(1, Page(1, u"Magazziniere"_s));
    w.journal.clear();

    w.panes[1].hasDocument = false;
    EXPECT_FALSE(w.logic.onDownloadComplete(1));
    w.panes[1].hasDocument = true;
    w.panes[1].doc.html.reset();  // a document without markup
    EXPECT_FALSE(w.logic.onDownloadComplete(1));
    EXPECT_FALSE(Complete(1, u"<div><span class=\"title\" Cuoco, without any tag end"_s));
    EXPECT_FALSE(Complete(1, u"<div><span class=\"title\">Cuoco, without any tag start"_s));
    EXPECT_FALSE(w.logic.onDownloadComplete(4));
    EXPECT_FALSE(w.logic.onDownloadComplete(-1));

    EXPECT_TRUE(w.journal.empty());
    EXPECT_EQ(w.controls.log.size(), 1);
    EXPECT_EQ(w.logic.lastListings()[1], u"MAGAZZINIERE"_s);
    // The next event is handled afresh.
    EXPECT_TRUE(Complete(1, Page(1, u"Cuoco"_s)));
    EXPECT_EQ(w.controls.log.back(), u"Jobrapido: CUOCO"_s);
}

TEST_F(ListingWatch, ATitleWhoseEntryCannotBeAddedCountsAsSeen) {
    w.controls.checks[1] = kTicked;
    w.controls.failAppendLog = true;
    EXPECT_FALSE(Complete(0, Page(0, u"Cuoco"_s)));
    EXPECT_EQ(w.logic.lastListings()[0], u"CUOCO"_s);
    EXPECT_TRUE(w.journal.empty());  // no sound
    EXPECT_TRUE(w.controls.logText.isEmpty());

    w.controls.failAppendLog = false;
    EXPECT_TRUE(Complete(0, Page(0, u"Cuoco"_s)));
    EXPECT_TRUE(w.controls.log.isEmpty());
}

TEST_F(ListingWatch, EachPaneKeepsItsOwnLastTitle) {
    Complete(0, Page(0, u"Cuoco"_s));
    Complete(1, Page(1, u"Cuoco"_s));
    Complete(0, Page(0, u"Cuoco"_s));
    EXPECT_EQ(w.controls.log, (QStringList{u"MioJob   : CUOCO"_s, u"Jobrapido: CUOCO"_s}));
    EXPECT_TRUE(w.logic.lastListings()[2].isEmpty());
}

}  // namespace
}  // namespace quintavia::testing
