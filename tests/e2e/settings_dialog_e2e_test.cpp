#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "harness.h"
#include "shell/desktop/tray_icon.h"
#include "shell/window/settings_dialog.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// "Impostazioni" driven as a user drives it, with real keys; runs on the offscreen platform
// and on a real X display with a window manager.
class SettingsDialogE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        Harness::instance().reset();
        window = StartWindow();
        captures = std::make_unique<Captures>(*window);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
        Harness::instance().server().clearRequests();
    }
    void TearDown() override {
        captures.reset();
        window.reset();
        Harness::instance().reset();
    }

    // The dialog, once it is shown and has the keyboard.
    SettingsDialog* shownDialog() {
        const bool shown = WaitFor([&] {
            return window->settingsDialog() && window->settingsDialog()->isVisible() &&
                   QApplication::activeWindow() == window->settingsDialog();
        });
        return shown ? window->settingsDialog() : nullptr;
    }

    // Every request since the last clear but the favicons, whatever host it names: the site
    // a pane was given need not be one of the four.
    static QList<QByteArray> requestLines() {
        QList<QByteArray> lines;
        for (const fixtures::Request& request : Harness::instance().server().requests())
            if (!request.path.startsWith("/favicon.ico")) lines << request.requestLine;
        return lines;
    }

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<Captures> captures;
};

TEST_F(SettingsDialogE2e,
       CtrlCommaOpensItAndKeysAloneGiveTheThirdPaneAnotherSiteAndNoNotifications) {
    QTest::keyClick(window.get(), Qt::Key_Comma, Qt::ControlModifier);
    SettingsDialog* dialog = shownDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(QApplication::focusWidget(), dialog->siteBox(0));
    EXPECT_EQ(dialog->siteBox(2)->currentText(), u"Jobonline"_s);
    EXPECT_EQ(dialog->siteBox(3)->currentText(), u"InfoJobs (chiuso)"_s);

    // In reading order: the third box is two Tabs away. Jobonline is followed by InfoJobs,
    // Jobrapido's newer page, then Indeed.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), dialog->siteBox(2));
    for (int i = 0; i < 3; ++i) QTest::keyClick(dialog->siteBox(2), Qt::Key_Down);
    ASSERT_EQ(dialog->siteBox(2)->currentText(), u"Indeed"_s);
    // Past the fourth box and the keywords, the words to include and those to exclude; Space
    // unticks the notifications; Enter is OK.
    for (int i = 0; i < 3; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), dialog->findChild<QLineEdit*>(u"includeWords"_s));
    QTest::keyClicks(QApplication::focusWidget(), u"cuoco, barista"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), u"stage"_s);
    EXPECT_EQ(dialog->choices().includeWords, u"cuoco, barista"_s);
    EXPECT_EQ(dialog->choices().excludeWords, u"stage"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), dialog->findChild<QCheckBox*>(u"notificationsOption"_s));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    const int before = captures->count(2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    // Only the third pane loads, at Indeed's search for the region; the engine asks the
    // fixture server for a tunnel to the secure site, which it refuses.
    ASSERT_TRUE(WaitFor([&] { return captures->count(2) > before; }));
    EXPECT_FALSE(window->settingsDialog());
    EXPECT_EQ(window->pane(2)->url(), QUrl(u"https://it.indeed.com/jobs?q=&l=Abruzzo&sort=date"_s));
    const QList<QByteArray> lines = requestLines();
    ASSERT_FALSE(lines.isEmpty());
    for (const QByteArray& line : lines)
        EXPECT_EQ(QString::fromLatin1(line), u"CONNECT it.indeed.com:443 HTTP/1.1"_s);
    for (int i : {0, 1, 3}) EXPECT_EQ(captures->count(i), 1) << i;

    EXPECT_EQ(Harness::instance().stored(u"Siti"_s, u"2"_s), u"indeed"_s);
    EXPECT_EQ(Harness::instance().stored(u"Notifiche"_s, u"0"_s), u"0"_s);
    EXPECT_FALSE(window->trayIcon()->findChild<QAction*>(u"notificationsAction"_s)->isChecked());
    EXPECT_EQ(window->paneGrid()->siteLabel(2)->text(), u"Indeed"_s);
    EXPECT_EQ(window->controller().paneRule(2).id, u"indeed"_s);
}

// The tray's entry and the top band's menu open it; "Annulla" leaves everything as it was,
// whatever the fields held.
TEST_F(SettingsDialogE2e, TheTrayAndTheBandOpenItAndAnnullaChangesNothing) {
    const Choices before = window->controller().choices();
    auto* trayEntry = window->trayIcon()->findChild<QAction*>(u"settingsAction"_s);
    ASSERT_NE(trayEntry, nullptr);
    trayEntry->trigger();
    SettingsDialog* dialog = shownDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->siteBox(1)->setCurrentIndex(dialog->siteBox(1)->findData(u"subito"_s));
    QTest::keyClicks(dialog->findChild<QLineEdit*>(u"keywordsEdit"_s), u"cuoco"_s);
    dialog->findChild<QCheckBox*>(u"notificationsOption"_s)->setChecked(false);
    dialog->findChild<QPushButton*>(u"cancelButton"_s)->click();
    ASSERT_TRUE(WaitFor([&] { return !window->settingsDialog(); }));

    EXPECT_EQ(window->controller().choices(), before);
    EXPECT_EQ(window->paneGrid()->siteLabel(1)->text(), DefaultRules()[1].paneLabel);
    EXPECT_TRUE(window->trayIcon()->findChild<QAction*>(u"notificationsAction"_s)->isChecked());
    EXPECT_FALSE(QFile::exists(Harness::instance().settingsPath()));

    // A right click on the band's free area, between the controls: its menu's one entry,
    // chosen with keys.
    QTimer::singleShot(0, [] {
        QWidget* menu = QApplication::activePopupWidget();
        ASSERT_NE(menu, nullptr);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QPoint free(0, 2);
    while (free.x() < window->width() && window->childAt(free) != window->paneGrid())
        free.rx() += 1;
    ASSERT_LT(free.x(), window->width());
    QWidget* under = window->childAt(free);
    QContextMenuEvent click(QContextMenuEvent::Mouse, under->mapFrom(window.get(), free),
                            window->mapToGlobal(free));
    QApplication::sendEvent(under, &click);
    ASSERT_NE(shownDialog(), nullptr);
    EXPECT_EQ(window->settingsDialog()->choices(), before);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return !window->settingsDialog(); }));
    EXPECT_EQ(window->controller().choices(), before);
}

}  // namespace
}  // namespace quintavia::e2e
