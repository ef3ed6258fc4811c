#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "core/layout/panes.h"
#include "counting_beep.h"
#include "harness.h"
#include "listing_pages.h"
#include "shell/browser/popup_window.h"

namespace quintavia::e2e {
namespace {

using support::CountingBeep;

struct Decision {
    int pane;
    bool stopped;
    int beepsSoFar;
};

QByteArray Page(const QByteArray& body) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>t</title></head><body>" +
           body + "</body></html>";
}

QString Url(int site, const char* path) {
    return "http://" + fixtures::SiteHost(site) + path;
}

class PopupFilterE2e : public ::testing::Test {
  protected:
    void SetUp() override { Harness::instance().reset(); }

    // Serves each page by its host and path; any other address gets a plain page.
    void serve(QHash<QByteArray, QByteArray> pages) {
        Harness::instance().server().setHandler([pages](const fixtures::Request& request) {
            return fixtures::Response{
                .body = pages.value(request.host + request.path, Page("plain " + request.path))};
        });
    }

    void start() {
        window = StartWindow(&beep);
        // Told once the pane has decided, after the alert if any.
        for (int i = 0; i < kPaneCount; ++i)
            QObject::connect(window->pane(i), &WebPane::newWindowDecided, window.get(),
                             [this](int index, NewWindowVerdict verdict) {
                                 decisions.push_back({index, verdict.stop, beep.beeps});
                             });
    }

    bool requested(const QByteArray& pathPart) const {
        for (const fixtures::Request& request : Harness::instance().server().requests())
            if (request.path.contains(pathPart)) return true;
        return false;
    }

    static QList<PopupWindow*> popups() { return OpenPopups(); }

    // The pane's page once loaded, with its own scripts run.
    void loadInPane(int site, const QByteArray& path) {
        bool loaded = false;
        auto connection =
            QObject::connect(window->pane(site), &WebPane::pageCaptured, [&] { loaded = true; });
        window->pane(site)->navigate(Url(site, path));
        ASSERT_TRUE(WaitFor([&] { return loaded; }));
        QObject::disconnect(connection);
    }

    // A click that comes before the pane has drawn the page finds nothing to press; the user
    // clicks again, until the page hears it. The page counts its presses in window.presses.
    void clickUntilHeard(int site) {
        ASSERT_TRUE(WaitFor([&] { return window->pane(site)->focusProxy() != nullptr; }));
        const auto pressesHeard = [&] {
            return runInPage(window->pane(site)->page(), "window.presses").toInt();
        };
        for (int attempt = 0; attempt < 10 && pressesHeard() == 0; ++attempt) {
            QTest::mouseClick(window->pane(site)->focusProxy(), Qt::LeftButton, {}, QPoint(40, 40));
            WaitFor([&] { return pressesHeard() > 0; }, 3000);
        }
        ASSERT_EQ(pressesHeard(), 1);
    }

    QVariant runInPage(QWebEnginePage* page, const QString& script) {
        QVariant result;
        bool done = false;
        page->runJavaScript(script, QWebEngineScript::MainWorld, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        EXPECT_TRUE(WaitFor([&] { return done; }));
        return result;
    }

    CountingBeep beep;
    std::vector<Decision> decisions;
    std::unique_ptr<MainWindow> window;
};

TEST_F(PopupFilterE2e, APageOpeningAWindowOnLoadIsStoppedWithABeep) {
    // The first site's search page opens a window as soon as it is read.
    Harness::instance().server().setHandler([](const fixtures::Request& request) {
        if (fixtures::SiteForHost(request.host) != 0 || request.path.contains("on-load-popup"))
            return fixtures::Response{.body = Page("plain")};
        return fixtures::Response{.body = Page("<p>listing</p><script>window.open('" +
                                               Url(3, "/on-load-popup").toLatin1() +
                                               "'); new Image().src = '/after-open';</script>")};
    });
    start();
    // The page asks for its window before it goes on to the image, and the engine hears the
    // request before the page goes on: once the image is asked for, the decision is made.
    ASSERT_TRUE(WaitFor([&] { return !decisions.empty() && requested("/after-open"); }));

    ASSERT_EQ(decisions.size(), 1u);
    EXPECT_EQ(decisions[0].pane, 0);
    EXPECT_TRUE(decisions[0].stopped);
    // Nothing but the page's body has the focus, and it has no link address.
    EXPECT_EQ(decisions[0].beepsSoFar, 1);
    EXPECT_EQ(beep.beeps, 1);
    EXPECT_TRUE(popups().isEmpty());
    EXPECT_FALSE(requested("on-load-popup"));
}

TEST_F(PopupFilterE2e, TheFocusedElementDecidesTheBeepOfAStoppedWindow) {
    serve({{fixtures::SiteHost(1).toLatin1() + "/links",
            Page("<a id=web href='http://www.jobonline.it/job'>web</a>"
                 "<a id=odd href='nosuchscheme:job'>odd</a>"
                 "<a id=bare tabindex=0>bare</a>"
                 "<span id=text tabindex=0>text</span>"
                 "<script>document.getElementById('text').href = 'http://x/';</script>")}});
    start();
    loadInPane(1, "/links");

    struct Case {
        const char* focus;
        bool beeps;
    };
    const Case cases[] = {
        {"document.getElementById('web').focus()", false},
        {"document.getElementById('odd').focus()", true},
        {"document.getElementById('bare').focus()", true},  // an empty link address
        // The page's own property is not the element's: its address cannot be read.
        {"document.getElementById('text').focus()", true},
        {"document.activeElement.blur()", true},                         // the body has the focus
        {"document.documentElement.removeChild(document.body)", false},  // nothing has it
    };
    for (const Case& c : cases) {
        // A page asking by itself is heard once a second: each case waits for its turn.
        ASSERT_TRUE(WaitFor([&] { return window->pane(1)->webPage()->hearsWindowRequests(); }));
        decisions.clear();
        const int before = beep.beeps;
        runInPage(window->pane(1)->page(),
                  QString::fromLatin1(c.focus) + "; window.open('" + Url(2, "/from-script") + "')");
        ASSERT_TRUE(WaitFor([&] { return !decisions.empty(); })) << c.focus;
        EXPECT_EQ(decisions[0].pane, 1);
        EXPECT_TRUE(decisions[0].stopped) << c.focus;
        EXPECT_EQ(beep.beeps - before, c.beeps ? 1 : 0) << c.focus;
    }
    // A window let through would have been made before its decision was told.
    EXPECT_TRUE(popups().isEmpty());
    EXPECT_FALSE(requested("from-script"));
}

// A page that asks for windows in a loop is heard at most once a second; the rest are stopped
// unheard, without a look at the page and without a beep.
TEST_F(PopupFilterE2e, APageAskingForWindowsInALoopIsHeardOnceASecond) {
    serve({{fixtures::SiteHost(1).toLatin1() + "/flood", Page("<p>annunci</p>")}});
    start();
    loadInPane(1, "/flood");
    WebPage* page = window->pane(1)->webPage();
    int dropped = 0;
    QObject::connect(page, &WebPage::windowRequestDropped, window.get(), [&] { ++dropped; });
    ASSERT_TRUE(WaitFor([&] { return page->hearsWindowRequests(); }));
    decisions.clear();

    QElapsedTimer clock;
    clock.start();
    runInPage(page, "for (var i = 0; i < 50; ++i) window.open('" + Url(2, "/one-of-many") + "')");
    ASSERT_TRUE(WaitFor([&] { return static_cast<int>(decisions.size()) + dropped >= 50; }));
    // However slowly the machine went, no second heard more than one of them.
    const auto heard = static_cast<qint64>(decisions.size());
    EXPECT_GE(heard, 1);
    EXPECT_LE(heard, 1 + clock.elapsed() / WindowRequestGate::kIntervalMs);
    EXPECT_EQ(heard + dropped, 50);
    EXPECT_LE(beep.beeps, heard);
    for (const Decision& decision : decisions) EXPECT_TRUE(decision.stopped);

    // Its turn comes again a second later.
    ASSERT_TRUE(WaitFor([&] { return page->hearsWindowRequests(); }));
    runInPage(page, "window.open('" + Url(2, "/one-more") + "')");
    ASSERT_TRUE(WaitFor([&] { return static_cast<qint64>(decisions.size()) == heard + 1; }));
    EXPECT_TRUE(popups().isEmpty());
    EXPECT_FALSE(requested("one-of-many"));
    EXPECT_FALSE(requested("one-more"));
}

TEST_F(PopupFilterE2e, AClickOnALinkToANewWindowOpensIt) {
    serve({{fixtures::SiteHost(2).toLatin1() + "/click",
            Page("<a href='" + Url(3, "/opened-by-click").toLatin1() +
                 "' target=_blank style='position:fixed; left:0; top:0; width:300px; "
                 "height:200px; display:block; background:#ccc'>apri</a>"
                 "<script>window.presses = 0;"
                 " addEventListener('mousedown', () => ++window.presses, true);</script>")}});
    start();
    loadInPane(2, "/click");
    clickUntilHeard(2);
    ASSERT_TRUE(WaitFor([&] { return popups().size() == 1 && requested("opened-by-click"); }));
    ASSERT_EQ(decisions.size(), 1u);
    EXPECT_FALSE(decisions[0].stopped);
    EXPECT_EQ(beep.beeps, 0);
    PopupWindow* popup = popups().front();
    EXPECT_TRUE(popup->isWindow());
    EXPECT_TRUE(WaitFor([&] { return popup->view()->url().path() == "/opened-by-click"; }));

    // The opened window opens no window of its own, even on a click of its user.
    runInPage(popup->view()->page(), "window.open('" + Url(3, "/popup-of-popup") +
                                         "'); new Image().src = '/after-popup-open';");
    QTest::mouseClick(popup->view()->focusProxy(), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(WaitFor([&] { return requested("/after-popup-open"); }));
    EXPECT_EQ(popups().size(), 1);
    EXPECT_FALSE(requested("popup-of-popup"));
    EXPECT_EQ(decisions.size(), 1u);
}

// A window opened on the user's click says whose it is, and its page cannot reach the pane
// that opened it.
TEST_F(PopupFilterE2e, APopUpNamesItsHostShowsItsAddressAndCannotMoveItsOpener) {
    serve({{fixtures::SiteHost(1).toLatin1() + "/opener",
            Page("<div style='position:fixed; left:0; top:0; width:300px; height:200px'></div>"
                 "<script>window.presses = 0;"
                 " addEventListener('mousedown', () => ++window.presses, true);"
                 " addEventListener('click', () => window.open('/sessione', '_blank',"
                 " 'width=30000,height=30000'));</script>")},
           {fixtures::SiteHost(1).toLatin1() + "/sessione",
            Page("<input type=password><script>"
                 "document.title = 'Quintavia - Sessione scaduta: accedi di nuovo';"
                 "var o = window.opener;"
                 "if (o) o.location = 'http://annunci.example.net/accedi';"
                 "new Image().src = '/opener-' + (o ? 'present' : 'none');"
                 "</script>")}});
    start();
    loadInPane(1, "/opener");
    clickUntilHeard(1);
    ASSERT_TRUE(WaitFor([&] { return popups().size() == 1 && requested("/opener-"); }));
    EXPECT_TRUE(requested("/opener-none"));
    PopupWindow* popup = popups().front();
    EXPECT_TRUE(WaitFor([&] {
        return popup->windowTitle() ==
               u"Pop-up da it.jobrapido.com – Quintavia - Sessione scaduta: accedi di nuovo";
    })) << popup->windowTitle().toStdString();
    EXPECT_TRUE(popup->addressLine()->isReadOnly());
    EXPECT_EQ(popup->addressLine()->text(), Url(1, "/sessione"));

    // The page found no opener to send elsewhere (it told so after its attempt), and the pane
    // stays where it was.
    EXPECT_FALSE(requested("/accedi"));
    EXPECT_EQ(window->pane(1)->url(), QUrl(Url(1, "/opener")));
}

TEST_F(PopupFilterE2e, APageSeesNothingOfOurs) {
    const QByteArray path = "/curious";
    serve({{fixtures::SiteHost(3).toLatin1() + path,
            Page("<a id=l href='/x'>x</a><script>window.seen = [typeof qt, typeof QWebChannel,"
                 " typeof qt_webChannelTransport, typeof FocusedElementScript].join();"
                 "</script>")}});
    start();
    loadInPane(3, path);
    // Every script of ours has run by now: the capture of the finished page, and the look at
    // the focused element that a window asked for by the page brings.
    runInPage(window->pane(3)->page(), "window.open('/again')");
    ASSERT_TRUE(WaitFor([&] { return !decisions.empty(); }));

    const QString globals = QStringLiteral("Object.getOwnPropertyNames(window).sort().join()");
    const QString inPane = runInPage(window->pane(3)->page(), globals).toString();
    EXPECT_EQ(runInPage(window->pane(3)->page(), "window.seen").toString(),
              "undefined,undefined,undefined,undefined");

    // The same page in a bare view of the engine, with nothing of ours in it.
    QWebEngineView bare;
    bool loaded = false;
    QObject::connect(&bare, &QWebEngineView::loadFinished, [&](bool) { loaded = true; });
    bare.load(QUrl(Url(3, path)));
    ASSERT_TRUE(WaitFor([&] { return loaded; }));
    const QString inBare = runInPage(bare.page(), globals).toString();
    EXPECT_FALSE(inPane.isEmpty());
    EXPECT_EQ(inPane, inBare);
}

}  // namespace
}  // namespace quintavia::e2e
