#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <algorithm>

#include "browser_stand_in.h"
#include "csv_reader.h"
#include "notifying_sites.h"
#include "shell/window/found_listings_window.h"
#include "store/history_file.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;
using Call = NotificationStandIn::Call;

class Notifications : public NotifyingSitesTest {
  protected:
    QAction* NotificationsOption() const {
        return window->findChild<QAction*>(u"notificationsAction"_s);
    }

    // Each notified (summary, body), sorted: the panes finish in any order.
    static QList<std::pair<QString, QString>> Texts(const QList<Call>& calls) {
        QList<std::pair<QString, QString>> texts;
        for (const Call& call : calls) texts.append({call.summary, call.body});
        std::sort(texts.begin(), texts.end());
        return texts;
    }
};

TEST_F(Notifications, EveryNewTitleIsNotifiedWithItsSiteAndTheTitleAsText) {
    // The first pages are learned: nothing in them is news.
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    ASSERT_TRUE(AllSentNotificationsArrived());
    EXPECT_TRUE(Notified().isEmpty());
    // The probe reads titles as the page's markup has them; the body may be read as markup
    // again, so what the log shows is escaped once more.
    sites.titles = {u"Bar & ristorante \"Da Mario\""_s, u"Receptionist d'albergo"_s,
                    u"<Cuoco> capo partita"_s, u"Autista patente C, turno B"_s};
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return Notified().size() >= 4; }));
    EXPECT_EQ(
        Texts(Notified()),
        (QList<std::pair<QString, QString>>{
            {u"Nuovo annuncio su InfoJobs"_s, u"AUTISTA PATENTE C, TURNO B"_s},
            {u"Nuovo annuncio su Jobonline"_s, u"&amp;LT;CUOCO&amp;GT; CAPO PARTITA"_s},
            {u"Nuovo annuncio su Jobrapido"_s, u"RECEPTIONIST D&#39;ALBERGO"_s},
            {u"Nuovo annuncio su MioJob"_s, u"BAR &amp;AMP; RISTORANTE &quot;DA MARIO&quot;"_s},
        }));
    for (const Call& call : Notified()) {
        EXPECT_EQ(call.appName, u"Quintavia"_s);
        EXPECT_EQ(call.replacesId, 0u);
        EXPECT_EQ(call.appIcon, u"it.norvello.Quintavia"_s);
        EXPECT_EQ(call.actions, (QStringList{u"default"_s, u"Apri"_s}));
        EXPECT_EQ(call.hints.value(u"desktop-entry"_s).toString(), u"it.norvello.Quintavia"_s);
        EXPECT_EQ(call.hints.value(u"image-path"_s).toString(), u"it.norvello.Quintavia"_s);
        EXPECT_EQ(call.expireTimeout, -1);
    }

    // Only what is new is notified, once; within a minute of its site's last notification it
    // waits for the minute to pass.
    sites.titles[1] = u"Cameriere ai piani"_s;
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(3); }));
    EXPECT_EQ(LogEntries(*window).size(), 9);
    ASSERT_TRUE(AllSentNotificationsArrived());
    ASSERT_EQ(Notified().size(), 4);
    PassAMinute();
    ASSERT_TRUE(AllSentNotificationsArrived());
    ASSERT_EQ(Notified().size(), 5);
    EXPECT_EQ(Notified().last().summary, u"Nuovo annuncio su Jobrapido"_s);
    EXPECT_EQ(Notified().last().body, u"CAMERIERE AI PIANI"_s);
    EXPECT_EQ(LogEntries(*window).size(), 9);
}

// A desktop that does not say it reads markup gets the text as it is. Its capabilities are
// asked once, and again when another program takes the service over.
TEST_F(Notifications, ABodyIsMarkupOnlyForADesktopThatSaysItReadsMarkup) {
    StandIn(NotificationStandIn::Answers::Always, {u"actions"_s, u"body"_s});
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    sites.titles = {u"Bar & ristorante \"Da Mario\""_s, u"Receptionist d'albergo"_s,
                    u"<Cuoco> capo partita"_s, u"Autista patente C, turno B"_s};
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return Notified().size() >= 4; }));
    EXPECT_EQ(Texts(Notified()),
              (QList<std::pair<QString, QString>>{
                  {u"Nuovo annuncio su InfoJobs"_s, u"AUTISTA PATENTE C, TURNO B"_s},
                  {u"Nuovo annuncio su Jobonline"_s, u"&LT;CUOCO&GT; CAPO PARTITA"_s},
                  {u"Nuovo annuncio su Jobrapido"_s, u"RECEPTIONIST D'ALBERGO"_s},
                  {u"Nuovo annuncio su MioJob"_s, u"BAR &AMP; RISTORANTE \"DA MARIO\""_s},
              }));
    ASSERT_TRUE(AllSentNotificationsArrived());
    EXPECT_EQ(standIn->capabilityQuestions(), 1);

    // The service goes; once the program has heard so, and asked the bus in vain, another
    // one that reads markup comes.
    standIn.reset();
    ASSERT_TRUE(BusRoundTrip());
    ASSERT_TRUE(BusRoundTrip());
    StandIn();
    sites.titles[1] = u"Cameriere d'hotel"_s;
    RunCountdownOut(*window);
    PassAMinute();
    ASSERT_TRUE(WaitFor([&] { return Notified().size() == 1; }));
    EXPECT_EQ(Notified().first().body, u"CAMERIERE D&#39;HOTEL"_s);
    ASSERT_TRUE(AllSentNotificationsArrived());
    EXPECT_EQ(standIn->capabilityQuestions(), 1);
}

TEST_F(Notifications, ClickingANotificationBringsTheMinimizedWindowBack) {
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    // As a site turned blind is told: a click brings the window back.
    window->announcer()->notify(BlindNotice(u"Jobrapido"_s, u"la pagina non si carica"_s));
    ASSERT_TRUE(WaitFor([&] { return Notified().size() == 1; }));
    const uint ours = Notified().first().id;
    window->showMinimized();
    ASSERT_TRUE(WaitFor([&] { return window->isMinimized(); }));
    int activations = 0;
    NoticeAction action = NoticeAction::OpenLink;
    QUrl link(u"https://example.it/"_s);
    QObject::connect(window->announcer(), &Announcer::notificationActivated, window.get(),
                     [&](NoticeAction clicked, const QUrl& itsLink) {
                         ++activations;
                         action = clicked;
                         link = itsLink;
                     });

    // Another program's notification, and another action of ours, leave the window where it
    // is.
    standIn->invokeAction(ours + 1000, u"default"_s);
    standIn->invokeAction(ours, u"altro"_s);
    ASSERT_TRUE(BusRoundTrip());
    EXPECT_EQ(activations, 0);
    EXPECT_TRUE(window->isMinimized());

    standIn->invokeAction(ours, u"default"_s);
    ASSERT_TRUE(WaitFor([&] { return activations == 1; }));
    // What that notice asked a click to do.
    EXPECT_EQ(action, NoticeAction::ShowWindow);
    EXPECT_EQ(link, QUrl());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(WaitFor([&] { return QApplication::activeWindow() == window.get(); }));

    // A notice that opens its listing says so when clicked, with the listing's link, which goes
    // to the browser.
    BrowserStandIn browser;
    QDesktopServices::setUrlHandler(u"https"_s, &browser, "open");
    const QUrl listing(u"https://www.miojob.it/annuncio/42"_s);
    window->announcer()->notify({u"Offerta"_s, u"CUOCO"_s, -1, NoticeAction::OpenLink, listing});
    ASSERT_TRUE(WaitFor([&] { return !standIn->callsWithSummary(u"Offerta"_s).isEmpty(); }));
    standIn->invokeAction(standIn->callsWithSummary(u"Offerta"_s).first().id, u"default"_s);
    ASSERT_TRUE(WaitFor([&] { return activations == 2; }));
    EXPECT_EQ(action, NoticeAction::OpenLink);
    EXPECT_EQ(link, listing);
    EXPECT_TRUE(WaitFor([&] { return browser.opened == QList<QUrl>{listing}; }));
    QDesktopServices::unsetUrlHandler(u"https"_s);

    // One whose listings have no link of their own shows what was found.
    window->announcer()->notify({u"Trovati"_s, u"CUOCO"_s, -1, NoticeAction::ShowFound, {}});
    ASSERT_TRUE(WaitFor([&] { return !standIn->callsWithSummary(u"Trovati"_s).isEmpty(); }));
    standIn->invokeAction(standIn->callsWithSummary(u"Trovati"_s).first().id, u"default"_s);
    ASSERT_TRUE(
        WaitFor([&] { return window->foundWindow() && window->foundWindow()->isVisible(); }));
}

TEST_F(Notifications, NothingIsNotifiedWhileTheOptionIsOffAndTheChoiceIsStored) {
    ASSERT_TRUE(Harness::instance().store().write({{u"Notifiche"_s, u"0"_s, u"0"_s}}));
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    EXPECT_EQ(LogEntries(*window).size(), 4);
    ASSERT_NE(NotificationsOption(), nullptr);
    EXPECT_TRUE(NotificationsOption()->isCheckable());
    EXPECT_FALSE(NotificationsOption()->isChecked());
    ASSERT_TRUE(AllSentNotificationsArrived());
    EXPECT_EQ(Notified().size(), 0);

    // Ticked from the tray's menu: the next new title is notified.
    NotificationsOption()->trigger();
    sites.titles[2] = u"Elettricista industriale"_s;
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return Notified().size() == 1; }));
    EXPECT_EQ(Notified().first().body, u"ELETTRICISTA INDUSTRIALE"_s);

    // Closing the window stores the choice with the other options.
    window->close();
    EXPECT_EQ(Harness::instance().stored(u"Notifiche"_s, u"0"_s), u"1"_s);
    EXPECT_EQ(Harness::instance().stored(u"Posizione"_s, u"2"_s), u"0"_s);
}

// What a desktop without the service, or with one that never answers, leaves: the log filled
// as each page is read, the countdown going on, and nothing said.
enum class Desktop { NoService, NeverReplies };

class WithoutAnAnswer : public Notifications, public ::testing::WithParamInterface<Desktop> {
  protected:
    void ExpectTheLogAndTheCountdownUnharmed() {
        ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
        // Each entry is in the log when its pane's capture is told to the next listener.
        EXPECT_EQ(LogEntries(*window).size(), 4);
        const QString before = window->windowTitle();
        ASSERT_TRUE(WaitFor([&] { return window->windowTitle() != before; }));
        const QString after = window->windowTitle();
        ASSERT_TRUE(WaitFor([&] { return window->windowTitle() != after; }));

        sites.titles[3] = u"Commesso di negozio"_s;
        RunCountdownOut(*window);
        ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(2); }));
        EXPECT_EQ(LogEntries(*window).mid(4), QStringList{u"Infojobs : COMMESSO DI NEGOZIO"_s});
    }

    BusMessages messages;
};

// A bus without the service, where the calls go out and the bus refuses them; or a service that
// takes the calls and never answers.
TEST_P(WithoutAnAnswer, TheLogAndTheCountdownGoOnAndNothingIsSaid) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
    if (GetParam() == Desktop::NeverReplies) StandIn(NotificationStandIn::Answers::Never);
    Start();
    ExpectTheLogAndTheCountdownUnharmed();
    if (GetParam() == Desktop::NeverReplies) {
        // The call for the new listing went out and is still waiting.
        ASSERT_TRUE(WaitFor([&] { return standIn->calls().size() == 1; }));
    } else {
        // The bus's answer to the call has come and gone.
        ASSERT_TRUE(BusRoundTrip());
    }
    EXPECT_EQ(messages.seen(), QStringList{});
}

INSTANTIATE_TEST_SUITE_P(Desktops, WithoutAnAnswer,
                         ::testing::Values(Desktop::NoService, Desktop::NeverReplies),
                         [](const ::testing::TestParamInfo<Desktop>& param) {
                             return param.param == Desktop::NoService ? "NoServiceOnTheBus"
                                                                      : "AServiceThatNeverReplies";
                         });

// A page that reloads itself with a new listing every time is logged every time, but neither
// floods the desktop nor pushes the history out: only the loads the program asks for bring
// news, one notification and one history line for the listing the next refresh finds.
TEST_F(Notifications, APageThatReloadsItselfNeitherFloodsTheDesktopNorTheHistory) {
    constexpr int kReloads = 8;
    int served = 0;
    Harness::instance().server().setHandler([&](const fixtures::Request& request) {
        const int site = fixtures::SiteForHost(request.host);
        if (site < 0) return fixtures::Response{.status = 404};
        if (site != 1)
            return fixtures::Response{.body = fixtures::ListingPage(site, sites.titles[site])};
        ++served;
        QByteArray body = fixtures::ListingPage(1, u"Annuncio %1"_s.arg(served));
        if (served <= kReloads)
            body.replace("</body>",
                         "<script>setTimeout(function () { location.reload(); }, 20);"
                         "</script></body>");
        return fixtures::Response{.body = body};
    });
    const auto historyRows = [] {
        QFile file(HistoryFile::UserPath());
        if (!file.open(QIODevice::ReadOnly)) return QList<QStringList>();
        return support::ReadCsv(QString::fromUtf8(file.readAll())).value_or(QList<QStringList>());
    };
    const auto jobrapidoRows = [&] {
        qsizetype n = 0;
        for (const QStringList& row : historyRows()) n += row.value(1) == u"Jobrapido"_s;
        return n;
    };
    const qsizetype before = jobrapidoRows();
    StandIn();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->count(1) >= kReloads + 1; }, 60000));
    QStringList logged = LogEntries(*window);
    logged.removeIf([](const QString& entry) { return !entry.startsWith(u"Jobrapido"_s); });
    EXPECT_EQ(logged.size(), kReloads + 1);
    ASSERT_TRUE(AllSentNotificationsArrived());
    const auto ofJobrapido = [&] {
        qsizetype n = 0;
        for (const Call& call : Notified()) n += call.summary.endsWith(u"Jobrapido"_s);
        return n;
    };
    EXPECT_EQ(ofJobrapido(), 0);
    EXPECT_EQ(jobrapidoRows() - before, 0);
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return ofJobrapido() == 1; }));
    EXPECT_EQ(Notified().last().summary, u"Nuovo annuncio su Jobrapido"_s);
    EXPECT_EQ(jobrapidoRows() - before, 1);
}

}  // namespace
}  // namespace quintavia::e2e
