#include <gtest/gtest.h>

#include <QFile>

#include "core/watch/site_healing.h"
#include "notifying_sites.h"
#include "store/listing_memory_file.h"
#include "store/structure_file.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr int kJobrapido = 1;

// Jobrapido's results in a markup its marker does not know: cards of one shape, each with its
// title, company and place, between the page's frame and its pager.
QByteArray NewMarkup(const QStringList& titles) {
    QString cards;
    for (qsizetype i = 0; i < titles.size(); ++i) {
        const QString n = QString::number(titles.size() - i);
        cards += u"<article class=\"job-card\" data-job=\""_s + n +
                 u"\"><h2 class=\"job-card__title\"><a href=\"/annuncio/"_s + n + u"\">"_s +
                 titles[i] + u"</a></h2><p class=\"job-card__company\">Ditta "_s + n +
                 u"</p><p class=\"job-card__place\">Pescara</p></article>\n"_s;
    }
    return (u"<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Offerte</title></head>"
            u"<body><header><nav><a href=\"/\">Home</a><a href=\"/accedi\">Accedi</a>"
            u"<a href=\"/aziende\">Aziende</a></nav></header><main><h1>Offerte di lavoro</h1>"
            u"<section class=\"results\">\n"_s +
            cards +
            u"</section><nav class=\"pager\"><a href=\"/?p=2\">2</a><a href=\"/?p=3\">3</a>"
            u"<a href=\"/?p=4\">4</a></nav></main><footer><a href=\"/privacy\">Privacy</a>"
            u"</footer></body></html>\n"_s)
        .toUtf8();
}

class HealingInTheWindow : public NotifyingSitesTest {
  protected:
    void Refresh(int captured) {
        RunCountdownOut(*window);
        ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(captured); }));
    }
    QList<NotificationStandIn::Call> WithSummary(const QString& summary) const {
        QList<NotificationStandIn::Call> calls;
        for (const auto& call : Notified())
            if (call.summary == summary) calls << call;
        return calls;
    }
};

// Jobrapido's own rule goes blind on a page in a new markup: the third load reads it by
// structure, logs its newest listing, tells once that the site changed and nothing else; the
// next load announces the card added meanwhile, with its link; and the next run knows it.
TEST_F(HealingInTheWindow, ADefaultSiteInANewMarkupIsReadByStructureAndAnnouncesWhatIsAdded) {
    QStringList titles{u"Cuoco di linea"_s, u"Barista serale"_s, u"Autista furgone"_s,
                       u"Commesso banco"_s};
    sites.answers[kJobrapido] = fixtures::Response{.body = NewMarkup(titles)};
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    ASSERT_TRUE(captures->last(kJobrapido).structure);
    EXPECT_EQ(captures->last(kJobrapido).structure->listings.size(), titles.size());
    const qsizetype logged = LogEntries(*window).size();
    Refresh(2);
    Refresh(3);

    const QString changed = ReadByStructureNotice(u"Jobrapido"_s).summary;
    ASSERT_TRUE(WaitFor([&] { return WithSummary(changed).size() == 1; }));
    EXPECT_TRUE(window->controller().readByStructure(u"jobrapido"_s));
    EXPECT_EQ(LogEntries(*window).mid(logged),
              QStringList{DefaultRules()[kJobrapido].logLabel + u": Cuoco di linea"_s});
    ASSERT_TRUE(AllSentNotificationsArrived());
    // Its first reading only learned, and the site never was blind.
    EXPECT_EQ(Notified().size(), 1) << Notified().last().summary.toStdString();
    EXPECT_EQ(WithSummary(BlindNotice(u"Jobrapido"_s, {}).summary).size(), 0);

    titles.prepend(u"Magazziniere notturno"_s);
    sites.answers[kJobrapido] = fixtures::Response{.body = NewMarkup(titles)};
    Refresh(4);
    const QString added = u"Nuovo annuncio su Jobrapido"_s;
    ASSERT_TRUE(WaitFor([&] { return WithSummary(added).size() == 1; }));
    EXPECT_TRUE(WithSummary(added).first().body.startsWith(u"Magazziniere notturno"_s));
    const FoundList& found = window->controller().found();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found.at(0).title, u"Magazziniere notturno"_s);
    EXPECT_EQ(found.at(0).link, QUrl(u"http://it.jobrapido.com/annuncio/5"_s));
    EXPECT_EQ(WithSummary(changed).size(), 1);

    QFile kept(StructureFile::PathBeside(ListingMemoryFile::UserPath()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(kept.readAll().contains("\"per_struttura\": [\n        \"jobrapido\""));
}

}  // namespace
}  // namespace quintavia::e2e
