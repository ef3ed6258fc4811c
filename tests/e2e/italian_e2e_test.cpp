#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "core/layout/panes.h"
#include "harness.h"
#include "listing_pages.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// The texts of a menu's items, without their shortcut marks and keys.
QStringList Texts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        if (!action->isSeparator() && action->isVisible())
            texts << action->text().section(u'\t', 0, 0).remove(u'&');
    return texts;
}

// The program speaks Italian, and so does what the engine and Qt show in its window: the pages
// are asked for in Italian first, the engine's error page is Italian, and so are the panes'
// menus and the text fields' own.
TEST(Italian, TheEngineAsksForItalianAndShowsItsPagesAndMenusInItalian) {
    Harness& bench = Harness::instance();
    bench.reset();
    bench.server().setHandler([](const fixtures::Request& request) {
        const int site = fixtures::SiteForHost(request.host);
        if (site == 0) return fixtures::Response{.refuse = true};
        if (site < 0) return fixtures::Response{.status = 404};
        return fixtures::Response{.body = fixtures::ListingPage(site, u"Cuoco"_s)};
    });
    auto window = StartWindow();
    Captures captures(*window);
    ASSERT_TRUE(WaitFor([&] { return captures.eachAtLeast(1); }));

    int asked = 0;
    for (const fixtures::Request& request : bench.server().requests()) {
        if (fixtures::SiteForHost(request.host) < 0) continue;
        ++asked;
        EXPECT_TRUE(request.headers.value("accept-language").startsWith("it-IT,it"))
            << request.requestLine.toStdString() << ": "
            << request.headers.value("accept-language").toStdString();
    }
    EXPECT_GE(asked, kPaneCount);

    // The engine's own page for a site that does not answer.
    ASSERT_TRUE(captures.last(0).markup);
    EXPECT_TRUE(captures.last(0).markup->contains(u"lang=\"it\""_s))
        << captures.last(0).markup->left(300).toStdString();

    // The menu of a pane's page, as a right click opens it.
    QWidget* page = window->pane(1)->focusProxy();
    ASSERT_NE(page, nullptr);
    QMenu* menu = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        if (!menu) QTest::mouseClick(page, Qt::RightButton, {}, QPoint(300, 250));
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu != nullptr;
    })) << "no menu";
    const QStringList texts = Texts(*menu);
    for (const QString& italian : {u"Indietro"_s, u"Avanti"_s, u"Ricarica"_s})
        EXPECT_TRUE(texts.contains(italian)) << ::testing::PrintToString(texts);
    for (const QString& english :
         {u"Back"_s, u"Forward"_s, u"Reload"_s, u"Save page"_s, u"View page source"_s})
        EXPECT_FALSE(texts.contains(english)) << ::testing::PrintToString(texts);
    menu->close();

    // Qt's own, in the region box.
    const std::unique_ptr<QMenu> own(
        window->findChild<QComboBox*>(u"regionBox"_s)->lineEdit()->createStandardContextMenu());
    const QStringList ownTexts = Texts(*own);
    EXPECT_TRUE(ownTexts.contains(u"Seleziona tutto"_s)) << ::testing::PrintToString(ownTexts);
    EXPECT_FALSE(ownTexts.contains(u"Select All"_s)) << ::testing::PrintToString(ownTexts);
}

}  // namespace
}  // namespace quintavia::e2e
