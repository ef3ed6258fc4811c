#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QSystemTrayIcon>

#include "accessible_walk.h"
#include "core/layout/panes.h"
#include "core/sites/site_rules.h"
#include "harness.h"
#include "listing_pages.h"
#include "shell/desktop/tray_icon.h"
#include "shell/window/settings_dialog.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// The first element under `root`, depth first, with `role` and `name`; none when there is none.
QAccessibleInterface* Find(QAccessibleInterface* root, QAccessible::Role role,
                           const QString& name) {
    if (!root || !root->isValid()) return nullptr;
    if (root->role() == role && root->text(QAccessible::Name) == name) return root;
    for (int i = 0; i < root->childCount(); ++i)
        if (QAccessibleInterface* found = Find(root->child(i), role, name)) return found;
    return nullptr;
}

class Accessibility : public ::testing::Test {
  protected:
    void SetUp() override {
        Harness::instance().reset();
        Harness::instance().server().setHandler([](const fixtures::Request& request) {
            const int site = fixtures::SiteForHost(request.host);
            if (site < 0) return fixtures::Response{.status = 404};
            return fixtures::Response{.body = fixtures::ListingPage(site, kTitles[site])};
        });
    }
    void TearDown() override { Harness::instance().reset(); }

    static inline const QString kTitles[kPaneCount] = {
        u"Magazziniere"_s, u"Cameriere di sala"_s, u"Cuoco capo partita"_s, u"Autista patente C"_s};
};

TEST_F(Accessibility, EveryControlOfTheWindowAndTheTrayMenuSaysWhatItIsFor) {
    auto window = StartWindow();
    Captures captures(*window);
    // The panes have their pages, and the widgets that show them.
    ASSERT_TRUE(WaitFor([&] { return captures.eachAtLeast(1); }));

    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window.get());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->role(), QAccessible::Window);
    EXPECT_EQ(AccessibilityFaults(root), QStringList{});
    EXPECT_EQ(MnemonicClashes(window.get()), QStringList{});
    for (int i = 0; i < kPaneCount; ++i) {
        QAccessibleInterface* pane = QAccessible::queryAccessibleInterface(window->pane(i));
        EXPECT_TRUE(pane->text(QAccessible::Name).endsWith(DefaultRules()[i].name)) << i;
    }

    // A pane says it has the focus only while it has the keyboard, and the pages that load
    // again leave the keyboard where it is. (The engine's document inside each pane says it
    // is focused whatever the keyboard does: that state is the engine's own.)
    const auto focusedPanes = [&] {
        QList<int> focused;
        for (int i = 0; i < kPaneCount; ++i)
            if (QAccessible::queryAccessibleInterface(window->pane(i))->state().focused)
                focused << i;
        return focused;
    };
    EXPECT_EQ(focusedPanes(), QList<int>{});
    window->pane(2)->setFocus();
    ASSERT_TRUE(WaitFor([&] { return window->pane(2)->hasFocus(); }));

    // The window's name is what it is, not its title, which counts down.
    RunCountdownOut(*window);
    EXPECT_NE(window->windowTitle(), u"Quintavia"_s);
    ASSERT_TRUE(WaitFor([&] { return captures.eachAtLeast(2); }));
    EXPECT_TRUE(window->pane(2)->hasFocus());
    EXPECT_EQ(focusedPanes(), QList<int>{2});
    window->findChild<QComboBox*>(u"regionBox"_s)->setFocus();
    EXPECT_EQ(focusedPanes(), QList<int>{});
    EXPECT_EQ(root->text(QAccessible::Name), u"Quintavia"_s);

    // The windows through which the engine draws the pages are never shown, and not listed
    // among the program's windows either.
    QAccessibleInterface* app = QAccessible::queryAccessibleInterface(qApp);
    QStringList windows;
    for (int i = 0; i < app->childCount(); ++i) windows << app->child(i)->text(QAccessible::Name);
    EXPECT_EQ(windows, QStringList{u"Quintavia"_s});

    QMenu* menu = window->trayIcon()->menu();
    ASSERT_NE(menu, nullptr);
    QAccessibleInterface* menuRoot = QAccessible::queryAccessibleInterface(menu);
    EXPECT_EQ(menuRoot->childCount(), menu->actions().size());
    EXPECT_EQ(AccessibilityFaults(menuRoot), QStringList{});

    // "Impostazioni": a dialog named as such, each field named by its label.
    window->openSettings();
    SettingsDialog* dialog = window->settingsDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(WaitFor([&] { return dialog->isVisible(); }));
    QAccessibleInterface* dialogRoot = QAccessible::queryAccessibleInterface(dialog);
    EXPECT_EQ(dialogRoot->role(), QAccessible::Dialog);
    EXPECT_EQ(dialogRoot->text(QAccessible::Name), u"Impostazioni"_s);
    EXPECT_EQ(AccessibilityFaults(dialogRoot), QStringList{});
    EXPECT_EQ(MnemonicClashes(dialog), QStringList{});
    const QString panes[] = {
        u"Riquadro 1 (in alto a sinistra)"_s, u"Riquadro 2 (in alto a destra)"_s,
        u"Riquadro 3 (in basso a sinistra)"_s, u"Riquadro 4 (in basso a destra)"_s};
    for (int i = 0; i < kPaneCount; ++i) {
        const auto labels = QAccessible::queryAccessibleInterface(dialog->siteBox(i))
                                ->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1) << i;
        EXPECT_EQ(labels[0].first->text(QAccessible::Name), panes[i]);
    }
    dialog->reject();
}

// With assistive technology listening, each pane's page shows its headings and listings.
TEST_F(Accessibility, ThePagesContentReachesAssistiveTechnology) {
    QAccessible::setActive(true);
    auto window = StartWindow();
    Captures captures(*window);
    ASSERT_TRUE(WaitFor([&] { return captures.eachAtLeast(1); }));
    for (int i = 0; i < kPaneCount; ++i) {
        QAccessibleInterface* pane = QAccessible::queryAccessibleInterface(window->pane(i));
        const QString title = kTitles[i];
        EXPECT_TRUE(WaitFor([&] {
            return Find(pane, QAccessible::Heading,
                        DefaultRules()[i].name + u": risultati della ricerca"_s) &&
                   (Find(pane, QAccessible::Link, title) ||
                    Find(pane, QAccessible::StaticText, title));
        })) << DefaultRules()[i].name.toStdString();
    }
    QAccessible::setActive(false);
}

}  // namespace
}  // namespace quintavia::e2e
