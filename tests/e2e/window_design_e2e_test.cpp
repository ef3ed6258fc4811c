#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "core/layout/panes.h"
#include "harness.h"
#include "shell/window/found_listings_window.h"
#include "shell/window/settings_dialog.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// The window as it opens, before anything was stored: what each control is called, says and
// shows, and where it stands, in pixels at 15 twips to the pixel.
TEST(WindowDesign, TheTopBandAndTheSiteLabelsAsTheyOpen) {
    Harness::instance().reset();
    auto window = StartWindow();
    EXPECT_EQ(window->windowTitle(), u"Quintavia by Norvello - www.norvello.it"_s);
    EXPECT_EQ(window->size(), QSize(1101, 616));
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_TRUE(window->windowIcon().availableSizes().contains(QSize(32, 32)));
    EXPECT_TRUE(window->windowIcon().availableSizes().contains(QSize(16, 16)));

    struct Control {
        const char* name;
        QString text;
        QString tip;
        QRect geometry;
    };
    const Control band[] = {
        {"regionBox", u"Abruzzo"_s, u"Scelta delle regioni"_s, {2, 0, 141, 21}},
        {"refreshButton", u"Aggiorna"_s, u"Aggiorna manualmente le pagine"_s, {148, 0, 73, 21}},
        {"logBox", u""_s, u"Log"_s, {226, 0, 469, 21}},
        {"soundAlertOption",
         u"Avviso sonoro"_s,
         u"Avviso vocale di nuovi annunci"_s,
         {698, 0, 89, 19}},
        {"autoPositionOption",
         u"Auto Posizione"_s,
         u"Attiva la posizione delle pagine nelle finestre browser salvate"_s,
         {790, 0, 91, 19}},
        {"saveScrollButton",
         u"Salva posizione finestre"_s,
         u"Salva la posizione delle pagine nelle finestre browser"_s,
         {884, 0, 121, 21}},
        {"siteLabelsOption", u"Check3"_s, u"Visualizza Nome Agenzie"_s, {1008, 0, 19, 19}},
        {"settingsButton",
         u"Impostazioni"_s,
         u"Scegli la regione, i siti e le parole da cercare (Ctrl+,)"_s,
         {1030, 0, 69, 21}},
    };
    for (const Control& c : band) {
        auto* widget = window->findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(widget, nullptr) << c.name;
        QString text;
        if (auto* box = qobject_cast<QComboBox*>(widget)) {
            text = box->currentText();
            EXPECT_TRUE(box->isEditable()) << c.name;
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            text = button->text();
        }
        EXPECT_EQ(text, c.text) << c.name;
        EXPECT_EQ(widget->toolTip(), c.tip) << c.name;
        EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
        if (auto* check = qobject_cast<QCheckBox*>(widget)) {
            EXPECT_EQ(check->checkState(), Qt::Unchecked) << c.name;
        }
    }
    const auto base = [&](const char* name) {
        return window->findChild<QWidget*>(QString::fromLatin1(name))
            ->palette()
            .color(QPalette::Base);
    };
    EXPECT_EQ(base("regionBox"), QColor(255, 255, 192));
    EXPECT_EQ(base("logBox"), QColor(192, 255, 255));
    EXPECT_EQ(window->findChild<QComboBox*>(u"regionBox"_s)->count(), 20);
    EXPECT_EQ(window->findChild<QComboBox*>(u"logBox"_s)->count(), 0);

    const QString labels[] = {u"Mio Job"_s, u"Job Rapido"_s, u"Job on Line"_s, u"Info Jobs"_s};
    for (int i = 0; i < kPaneCount; ++i) {
        auto* label = window->findChild<QLineEdit*>(u"siteLabel%1"_s.arg(i));
        ASSERT_NE(label, nullptr) << i;
        EXPECT_EQ(label->text(), labels[i]) << i;
        EXPECT_EQ(label->size(), QSize(77, 19)) << i;
        EXPECT_FALSE(label->isVisible()) << i;
        EXPECT_TRUE(label->font().bold()) << i;
        EXPECT_EQ(label->palette().color(QPalette::Text), QColor(255, 255, 0)) << i;
        EXPECT_EQ(label->palette().color(QPalette::Base), QColor(0, 0, 0)) << i;
    }

    // The keyboard goes through the panes first, then the top band from left to right, then the
    // labels, also once the panes have the widgets that take their keyboard focus.
    ASSERT_TRUE(WaitFor([&] {
        for (int i = 0; i < kPaneCount; ++i)
            if (!window->pane(i)->focusProxy()) return false;
        return true;
    }));
    const QStringList ours = {u"pane0"_s,
                              u"pane1"_s,
                              u"pane2"_s,
                              u"pane3"_s,
                              u"regionBox"_s,
                              u"refreshButton"_s,
                              u"logBox"_s,
                              u"soundAlertOption"_s,
                              u"autoPositionOption"_s,
                              u"saveScrollButton"_s,
                              u"siteLabelsOption"_s,
                              u"settingsButton"_s,
                              u"firstStartHintText"_s,
                              u"firstStartHintClose"_s,
                              u"siteLabel0"_s,
                              u"siteLabel1"_s,
                              u"siteLabel2"_s,
                              u"siteLabel3"_s};
    const auto chain = [&] {
        QStringList order;
        QWidget* at = window->pane(0);
        for (int steps = 0; steps < 100 && order.size() < ours.size(); ++steps) {
            if (ours.contains(at->objectName()) && !order.contains(at->objectName()))
                order << at->objectName();
            at = at->nextInFocusChain();
        }
        return order;
    };
    EXPECT_TRUE(WaitFor([&] { return chain() == ours; }, 5000))
        << ::testing::PrintToString(chain());
}

// The contrast of two colours as the web's accessibility guidelines measure it, from 1 to 21.
double Contrast(QColor a, QColor b) {
    const auto luminance = [](QColor c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// How the text of a box's field stands out from the box's background, as drawn: the pixels
// that the text changes, against the background, at their most legible.
double DrawnTextContrast(QComboBox* box, const QString& text) {
    const QString before = box->currentText();
    box->setEditText(QString());
    const QImage empty = box->lineEdit()->grab().toImage();
    box->setEditText(text);
    const QImage written = box->lineEdit()->grab().toImage();
    box->setEditText(before);
    const QColor background = box->palette().color(QPalette::Base);
    double best = 1;
    for (int y = 0; y < written.height(); ++y)
        for (int x = 0; x < written.width(); ++x)
            if (written.pixel(x, y) != empty.pixel(x, y))
                best = std::max(best, Contrast(written.pixelColor(x, y), background));
    return best;
}

// A dark desktop theme brings near-white text for its dark fields: the design's pale boxes keep
// a text colour that reads on them.
TEST(WindowDesign, TheColouredBoxesStayReadableUnderADarkTheme) {
    Harness::instance().reset();
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    for (const auto& [role, colour] : {std::pair{QPalette::Window, QColor(53, 53, 53)},
                                       {QPalette::WindowText, QColor(238, 238, 236)},
                                       {QPalette::Base, QColor(45, 45, 45)},
                                       {QPalette::AlternateBase, QColor(53, 53, 53)},
                                       {QPalette::Text, QColor(238, 238, 236)},
                                       {QPalette::Button, QColor(53, 53, 53)},
                                       {QPalette::ButtonText, QColor(238, 238, 236)}})
        dark.setColor(role, colour);
    QApplication::setPalette(dark);
    {
        auto window = StartWindow();
        ASSERT_TRUE(WaitFor([&] { return window->isVisible(); }));
        const std::pair<const char*, QColor> boxes[] = {{"regionBox", QColor(255, 255, 192)},
                                                        {"logBox", QColor(192, 255, 255)}};
        for (const auto& [name, background] : boxes) {
            auto* box = window->findChild<QComboBox*>(QString::fromLatin1(name));
            ASSERT_NE(box, nullptr) << name;
            EXPECT_EQ(box->palette().color(QPalette::Base), background) << name;
            EXPECT_GE(DrawnTextContrast(box, u"Jobonline: CUOCO CAPO PARTITA"_s), 7.0) << name;
        }
    }
    QApplication::setPalette(before);
}

}  // namespace
}  // namespace quintavia::e2e

namespace quintavia::e2e {
namespace {

using support::WaitFor;

// Closing the main window ends the program: its list and its dialog close with it, and none of
// them keeps the program running once the main window is gone.
TEST(WindowDesign, ClosingTheMainWindowClosesItsOtherWindowsToo) {
    Harness::instance().reset();
    auto window = StartWindow();
    window->show();
    window->showFound();
    window->openSettings();
    FoundListingsWindow* list = window->foundWindow();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(WaitFor([&] { return list->isVisible() && window->settingsDialog(); }));
    EXPECT_FALSE(list->testAttribute(Qt::WA_QuitOnClose));
    QPointer<SettingsDialog> dialog = window->settingsDialog();
    window->close();
    EXPECT_TRUE(WaitFor([&] { return !list->isVisible() && (!dialog || !dialog->isVisible()); }));
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace quintavia::e2e
