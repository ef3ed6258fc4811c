#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSet>

#include "harness.h"
#include "shell/window/settings_dialog.h"

using namespace Qt::StringLiterals;

namespace quintavia::e2e {
namespace {

// Three by three, chosen in "Impostazioni", in force at once and at the next start: nine panes that
// tile the client area under the strip, each named for assistive technology after its site,
// with its own label; the dialog names each pane by its place.
TEST(GridLayoutsE2e, AThreeByThreeGridNamesEveryPane) {
    Harness::instance().reset();
    {
        std::unique_ptr<MainWindow> first = StartWindow();
        first->openSettings();
        SettingsDialog* dialog = first->settingsDialog();
        ASSERT_TRUE(dialog);
        auto* grid = dialog->findChild<QComboBox*>(u"gridBox"_s);
        ASSERT_TRUE(grid);
        EXPECT_EQ(grid->currentText(), u"2 × 2"_s);
        grid->setCurrentIndex(grid->findText(u"3 × 3"_s));
        dialog->accept();
        EXPECT_EQ(first->paneGrid()->paneCount(), 9);
        first->close();
    }
    EXPECT_EQ(Harness::instance().stored(u"Griglia"_s, u"riquadri"_s), u"9"_s);

    std::unique_ptr<MainWindow> window = StartWindow();
    ASSERT_EQ(window->paneGrid()->paneCount(), 9);
    ASSERT_TRUE(WaitFor([&] { return window->isVisible(); }));
    window->resize(900, 621);
    ASSERT_TRUE(WaitFor([&] { return window->size() == QSize(900, 621); }, 5000));
    QSet<QString> names;
    QRect covered;
    for (int i = 0; i < 9; ++i) {
        const WebPane* pane = window->pane(i);
        EXPECT_TRUE(pane->accessibleName().startsWith(u"Pagina di "_s)) << i;
        names.insert(pane->accessibleDescription());
        const auto* label = window->findChild<QLineEdit*>(u"siteLabel%1"_s.arg(i));
        ASSERT_TRUE(label);
        EXPECT_FALSE(label->text().isEmpty()) << i;
        EXPECT_EQ(label->pos(), pane->geometry().topLeft()) << i;
        EXPECT_EQ(pane->geometry().x() / 290, i % 3) << i;
        EXPECT_EQ((pane->geometry().y() - 21) / 190, i / 3) << i;
        covered |= pane->geometry();
    }
    EXPECT_EQ(names.size(), 9);
    EXPECT_TRUE(window->pane(4)->accessibleDescription().startsWith(u"Riquadro 5 (al centro): "_s));
    EXPECT_EQ(covered, QRect(0, 21, 900, 600));

    window->openSettings();
    SettingsDialog* dialog = window->settingsDialog();
    ASSERT_TRUE(dialog);
    for (int i = 0; i < 9; ++i) EXPECT_FALSE(dialog->siteBox(i)->accessibleName().isEmpty()) << i;
    EXPECT_EQ(dialog->siteBox(4)->accessibleName(), u"Riquadro 5 (al centro)"_s);
    dialog->reject();
    window->close();
    window.reset();
    Harness::instance().reset();
}

}  // namespace
}  // namespace quintavia::e2e
