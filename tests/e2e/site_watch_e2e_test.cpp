#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTextDocumentFragment>

#include "core/layout/panes.h"
#include "kept_sites.h"
#include "notifying_sites.h"
#include "shell/window/settings_dialog.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// A page of the site in a layout that no longer carries its listing marker.
const QByteArray kNewLayout =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Offerte</title></head>"
    "<body><h1>Le offerte di lavoro</h1><ul><li>Cuoco</li><li>Barista</li></ul></body></html>\n";

const QByteArray kElsewhere =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Altro</title></head>"
    "<body><h1>Un altro sito</h1></body></html>\n";

class SiteWatchInTheWindow : public NotifyingSitesTest {
  protected:
    void SetUp() override {
        NotifyingSitesTest::SetUp();
        // Another domain answers too, for the sites that move there.
        Harness::instance().server().setHandler(
            [handler = sites.handler()](const fixtures::Request& request) {
                if (request.host == "altrosito.example")
                    return fixtures::Response{.body = kElsewhere};
                return handler(request);
            });
    }

    // One more refresh, and every pane's capture of it: by "Aggiorna", which reloads a pane
    // the countdown holds back because its site asked to slow down.
    void Refresh(int captured) {
        window->findChild<QPushButton*>(u"refreshButton"_s)->click();
        ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(captured); }));
    }

    // Whether it was watched before or not.
    QList<NotificationStandIn::Call> Blind(int site) const {
        QList<NotificationStandIn::Call> calls;
        const QString& name = DefaultRules()[site].name;
        for (const auto& call : Notified())
            if (call.summary == BlindNotice(name, {}).summary ||
                call.summary == BlindNotice(name, {}, {}, false).summary)
                calls << call;
        return calls;
    }
    QList<NotificationStandIn::Call> WatchedAgain(int site) const {
        QList<NotificationStandIn::Call> calls;
        for (const auto& call : Notified())
            if (call.summary == WatchedAgainNotice(DefaultRules()[site].name).summary)
                calls << call;
        return calls;
    }

    // As the tooltip shows it.
    QString LabelTip(int site) const {
        return QTextDocumentFragment::fromHtml(window->paneGrid()->siteLabel(site)->toolTip())
            .toPlainText();
    }
    QString TrayTip() const { return window->trayIcon()->icon()->toolTip(); }
};

TEST_F(SiteWatchInTheWindow, ASiteWithoutItsMarkerIsReportedOnceAfterThreeCapturesUntilItReturns) {
    sites.answers[0] = fixtures::Response{.body = kNewLayout};
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    Refresh(2);
    ASSERT_TRUE(AllSentNotificationsArrived());
    EXPECT_EQ(Blind(0).size(), 0);
    // Never seen working: still being checked.
    EXPECT_TRUE(LabelTip(0).startsWith(u"In verifica"_s)) << LabelTip(0).toStdString();
    EXPECT_TRUE(TrayTip().contains(u"\nMioJob: in verifica\n"_s)) << TrayTip().toStdString();

    // The third capture in a row without the marker: a site never watched is not "no longer"
    // watched.
    Refresh(3);
    ASSERT_TRUE(WaitFor([&] { return Blind(0).size() == 1; }));
    EXPECT_EQ(Blind(0).first().summary, u"MioJob non è sorvegliato"_s);
    const QString state =
        u"la pagina non contiene più gli annunci; scegli un altro sito in Impostazioni"_s;
    EXPECT_EQ(Blind(0).first().body, u"Quintavia non vede gli annunci: "_s + state + u'.');
    EXPECT_EQ(LabelTip(0), u"Non sorvegliato: "_s + state);
    EXPECT_TRUE(TrayTip().contains(u"\nMioJob: non sorvegliato, "_s + state +
                                   u"\nJobrapido: sorvegliato\n"_s))
        << TrayTip().toStdString();

    // The fourth says nothing new.
    Refresh(4);
    ASSERT_TRUE(AllSentNotificationsArrived());
    EXPECT_EQ(Blind(0).size(), 1);
    EXPECT_EQ(WatchedAgain(0).size(), 0);
    EXPECT_EQ(LabelTip(0), u"Non sorvegliato: "_s + state);
    EXPECT_TRUE(standIn->closed().isEmpty());

    // The marker is back: watched again, told briefly, its blind notice taken back, and its
    // title logged as ever.
    sites.answers[0].reset();
    Refresh(5);
    ASSERT_TRUE(WaitFor([&] { return WatchedAgain(0).size() == 1; }));
    ASSERT_TRUE(WaitFor([&] { return standIn->closed() == QList<uint>{Blind(0).first().id}; }));
    EXPECT_EQ(WatchedAgain(0).first().body, u"Quintavia vede di nuovo gli annunci."_s);
    EXPECT_GT(WatchedAgain(0).first().expireTimeout, 0);
    EXPECT_EQ(LabelTip(0), u""_s);
    EXPECT_TRUE(TrayTip().contains(u"\nMioJob: sorvegliato\n"_s)) << TrayTip().toStdString();
    EXPECT_EQ(LogEntries(*window).mid(3), QStringList{u"MioJob   : MAGAZZINIERE"_s});

    // The other sites were watched throughout.
    for (int site = 1; site < kPaneCount; ++site) {
        EXPECT_EQ(Blind(site).size(), 0) << site;
        EXPECT_EQ(LabelTip(site), u""_s) << site;
    }
}

TEST_F(SiteWatchInTheWindow, EachKindOfFailureGivesItsOwnReason) {
    // As the engine reports them: an HTTP error status fails the load, with the site's body
    // on show or, for an empty body, the engine's error page; a redirect elsewhere succeeds.
    sites.answers[0] = fixtures::Response{.refuse = true};
    sites.answers[1] = fixtures::Response{
        .status = 429, .body = "<html><body><h1>Troppe richieste</h1></body></html>"};
    sites.answers[2] =
        fixtures::Response{.status = 302, .headers = {{"Location", "http://altrosito.example/x"}}};
    sites.answers[3] = fixtures::Response{.status = 403};
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    EXPECT_FALSE(captures->last(0).loadSucceeded);
    EXPECT_EQ(captures->last(0).httpStatus, 0);
    EXPECT_FALSE(captures->last(1).loadSucceeded);
    EXPECT_EQ(captures->last(1).httpStatus, 429);
    ASSERT_TRUE(captures->last(1).markup);
    EXPECT_TRUE(captures->last(1).markup->contains(u"Troppe richieste"_s));
    EXPECT_TRUE(captures->last(2).loadSucceeded);
    EXPECT_EQ(captures->last(2).url, QUrl(u"http://altrosito.example/x"_s));
    EXPECT_FALSE(captures->last(3).loadSucceeded);
    EXPECT_EQ(captures->last(3).httpStatus, 403);

    Refresh(2);
    Refresh(3);
    // InfoJobs is known to have closed: that is what its pane says, whatever it shows.
    const QString reasons[kPaneCount] = {u"pagina di errore del browser"_s,
                                         u"il sito risponde con errore 429"_s,
                                         u"la pagina è su un altro sito (altrosito.example)"_s,
                                         u"InfoJobs Italia ha chiuso il 31 dicembre 2025"_s};
    // Each says what to do; the default Jobrapido names the preset that reads its new cards.
    const QString advice = u"; scegli un altro sito in Impostazioni"_s;
    const QString advices[kPaneCount] = {
        u"; controlla la connessione a internet; oppure scegli un altro sito in Impostazioni"_s,
        u"; scegli Jobrapido (nuovo) in Impostazioni"_s, advice, advice};
    ASSERT_TRUE(WaitFor([&] {
        for (int site = 0; site < kPaneCount; ++site)
            if (Blind(site).size() != 1) return false;
        return true;
    }));
    for (int site = 0; site < kPaneCount; ++site) {
        const auto i = static_cast<std::size_t>(site);
        EXPECT_EQ(Blind(site).first().body,
                  u"Quintavia non vede gli annunci: "_s + reasons[i] + advices[i] + u'.')
            << site;
        // The 429 also holds its site back, which the line after says.
        EXPECT_EQ(LabelTip(site).section(u'\n', 0, 0),
                  u"Non sorvegliato: "_s + reasons[i] + advices[i])
            << site;
    }
    // Nothing was logged or stored for them.
    EXPECT_EQ(LogEntries(*window), QStringList{});
    EXPECT_EQ(support::LastTitles(window->controller().kept()),
              (std::array<QString, kPaneCount>{}));
}

// A page that asks for consent, or for a proof that the visitor is a person, says so, with
// what to do about it; a user following links by hand in a pane never makes its site blind.
TEST_F(SiteWatchInTheWindow, WallsGiveTheirOwnReasonAndPagesVisitedByHandCountForNothing) {
    sites.answers[0] = fixtures::Response{
        .body =
            "<html><head><title>MioJob</title></head><body><div id=\"didomi-notice\">"
            "Accetta i cookie o abbonati</div></body></html>"};
    sites.answers[1] =
        fixtures::Response{.status = 200,
                           .body =
                               "<html><head><title>Just a moment...</title></head><body>"
                               "<div class=\"cf-turnstile\"></div></body></html>"};
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    // Pane 2's user goes off to another site three times, by hand.
    for (int n = 1; n <= 3; ++n) {
        const int before = captures->count(2);
        window->pane(2)->load(QUrl(u"http://altrosito.example/%1"_s.arg(n)));
        ASSERT_TRUE(WaitFor([&] { return captures->count(2) > before; }));
    }
    Refresh(2);
    Refresh(3);
    ASSERT_TRUE(WaitFor([&] { return Blind(0).size() == 1 && Blind(1).size() == 1; }));
    EXPECT_EQ(Blind(0).first().body, BlindNotice(u"MioJob"_s, WallReason(WallKind::Consent),
                                                 BlindAdvice(WallKind::Consent), false)
                                         .body);
    const QString botAdvice = BlindAdvice(WallKind::BotCheck, u"Jobrapido (nuovo)"_s);
    EXPECT_EQ(Blind(1).first().body,
              BlindNotice(u"Jobrapido"_s, WallReason(WallKind::BotCheck), botAdvice, false).body);
    EXPECT_TRUE(Blind(0).first().body.contains(u"accetta una volta nel riquadro"_s));
    // A bot check also holds its site back, which the line after says.
    EXPECT_EQ(LabelTip(1).section(u'\n', 0, 0),
              u"Non sorvegliato: "_s + WallReason(WallKind::BotCheck) + u"; "_s + botAdvice);
    EXPECT_TRUE(LabelTip(1).section(u'\n', 1).endsWith(u"il sito chiede di rallentare"_s))
        << LabelTip(1).toStdString();
    ASSERT_TRUE(AllSentNotificationsArrived());
    EXPECT_EQ(Blind(2).size(), 0);
    EXPECT_EQ(LabelTip(2), u""_s);
}

// On a first start against a closed site, a consent wall that holds MioJob's generic marker
// and a bot check, each is said at its first load with what to do; until then every site is
// being checked. A click on a notice opens the settings at its pane, and a site replaced there
// has its notice taken back.
TEST_F(SiteWatchInTheWindow, WhatCannotPassBySelfIsSaidAtTheFirstLoadAndLeadsToTheSettings) {
    sites.answers[0] = fixtures::Response{
        .body =
            "<html><head><title>MioJob</title></head><body><div id=\"didomi-notice\" "
            "class=\"clearfix\"><p class=\"clearfix\">Accetta e continua</p></div>"
            "</body></html>"};
    sites.answers[1] =
        fixtures::Response{.body =
                               "<html><head><title>Just a moment...</title></head><body>"
                               "<div class=\"cf-turnstile\"></div></body></html>"};
    sites.answers[3] = fixtures::Response{.refuse = true};
    StandIn();
    Start();
    // Nothing is captured before the event loop runs.
    for (int site = 0; site < kPaneCount; ++site)
        EXPECT_TRUE(TrayTip().contains(u"\n"_s + DefaultRules()[site].name + u": in verifica"_s))
            << TrayTip().toStdString();

    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    ASSERT_TRUE(WaitFor(
        [&] { return Blind(0).size() == 1 && Blind(1).size() == 1 && Blind(3).size() == 1; }));
    const QString otherSite = u"scegli un altro sito in Impostazioni."_s;
    const std::pair<int, QString> ends[] = {
        {0, otherSite}, {1, u"scegli Jobrapido (nuovo) in Impostazioni."_s}, {3, otherSite}};
    for (const auto& [site, end] : ends) {
        EXPECT_EQ(Blind(site).first().summary, DefaultRules()[site].name + u" non è sorvegliato"_s);
        EXPECT_TRUE(Blind(site).first().body.endsWith(end))
            << Blind(site).first().body.toStdString();
        // A bot check also holds its site back: that is the line after.
        EXPECT_TRUE(LabelTip(site).section(u'\n', 0, 0).endsWith(end.chopped(1)))
            << LabelTip(site).toStdString();
    }
    EXPECT_TRUE(Blind(0).first().body.contains(WallReason(WallKind::Consent)));
    EXPECT_TRUE(Blind(1).first().body.contains(WallReason(WallKind::BotCheck)));
    EXPECT_TRUE(Blind(3).first().body.contains(DefaultRules()[3].closedNote));
    EXPECT_TRUE(TrayTip().contains(u"\nJobonline: sorvegliato\n"_s)) << TrayTip().toStdString();

    // A click on InfoJobs' notice: the settings, at its pane.
    standIn->invokeAction(Blind(3).first().id, u"default"_s);
    ASSERT_TRUE(WaitFor([&] { return window->settingsDialog() != nullptr; }));
    SettingsDialog* dialog = window->settingsDialog();
    ASSERT_TRUE(WaitFor([&] { return dialog->focusWidget() == dialog->siteBox(3); }));
    dialog->siteBox(3)->setCurrentIndex(dialog->siteBox(3)->findData(u"jobrapido-2025"_s));
    dialog->accept();
    ASSERT_TRUE(WaitFor([&] { return standIn->closed() == QList<uint>{Blind(3).first().id}; }));
    // The window is described by the sites it shows now, and the new label is read whole.
    EXPECT_EQ(window->accessibleDescription(),
              u"Sorveglia gli annunci di lavoro di MioJob, Jobrapido, Jobonline e Jobrapido "
              u"(nuovo) per una regione"_s);
    const QLineEdit* label = window->paneGrid()->siteLabel(3);
    EXPECT_EQ(label->text(), u"Jobrapido (nuovo)"_s);
    EXPECT_GT(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
}

}  // namespace
}  // namespace quintavia::e2e
