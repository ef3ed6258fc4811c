#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>

#include "sites_file_sites.h"
#include "standard_error_file.h"

using namespace Qt::StringLiterals;

namespace quintavia::e2e {
namespace {

// One card of a board: its title, what the card tells, and the id that stays.
struct Card {
    QString title;
    QString company;
    QString place;
    int id;
};

// The boards' pages as they are written in 2026, with what changes at every load: LinkedIn's
// per-response refId and per-card trackingId and position, Indeed's click tokens (and a
// sponsored card whose link has no job id), a board of the user's whose links carry a random
// trk, and one whose links are new whole at every load.
QByteArray LinkedInPage(const QList<Card>& cards, int load) {
    QByteArray page = "<!DOCTYPE html><html><body><ul class=\"jobs-search__results-list\">\n";
    for (qsizetype i = 0; i < cards.size(); ++i) {
        const Card& c = cards[i];
        const QByteArray id = QByteArray::number(c.id);
        const QByteArray token = QByteArray::number(load * 1000 + i);
        page +=
            "<li><div class=\"base-card base-search-card job-search-card\" "
            "data-entity-urn=\"urn:li:jobPosting:" +
            id + "\" data-tracking-id=\"" + token +
            "\"><a class=\"base-card__full-link\" href=\"https://it.linkedin.com/jobs/view/"
            "annuncio-" +
            id + "?position=" + QByteArray::number(i + 1) + "&amp;pageNum=0&amp;refId=r" +
            QByteArray::number(load) + "&amp;trackingId=t" + token + "\"><span class=\"sr-only\">" +
            c.title.toUtf8() +
            "</span></a><div class=\"base-search-card__info\"><h3 "
            "class=\"base-search-card__title\">" +
            c.title.toUtf8() +
            "</h3><h4 class=\"base-search-card__subtitle\"><a class=\"hidden-nested-link\">" +
            c.company.toUtf8() +
            "</a></h4><div class=\"base-search-card__metadata\"><span "
            "class=\"job-search-card__location\">" +
            c.place.toUtf8() +
            "</span><time class=\"job-search-card__listdate\" datetime=\"2026-12-07\">"
            "1 giorno fa</time></div></div></div></li>\n";
    }
    return page + "</ul></body></html>\n";
}

QByteArray IndeedPage(const QList<Card>& cards, int load) {
    QByteArray page = "<!DOCTYPE html><html><body><div id=\"mosaic-jobResults\">\n";
    for (qsizetype i = 0; i < cards.size(); ++i) {
        const Card& c = cards[i];
        const QByteArray jk = QByteArray::number(c.id, 16).rightJustified(16, '0');
        const QByteArray token = QByteArray::number(load * 1000 + i, 16);
        // The last card is sponsored: its link names an ad, never the job.
        const QByteArray href = i == cards.size() - 1
                                    ? "/pagead/clk?mo=r&amp;ad=-6NYlbfkN0" + token
                                    : "/rc/clk?jk=" + jk + "&amp;bb=" + token + "&amp;xkcb=SoA" +
                                          token + "&amp;fccid=f" + token + "&amp;vjs=3";
        page +=
            "<div class=\"job_seen_beacon\"><table><tbody><tr><td class=\"resultContent\">"
            "<h2 class=\"jobTitle\"><a class=\"jcs-JobTitle\" data-jk=\"" +
            jk + "\" href=\"" + href + "\"><span title=\"" + c.title.toUtf8() + "\">" +
            c.title.toUtf8() +
            "</span></a></h2><div class=\"company_location\"><span "
            "data-testid=\"company-name\">" +
            c.company.toUtf8() + "</span><div data-testid=\"text-location\">" + c.place.toUtf8() +
            "</div></div></td></tr></tbody></table></div>\n";
    }
    return page + "</div></body></html>\n";
}

QByteArray BoardPage(const QList<Card>& cards, const std::function<QByteArray(int)>& query) {
    QByteArray page = "<!DOCTYPE html><html><body>\n";
    for (qsizetype i = 0; i < cards.size(); ++i)
        page += "<div class=\"annuncio\"><h2>" + cards[i].title.toUtf8() +
                "</h2><a class=\"dettagli\" href=\"/offerta/" + query(static_cast<int>(i)) +
                "\">Dettagli</a></div>\n";
    return page + "</body></html>\n";
}

class ListingKeysE2e : public SitesFileTest {
  protected:
    void SetUp() override {
        SitesFileTest::SetUp();
        const SiteRule& linkedin = *BuiltInCatalogue().find(u"linkedin"_s);
        const SiteRule& indeed = *BuiltInCatalogue().find(u"indeed"_s);
        // The fixture server answers plain http alone: the presets' searches, on their hosts.
        const auto plain = [](QString address) { return address.replace(0, 8, u"http://"_s); };
        const QString rules =
            u"[linkedin]\nindirizzo = %1\n[indeed]\nindirizzo = %2\n"
            u"[bacheca-trk]\nnome = Bacheca Trk\nindirizzo = http://www.bachecatrk.example/?r="
            u"{regione_slug}\ndominio = bachecatrk.example\nselettore = .annuncio h2\n"
            u"selettore_link = a.dettagli\n"
            u"[bacheca-caso]\nnome = Bacheca a Caso\nindirizzo = http://www.bachecacaso.example/"
            u"?r={regione_slug}\ndominio = bachecacaso.example\nselettore = .annuncio h2\n"
            u"selettore_link = a.dettagli\n"_s.arg(plain(linkedin.search), plain(indeed.search));
        ASSERT_TRUE(WriteSitesFile(rules));
        ASSERT_TRUE(Harness::instance().store().write({{u"Siti"_s, u"0"_s, u"linkedin"_s},
                                                       {u"Siti"_s, u"1"_s, u"indeed"_s},
                                                       {u"Siti"_s, u"2"_s, u"bacheca-trk"_s},
                                                       {u"Siti"_s, u"3"_s, u"bacheca-caso"_s}}));
        for (auto& board : cards)
            board = {{u"Cuoco"_s, u"Trattoria Mario"_s, u"Roma"_s, 11},
                     {u"Barista"_s, u"Bar Centrale"_s, u"Latina"_s, 12},
                     {u"Autista patente C"_s, u"Trasporti Rossi"_s, u"Rieti"_s, 13},
                     {u"Commessa"_s, u"Moda Bianchi"_s, u"Frosinone"_s, 14}};
        Harness::instance().server().setHandler([this](const fixtures::Request& request) {
            const int load = ++loads[request.host];
            QByteArray body;
            if (request.host.endsWith("linkedin.com"))
                body = LinkedInPage(cards[0], load);
            else if (request.host.endsWith("indeed.com"))
                body = IndeedPage(cards[1], load);
            else if (request.host == "www.bachecatrk.example")
                body = BoardPage(cards[2], [&](int i) {
                    return QByteArray::number(cards[2][i].id) +
                           "?trk=" + QByteArray::number(load * 7919 + i, 16);
                });
            else if (request.host == "www.bachecacaso.example")
                body = BoardPage(cards[3],
                                 [&](int i) { return QByteArray::number(load * 7919 + i, 16); });
            return fixtures::Response{.body = body};
        });
    }

    [[nodiscard]] bool Refreshed() {
        std::array<int, kPaneCount> before{};
        for (int i = 0; i < kPaneCount; ++i)
            before[static_cast<std::size_t>(i)] = captures->count(i);
        RunCountdownOut(*window);
        return WaitFor([&] {
            for (int i = 0; i < kPaneCount; ++i)
                if (captures->count(i) <= before[static_cast<std::size_t>(i)]) return false;
            return true;
        });
    }

    std::array<QList<Card>, kPaneCount> cards;  // per pane, in page order
    std::map<QByteArray, int> loads;            // per host
};

// Five loads of the same cards under new tokens announce nothing after the first; a sixth with
// one new card announces it alone, with its company and place, written with the job's own
// address. A board whose links are new whole at every load trips the guard once.
TEST_F(ListingKeysE2e, TokensAnnounceNothingOldAndANewCardComesWithItsCompany) {
    StandardErrorFile standardError;
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    for (int load = 2; load <= 5; ++load) ASSERT_TRUE(Refreshed()) << load;
    ASSERT_TRUE(AllSentNotificationsArrived());
    EXPECT_TRUE(Notified().isEmpty());
    EXPECT_TRUE(History().isEmpty());
    EXPECT_EQ(standardError.text().count(u"i link di Bacheca a Caso cambiano a ogni caricamento"_s),
              1)
        << standardError.text().toStdString();

    // Titles of their own: the same job on two boards is announced once.
    const QStringList titles = {u"Magazziniere"_s, u"Carrellista"_s, u"Operaio"_s, u"Saldatore"_s};
    for (int pane = 0; pane < kPaneCount; ++pane)
        cards[pane].prepend({titles[pane], u"Acme Logistica"_s, u"Milano"_s, 77});
    ASSERT_TRUE(Refreshed());
    ASSERT_TRUE(AllSentNotificationsArrived());
    QMap<QString, QString> bodies;
    for (const NotificationStandIn::Call& call : Notified()) bodies[call.summary] = call.body;
    // The board whose links never stay knows the new card by its title and announces it too.
    EXPECT_EQ(bodies,
              (QMap<QString, QString>{
                  {u"Nuovo annuncio su LinkedIn"_s, u"Magazziniere · Acme Logistica, Milano"_s},
                  {u"Nuovo annuncio su Indeed"_s, u"Carrellista · Acme Logistica, Milano"_s},
                  {u"Nuovo annuncio su Bacheca Trk"_s, u"Operaio"_s},
                  {u"Nuovo annuncio su Bacheca a Caso"_s, u"Saldatore"_s}}));
    const QList<QStringList> history = History();
    ASSERT_EQ(history.size(), 4);
    QMap<QString, QStringList> bySite;
    for (const QStringList& row : history) bySite[row.value(9)] = row;
    EXPECT_EQ(bySite[u"linkedin"_s].mid(1), (QStringList{u"LinkedIn"_s,
                                                         u"Magazziniere"_s,
                                                         u"https://www.linkedin.com/jobs/view/77"_s,
                                                         {},
                                                         {},
                                                         u"Acme Logistica"_s,
                                                         u"Milano"_s,
                                                         u"2026-12-07"_s,
                                                         u"linkedin"_s,
                                                         u"77"_s}));
    EXPECT_EQ(bySite[u"indeed"_s].value(3), u"https://it.indeed.com/viewjob?jk=000000000000004d"_s);
    EXPECT_EQ(bySite[u"indeed"_s].value(6), u"Acme Logistica"_s);
    EXPECT_EQ(bySite[u"bacheca-trk"_s].value(3), u"http://www.bachecatrk.example/offerta/77"_s);
    EXPECT_EQ(bySite[u"bacheca-caso"_s].value(2), u"Saldatore"_s);
    EXPECT_EQ(standardError.text().count(u"cambiano a ogni caricamento"_s), 1);
}

// A memory that the previous version wrote, knowing LinkedIn's cards by their whole tokened
// links, announces nothing at the first capture after the update.
TEST_F(ListingKeysE2e, TheMemoryOfThePreviousVersionAnnouncesNothingSeen) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    window->close();
    captures.reset();
    window.reset();

    // As the previous version kept it: the links of the last load, whole.
    QFile file(ListingMemoryFile::UserPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    QJsonObject kept = root[u"siti"_s].toObject();
    QJsonObject linkedin = kept[u"linkedin"_s].toObject();
    QJsonArray keys;
    for (int i = cards[0].size() - 1; i >= 0; --i)
        keys.append(
            u"https://it.linkedin.com/jobs/view/annuncio-%1?position=%2&pageNum=0"
            u"&refId=r1&trackingId=t%3"_s.arg(cards[0][i].id)
                .arg(i + 1)
                .arg(1000 + i));
    linkedin = QJsonObject{{u"ricerca"_s, linkedin[u"ricerca"_s]}, {u"chiavi"_s, keys}};
    kept[u"linkedin"_s] = linkedin;
    root = QJsonObject{{u"versione"_s, 1}, {u"siti"_s, kept}, {u"annunciati"_s, QJsonArray()}};
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QJsonDocument(root).toJson());
    file.close();

    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    ASSERT_TRUE(AllSentNotificationsArrived());
    EXPECT_TRUE(Notified().isEmpty());
    EXPECT_TRUE(History().isEmpty());
}

// The same title from two boards: two companies are two jobs, both announced; the same company
// is one, announced once, the other written with the first board's name.
TEST_F(ListingKeysE2e, TheSameTitleIsOneJobOnlyForTheSameCompany) {
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    cards[0].prepend({u"Pizzaiolo"_s, u"Pizzeria Napoli"_s, u"Roma"_s, 90});
    cards[0].prepend({u"Cameriere di sala"_s, u"Hotel Roma"_s, u"Roma"_s, 91});
    cards[1].prepend({u"PIZZAIOLO"_s, u"Pizzeria Napoli"_s, u"Roma"_s, 92});
    cards[1].prepend({u"Cameriere di sala"_s, u"Ristorante Milano"_s, u"Roma"_s, 93});
    ASSERT_TRUE(Refreshed());
    ASSERT_TRUE(AllSentNotificationsArrived());
    QStringList announced;
    for (const NotificationStandIn::Call& call : Notified()) announced += call.body.split(u'\n');
    EXPECT_EQ(announced.count(u"Cameriere di sala · Hotel Roma, Roma"_s), 1);
    EXPECT_EQ(announced.count(u"Cameriere di sala · Ristorante Milano, Roma"_s), 1);
    EXPECT_EQ(announced.filter(u"pizzaiolo"_s, Qt::CaseInsensitive).size(), 1)
        << announced.join(u" | "_s).toStdString();

    for (const QString& title : {u"Cameriere di sala"_s, u"Pizzaiolo"_s}) {
        QList<QStringList> rows;
        for (const QStringList& row : History())
            if (row.value(2).compare(title, Qt::CaseInsensitive) == 0) rows.append(row);
        ASSERT_EQ(rows.size(), 2) << title.toStdString();
        QStringList alsoOn = {rows[0].value(5), rows[1].value(5)};
        alsoOn.sort();
        if (title == u"Pizzaiolo"_s) {
            const QString first = rows[0].value(5).isEmpty() ? rows[0].value(1) : rows[1].value(1);
            EXPECT_EQ(alsoOn, (QStringList{{}, first}));
        } else {
            EXPECT_EQ(alsoOn, (QStringList{{}, {}}));
        }
    }
}

}  // namespace
}  // namespace quintavia::e2e
