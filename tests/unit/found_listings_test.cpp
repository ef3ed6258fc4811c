#include <gtest/gtest.h>

#include "core/listings/found_list.h"
#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

FoundListing Listing(const QString& title, const QString& site = u"MioJob"_s,
                     const QString& link = {}, bool filtered = false) {
    return {.when = QDateTime(QDate(2024, 5, 6), QTime(9, 30)),
            .siteId = {},
            .site = site,
            .title = title,
            .link = QUrl(link),
            .page = QUrl(u"https://www.miojob.it/lavoro/veneto"_s),
            .filtered = filtered};
}

QStringList Titles(const FoundList& list, const QList<qsizetype>& rows) {
    QStringList titles;
    for (qsizetype row : rows) titles << list.at(row).title;
    return titles;
}

QStringList Titles(const FoundList& list) {
    QList<qsizetype> rows;
    for (qsizetype row = 0; row < list.size(); ++row) rows << row;
    return Titles(list, rows);
}

TEST(FoundList, NewestFirstTheHistoryBehindThisRunAndTheOldestDropped) {
    FoundList list;
    list.add({Listing(u"C"_s), Listing(u"D"_s)}, {true, false});
    list.load({Listing(u"A"_s), Listing(u"B"_s)});
    EXPECT_EQ(Titles(list), (QStringList{u"D"_s, u"C"_s, u"B"_s, u"A"_s}));
    // Loaded again: in place of the first load, this run's rows untouched.
    list.load({Listing(u"Z"_s)});
    EXPECT_EQ(Titles(list), (QStringList{u"D"_s, u"C"_s, u"Z"_s}));
    EXPECT_TRUE(list.unopened(1));
    EXPECT_FALSE(list.unopened(2));

    QList<FoundListing> many;
    for (qsizetype i = 0; i < FoundList::kKept - 1; ++i) many << Listing(QString::number(i));
    list.add(many, QList<bool>(many.size(), true));
    ASSERT_EQ(list.size(), FoundList::kKept);
    EXPECT_EQ(list.at(0).title, QString::number(FoundList::kKept - 2));
    // Z and C went, C among those not yet opened.
    EXPECT_EQ(list.at(list.size() - 1).title, u"D"_s);
    EXPECT_EQ(list.unopenedCount(), FoundList::kKept - 1);
    list.add({Listing(u"E"_s), Listing(u"F"_s)}, {false, false});
    EXPECT_EQ(list.at(list.size() - 1).title, u"1"_s);
    EXPECT_EQ(list.unopenedCount(), FoundList::kKept - 2);
    // A full list has no room left for the history.
    list.load({Listing(u"Y"_s)});
    EXPECT_EQ(list.size(), FoundList::kKept);
    EXPECT_EQ(list.at(list.size() - 1).title, u"1"_s);
}

TEST(FoundList, TheQueryFindsEachOfItsWordsInTheTitleSiteCompanyOrPlace) {
    FoundList list;
    FoundListing withDetails = Listing(u"Magazziniere CARRELLISTA"_s, u"Jobrapido"_s);
    withDetails.company = u"Acme Logistica"_s;
    withDetails.place = u"Milano"_s;
    list.add({withDetails, Listing(u"Caffè: barista part-time"_s),
              Listing(u"Cuoco capo partita"_s, u"InfoJobs"_s, {}, true), Listing(u"=SOMMA(A1)"_s)},
             {});
    struct Case {
        const char* what;
        QString query;
        bool withFiltered;
        QStringList expected;
    };
    const QStringList all{u"=SOMMA(A1)"_s, u"Caffè: barista part-time"_s,
                          u"Magazziniere CARRELLISTA"_s};
    const Case cases[] = {
        {"nothing typed", u""_s, false, all},
        {"blanks and punctuation alone", u" ,; "_s, false, all},
        {"the filtered ones as well",
         u""_s,
         true,
         {all[0], u"Cuoco capo partita"_s, all[1], all[2]}},
        {"part of a word", u"magaz"_s, false, {all[2]}},
        {"case and accents aside", u"CAFFE"_s, false, {all[1]}},
        {"punctuation aside", u"part time"_s, false, {all[1]}},
        {"every word, in any order", u"carrellista magazz"_s, false, {all[2]}},
        {"one word missing", u"barista cuoco"_s, false, {}},
        {"the site's name", u"jobrap"_s, false, {all[2]}},
        {"a filtered one hidden", u"cuoco"_s, false, {}},
        {"a filtered one asked for", u"infojobs"_s, true, {u"Cuoco capo partita"_s}},
        {"a formula's letters", u"=somma"_s, false, {all[0]}},
        {"not across the title and the site", u"carrellistajobrapido"_s, false, {}},
        {"the company", u"acme logist"_s, false, {all[2]}},
        {"the place and a word of the title", u"milano carrell"_s, false, {all[2]}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Titles(list, list.shown(c.query, c.withFiltered)), c.expected) << c.what;
}

TEST(FoundList, OpeningGivesOnlyAWebAddressAndCountsTheRowAsOpened) {
    struct Case {
        const char* what;
        QString link;
        QString page;
        std::optional<QUrl> expected;
    };
    const Case cases[] = {
        {"its own link", u"https://www.miojob.it/annuncio/1"_s, u"https://www.miojob.it/"_s,
         QUrl(u"https://www.miojob.it/annuncio/1"_s)},
        {"plain http", u"http://example.it/a"_s, u""_s, QUrl(u"http://example.it/a"_s)},
        {"no link: the page", u""_s, u"https://www.miojob.it/lavoro"_s,
         QUrl(u"https://www.miojob.it/lavoro"_s)},
        {"a script", u"javascript:alert(1)"_s, u"https://www.miojob.it/"_s, std::nullopt},
        {"a file", u"file:///etc/passwd"_s, u"https://www.miojob.it/"_s, std::nullopt},
        {"no host", u"https:///a"_s, u""_s, std::nullopt},
        {"neither", u""_s, u""_s, std::nullopt},
    };
    for (const Case& c : cases) {
        FoundListing listing = Listing(u"Cuoco"_s, u"MioJob"_s, c.link);
        listing.page = QUrl(c.page);
        FoundList list;
        list.add({listing}, {true});
        ASSERT_EQ(list.unopenedCount(), 1) << c.what;
        EXPECT_EQ(list.open(0), c.expected) << c.what;
        EXPECT_FALSE(list.unopened(0)) << c.what;
        EXPECT_EQ(list.unopenedCount(), 0) << c.what;
    }
}

TEST(FoundList, OnlyThisRunsAnnouncedRowsWaitToBeOpened) {
    const QString link = u"https://www.infojobs.it/offerta/7"_s;
    FoundList list;
    list.load({Listing(u"Ieri"_s, u"InfoJobs"_s, link)});
    list.add({Listing(u"Annunciato"_s, u"InfoJobs"_s, link), Listing(u"Filtrato"_s),
              Listing(u"Altro"_s, u"Jobonline"_s, u"https://www.jobonline.it/7"_s)},
             {true, false, true});
    EXPECT_EQ(list.unopenedCount(), 2);
    EXPECT_EQ(FoundListingsTitle(list.unopenedCount()), u"Annunci trovati (2 da aprire)"_s);

    // From its notification: every row of that link, the history's one too.
    list.openedElsewhere(link);
    EXPECT_EQ(list.unopenedCount(), 1);
    list.openedElsewhere(link);
    list.openedElsewhere(QUrl());
    EXPECT_EQ(list.unopenedCount(), 1);
    EXPECT_TRUE(list.unopened(0));
    // A row opened twice counts once.
    list.open(0);
    list.open(0);
    EXPECT_EQ(list.unopenedCount(), 0);
}

TEST(FoundList, TheTitleCountsWhatIsLeftToOpen) {
    const std::pair<int, QString> cases[] = {
        {0, u"Annunci trovati"_s},
        {-1, u"Annunci trovati"_s},
        {1, u"Annunci trovati (1 da aprire)"_s},
        {12, u"Annunci trovati (12 da aprire)"_s},
    };
    for (const auto& [unopened, title] : cases) EXPECT_EQ(FoundListingsTitle(unopened), title);
}

// What waited in an earlier run waits again once the history is loaded, by address; then
// "Segna tutti come aperti" leaves nothing waiting.
TEST(FoundList, WhatWaitedInAnEarlierRunWaitsAgainUntilAllAreMarkedOpened) {
    FoundList earlier;
    earlier.add({Listing(u"A"_s, u"MioJob"_s, u"https://www.miojob.it/1"_s), Listing(u"B"_s),
                 Listing(u"C"_s, u"MioJob"_s, u"https://www.miojob.it/a b"_s)},
                {true, true, false});
    earlier.open(1);  // C, the newest, was not announced; B is opened
    // B has no link of its own and was opened: only A is left, by its own link.
    ASSERT_EQ(earlier.unopenedAddresses(), QStringList{u"https://www.miojob.it/1"_s});

    FoundList later;
    later.add({Listing(u"D"_s, u"MioJob"_s, u"https://www.miojob.it/1"_s)}, {false});
    later.load({Listing(u"A"_s, u"MioJob"_s, u"https://www.miojob.it/1"_s), Listing(u"B"_s),
                Listing(u"C"_s, u"MioJob"_s, u"https://www.miojob.it/a b"_s)});
    later.markUnopened({u"https://www.miojob.it/1"_s, u"https://www.miojob.it/a%20b"_s,
                        u"https://www.miojob.it/gone"_s});
    // Only the history's rows: D, found in this run, was not announced and stays as it is.
    struct Row {
        QString title;
        bool unopened;
    };
    const Row rows[] = {{u"D"_s, false}, {u"C"_s, true}, {u"B"_s, false}, {u"A"_s, true}};
    for (qsizetype i = 0; i < later.size(); ++i) {
        EXPECT_EQ(later.at(i).title, rows[i].title) << i;
        EXPECT_EQ(later.unopened(i), rows[i].unopened) << i;
    }
    EXPECT_EQ(later.unopenedCount(), 2);
    // Marked twice, counted once.
    later.markUnopened({u"https://www.miojob.it/1"_s});
    EXPECT_EQ(later.unopenedCount(), 2);

    later.openAll();
    EXPECT_EQ(later.unopenedCount(), 0);
    EXPECT_TRUE(later.unopenedAddresses().isEmpty());
    for (qsizetype i = 0; i < later.size(); ++i) EXPECT_FALSE(later.unopened(i)) << i;
}

}  // namespace
}  // namespace quintavia
