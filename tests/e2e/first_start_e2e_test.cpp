#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <functional>

#include "harness.h"
#include "listing_pages.h"
#include "shell/window/first_start_hint.h"
#include "shell/window/found_listings_window.h"
#include "shell/window/settings_dialog.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// The very first start says where the settings are, in a line under the band that blocks
// nothing, until the line is closed or the settings are opened; a start that finds a settings
// file says nothing.
TEST(FirstStart, ALineUnderTheBandLeadsToTheSettingsUntilClosedOrFollowed) {
    struct Case {
        const char* how;
        std::function<void(MainWindow&)> act;
        bool opensSettings;
    };
    const Case cases[] = {
        {"the band's button",
         [](MainWindow& window) {
             QTest::mouseClick(window.findChild<QPushButton*>(u"settingsButton"_s), Qt::LeftButton);
         },
         true},
        {"its key",
         [](MainWindow& window) { QTest::keyClick(&window, Qt::Key_Comma, Qt::ControlModifier); },
         true},
        {"the line's own link",
         [](MainWindow& window) {
             emit window.firstStartHint()->textLabel()->linkActivated(u"#impostazioni"_s);
         },
         true},
        {"the line's close button",
         [](MainWindow& window) {
             QTest::mouseClick(window.firstStartHint()->closeButton(), Qt::LeftButton);
         },
         false},
    };
    for (const Case& c : cases) {
        Harness::instance().reset();
        auto window = StartWindow();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get())) << c.how;
        FirstStartHint* hint = window->firstStartHint();
        ASSERT_NE(hint, nullptr) << c.how;
        ASSERT_TRUE(WaitFor([&] { return hint->isVisible(); })) << c.how;
        EXPECT_EQ(hint->geometry().top(), 21) << c.how;
        EXPECT_EQ(hint->width(), window->width()) << c.how;
        const QString text = hint->textLabel()->text();
        for (const QString& word : {u"regione"_s, u"siti"_s, u"parole"_s, u"Impostazioni"_s})
            EXPECT_TRUE(text.contains(word)) << c.how << ": " << text.toStdString();

        c.act(*window);
        EXPECT_TRUE(WaitFor([&] { return !hint->isVisible(); })) << c.how;
        if (c.opensSettings) {
            EXPECT_TRUE(WaitFor([&] {
                return window->settingsDialog() && window->settingsDialog()->isVisible();
            })) << c.how;
        } else {
            EXPECT_EQ(window->settingsDialog(), nullptr) << c.how;
        }
        if (SettingsDialog* dialog = window->settingsDialog()) dialog->reject();
        window->close();
    }

    ASSERT_TRUE(QFileInfo::exists(Harness::instance().settingsPath()));
    auto again = StartWindow();
    EXPECT_EQ(again->firstStartHint(), nullptr);
}

// The keyboard in the main window: Tab through the band as it reads, F6 between the band and
// the panes, "Annunci trovati" by its key and from the band's menu by Shift+F10.
class BandKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        Harness::instance().reset();
        window = StartWindow();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(WaitFor([&] {
            for (int i = 0; i < kPaneCount; ++i)
                if (!window->pane(i)->focusProxy()) return false;
            return true;
        }));
    }
    void TearDown() override { window.reset(); }

    // The band's control or the pane that has the keyboard focus, by name.
    QString focused() const {
        for (QWidget* at = QApplication::focusWidget(); at; at = at->parentWidget())
            if (at->parentWidget() == window.get() || at->parentWidget() == window->paneGrid())
                return at->objectName();
        return {};
    }
    static void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }

    std::unique_ptr<MainWindow> window;
};

TEST_F(BandKeys, TabFollowsTheBandFromLeftToRightAndF6GoesBetweenTheBandAndThePanes) {
    window->findChild<QWidget*>(u"regionBox"_s)->setFocus(Qt::TabFocusReason);
    QStringList order;
    for (int i = 0; i < 8; ++i) {
        order << focused();
        press(Qt::Key_Tab);
    }
    EXPECT_EQ(order,
              (QStringList{u"regionBox"_s, u"refreshButton"_s, u"logBox"_s, u"soundAlertOption"_s,
                           u"autoPositionOption"_s, u"saveScrollButton"_s, u"siteLabelsOption"_s,
                           u"settingsButton"_s}));

    window->findChild<QWidget*>(u"refreshButton"_s)->setFocus(Qt::TabFocusReason);
    struct Step {
        Qt::KeyboardModifiers modifiers;
        QString lands;
    };
    const Step steps[] = {
        {Qt::NoModifier, u"pane0"_s},     {Qt::NoModifier, u"pane1"_s},
        {Qt::NoModifier, u"pane2"_s},     {Qt::NoModifier, u"pane3"_s},
        {Qt::NoModifier, u"regionBox"_s}, {Qt::ShiftModifier, u"pane3"_s},
        {Qt::ShiftModifier, u"pane2"_s},  {Qt::ShiftModifier, u"pane1"_s},
        {Qt::ShiftModifier, u"pane0"_s},  {Qt::ShiftModifier, u"regionBox"_s},
    };
    for (const Step& step : steps) {
        const QString from = focused();
        press(Qt::Key_F6, step.modifiers);
        EXPECT_TRUE(WaitFor([&] { return focused() == step.lands; }))
            << from.toStdString() << " -> " << focused().toStdString() << ", not "
            << step.lands.toStdString();
    }
}

TEST_F(BandKeys, TheFoundListingsByTheirKeyAndByTheBandsMenuFromTheKeyboard) {
    // Shift+F10 on any control of the band: the band's menu, which names the list's key.
    QWidget* refresh = window->findChild<QWidget*>(u"refreshButton"_s);
    refresh->setFocus(Qt::TabFocusReason);
    QString menuName;
    QString foundKey;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        menuName = menu->objectName();
        for (const QAction* action : menu->actions())
            if (action->text() == u"Annunci trovati"_s)
                foundKey = action->shortcut().toString(QKeySequence::PortableText);
        menu->close();
    });
    watch.start();
    press(Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(WaitFor([&] { return !menuName.isEmpty(); }));
    watch.stop();
    EXPECT_EQ(menuName, u"bandMenu"_s);
    EXPECT_EQ(foundKey, u"Ctrl+L"_s);

    // The key, from a page as well. The closed menu does not always give the window back its
    // activation at once, and a focus set before then goes to no widget.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->pane(2)->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(WaitFor([&] { return focused() == u"pane2"_s; }));
    press(Qt::Key_L, Qt::ControlModifier);
    ASSERT_TRUE(
        WaitFor([&] { return window->foundWindow() && window->foundWindow()->isVisible(); }));
}

// The menus of a pane's page offer nothing that cannot work: downloads are refused, and a pane
// has no tabs.
TEST(PaneMenus, LeaveOutSavingAndTabs) {
    Harness::instance().reset();
    Harness::instance().server().setHandler([](const fixtures::Request& request) {
        const int site = fixtures::SiteForHost(request.host);
        if (site < 0) return fixtures::Response{.status = 404};
        if (site != 1) return fixtures::Response{.body = fixtures::ListingPage(site, u"Cuoco"_s)};
        return fixtures::Response{
            .body =
                "<!doctype html><html><body style=\"margin:0\"><a id=\"card\" "
                "href=\"https://www.jobrapido.it/annuncio/1\" style=\"display:block;"
                "width:200px;height:100px\">Magazziniere</a></body></html>"};
    });
    auto window = StartWindow();
    Captures captures(*window);
    ASSERT_TRUE(WaitFor([&] { return captures.eachAtLeast(1); }));
    QWebEnginePage* page = window->pane(1)->page();
    QWidget* view = window->pane(1)->focusProxy();
    ASSERT_NE(view, nullptr);

    struct Case {
        const char* where;
        QPoint at;
        QList<QWebEnginePage::WebAction> kept;
    };
    const Case cases[] = {
        {"the page", QPoint(300, 200), {QWebEnginePage::Back, QWebEnginePage::Reload}},
        {"a link", QPoint(50, 50), {QWebEnginePage::CopyLinkToClipboard}},
    };
    const QList<QWebEnginePage::WebAction> left = {
        QWebEnginePage::SavePage, QWebEnginePage::DownloadLinkToDisk,
        QWebEnginePage::OpenLinkInNewTab, QWebEnginePage::OpenLinkInNewBackgroundTab};
    for (const Case& c : cases) {
        QMenu* menu = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            if (!menu) QTest::mouseClick(view, Qt::RightButton, {}, c.at);
            menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            return menu != nullptr;
        })) << c.where;
        const QList<QAction*> shown = menu->actions();
        for (const QWebEnginePage::WebAction action : c.kept)
            EXPECT_TRUE(shown.contains(page->action(action))) << c.where << ": " << action;
        for (const QWebEnginePage::WebAction action : left)
            EXPECT_FALSE(shown.contains(page->action(action))) << c.where << ": " << action;
        // A click that seemed lost may have opened a second menu meanwhile.
        ASSERT_TRUE(WaitFor([&] {
            if (QWidget* open = QApplication::activePopupWidget()) open->close();
            return !QApplication::activePopupWidget();
        })) << c.where;
    }
}

}  // namespace
}  // namespace quintavia::e2e
