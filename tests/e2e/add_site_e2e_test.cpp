#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QWebEngineView>

#include "accessible_walk.h"
#include "boards.h"
#include "harness.h"
#include "shell/app/program_start.h"
#include "shell/window/add_site_dialog.h"
#include "shell/window/settings_dialog.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

const fixtures::Board& Board(const char* name) {
    for (const fixtures::Board& board : fixtures::CorpusBoards())
        if (board.name == QLatin1StringView(name)) return board;
    return fixtures::CorpusBoards().first();
}

// "Aggiungi sito…" driven as a user drives it: keys, and one click on a listing's title in the
// page; runs on the offscreen platform and on a real X display with a window manager.
class AddSiteE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        Harness::instance().reset();
        QFile::remove(SitesPathBeside(Harness::instance().settingsPath()));
        Harness::instance().server().setHandler(fixtures::BoardsHandler({}));
        window = StartWindow();
        captures = std::make_unique<Captures>(*window);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    }
    void TearDown() override {
        captures.reset();
        window.reset();
        QFile::remove(SitesPathBeside(Harness::instance().settingsPath()));
        Harness::instance().reset();
    }
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* to = QApplication::focusWidget();
        if (!to) {
            ADD_FAILURE() << "nothing has the keyboard for key " << key;
            return;
        }
        QTest::keyClick(to, static_cast<Qt::Key>(key), modifiers);
    }
    // Where the title of the listing linked to `link` is drawn in the preview.
    static std::optional<QPoint> TitleAt(AddSiteDialog& dialog, const QString& link) {
        std::optional<QPoint> at;
        bool answered = false;
        dialog.preview()->page()->runJavaScript(
            u"(function () { var a = document.querySelectorAll('a'); for (var i = 0; i < "
            u"a.length; ++i) if (a[i].href === '"_s +
                link +
                u"') { a[i].scrollIntoView({block: 'center'}); var r = "
                u"a[i].getBoundingClientRect(); return [r.left + 3, r.top + r.height / 2]; } "
                u"return null; })()"_s,
            [&](const QVariant& answer) {
                const QVariantList xy = answer.toList();
                if (xy.size() == 2) at = QPoint(xy[0].toInt(), xy[1].toInt());
                answered = true;
            });
        if (!WaitFor([&] { return answered; })) return std::nullopt;
        return at;
    }

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<Captures> captures;
};

TEST_F(AddSiteE2e, KeysAndOneClickOnATitleTakeAPastedAddressToANewSiteInAPane) {
    const fixtures::Board& board = Board("pubblicita");
    ASSERT_GE(board.expected.size(), 3);
    QTest::keyClick(window.get(), Qt::Key_Comma, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] {
        return window->settingsDialog() && QApplication::activeWindow() == window->settingsDialog();
    }));
    Press(Qt::Key_A, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([&] {
        return window->addSiteDialog() && QApplication::activeWindow() == window->addSiteDialog();
    }));
    AddSiteDialog& dialog = *window->addSiteDialog();
    ASSERT_EQ(QApplication::focusWidget(), dialog.addressBox());

    int reads = 0;
    QObject::connect(&dialog, &AddSiteDialog::read, [&] { ++reads; });
    QTest::keyClicks(dialog.addressBox(), u"http://"_s + QString::fromLatin1(board.host) + u"/"_s);
    Press(Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return reads == 1; }));
    EXPECT_EQ(MnemonicClashes(&dialog), QStringList{});
    ASSERT_EQ(dialog.listingsList()->count(), board.expected.size())
        << dialog.statusLabel()->text().toStdString();
    const QString found = dialog.cards();
    EXPECT_TRUE(dialog.listingsList()->item(0)->text().startsWith(board.expected[0].title));

    // Another group of repeated elements, then back by a click on a listing's title.
    ASSERT_TRUE(dialog.otherGroupButton()->isEnabled());
    Press(Qt::Key_G, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([&] { return reads == 2; }));
    EXPECT_NE(dialog.cards(), found);
    const std::optional<QPoint> title = TitleAt(dialog, board.expected[1].link);
    ASSERT_TRUE(title);
    QTest::mouseClick(dialog.preview()->focusProxy(), Qt::LeftButton, {}, *title);
    ASSERT_TRUE(WaitFor([&] { return reads == 3; }));
    EXPECT_EQ(dialog.cards(), found);
    EXPECT_EQ(dialog.listingsList()->count(), board.expected.size());

    Press(Qt::Key_N, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), dialog.nameBox());
    QTest::keyClick(dialog.nameBox(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(dialog.nameBox(), u"Bacheca nuova"_s);
    Press(Qt::Key_R, Qt::AltModifier);
    Press(Qt::Key_Down);
    ASSERT_EQ(dialog.paneBox()->currentIndex(), 1);
    Press(Qt::Key_S, Qt::AltModifier);

    // In the sites file, on every pane's list, and shown in the first pane.
    ASSERT_TRUE(WaitFor([&] { return !window->addSiteDialog(); }));
    EXPECT_EQ(window->controller().paneRule(0).id, u"bacheca-nuova"_s);
    ASSERT_TRUE(window->settingsDialog());
    for (int pane = 0; pane < kPaneCount; ++pane)
        EXPECT_GE(window->settingsDialog()->siteBox(pane)->findData(u"bacheca-nuova"_s), 0);
    QFile sites(SitesPathBeside(Harness::instance().settingsPath()));
    ASSERT_TRUE(sites.open(QIODevice::ReadOnly));
    EXPECT_TRUE(sites.readAll().contains("[bacheca-nuova]\nnome=Bacheca nuova\n"));
    const int before = captures->count(0);
    ASSERT_TRUE(WaitFor([&] { return captures->count(0) > before; }));
    EXPECT_EQ(captures->last(0).url.host(), QString::fromLatin1(board.host));
    ASSERT_TRUE(WaitFor([&] {
        return !LogEntries(*window).isEmpty() &&
               LogEntries(*window).last().endsWith(board.expected[0].title);
    }));
}

}  // namespace
}  // namespace quintavia::e2e
