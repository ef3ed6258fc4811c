#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "harness.h"
#include "shell/window/region_box.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// Real keys and clicks, sent to the box itself as a user's reach it: the box, not its line
// edit, has the keyboard focus. Runs on the offscreen platform and on a real X display with a
// window manager.
class RegionBoxE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        Harness::instance().reset();
        window = StartWindow();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        box = window->findChild<RegionBox*>(u"regionBox"_s);
        refresh = window->findChild<QPushButton*>(u"refreshButton"_s);
        ASSERT_TRUE(box && refresh);
        chosen = std::make_unique<QSignalSpy>(box, &RegionBox::regionChosen);
        entered = std::make_unique<QSignalSpy>(box, &RegionBox::textEntered);
        ASSERT_TRUE(WaitFor([] { return Harness::instance().siteRequestLines().size() >= 4; }));
        Harness::instance().server().clearRequests();
    }

    // What the box asked of the window since the last look: choices from the list and Enter
    // presses. Keys and clicks are handled before QTest returns, so this is all that the keys
    // sent so far can have asked.
    struct Asked {
        qsizetype choices = 0;
        qsizetype entered = 0;
        bool operator==(const Asked&) const = default;
    };
    Asked asked() {
        const Asked seen{chosen->count(), entered->count()};
        chosen->clear();
        entered->clear();
        return seen;
    }
    static QList<QByteArray> nextRefresh() { return NextRefreshLines(); }

    void focusTheBox() {
        box->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(WaitFor([&] { return box->hasFocus(); }, 5000));
    }

    // Types into the box in place of what it shows.
    void type(const QString& text) {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<QSignalSpy> chosen;
    std::unique_ptr<QSignalSpy> entered;
    RegionBox* box = nullptr;
    QPushButton* refresh = nullptr;
};

TEST_F(RegionBoxE2e, TypingIsNeverAChoiceAndEnterSearchesTheTextAsTyped) {
    ASSERT_NO_FATAL_FAILURE(focusTheBox());
    type(u"Lombardia"_s);
    EXPECT_EQ(box->currentText(), u"Lombardia"_s);
    EXPECT_EQ(asked(), Asked{});
    EXPECT_EQ(window->controller().regionIndex(), 0);

    // Enter searches the text as "Aggiorna" does; a text that names a region of the list is
    // that region for Jobonline too.
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(asked(), (Asked{.choices = 0, .entered = 1}));
    EXPECT_EQ(nextRefresh(), RefreshRequestLines("Lombardia", "Lombardia", 9));
    EXPECT_EQ(box->currentText(), u"Lombardia"_s);

    // The focus leaves for "Aggiorna": only its own refresh goes out, the same.
    QTest::mouseClick(refresh, Qt::LeftButton);
    EXPECT_EQ(asked(), Asked{});
    EXPECT_EQ(nextRefresh(), RefreshRequestLines("Lombardia", "Lombardia", 9));

    // Nothing completes or corrects what is typed, in any letter case; a text that names no
    // region leaves Jobonline the region named last. The keypad's Enter is Enter too.
    struct Typed {
        QString text;
        int regionNumber;
        Qt::Key enter;
    };
    const Typed cases[] = {
        {u"lazio"_s, 7, Qt::Key_Return},
        {u"sic"_s, 7, Qt::Key_Enter},
        {u"valle d'aosta"_s, 19, Qt::Key_Enter},
    };
    for (const Typed& typed : cases) {
        ASSERT_NO_FATAL_FAILURE(focusTheBox());
        type(typed.text);
        QTest::keyClick(box, typed.enter,
                        typed.enter == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_EQ(box->currentText(), typed.text);
        EXPECT_EQ(asked(), (Asked{.choices = 0, .entered = 1})) << typed.text.toStdString();
        QByteArray inQuery = typed.text.toUtf8();
        inQuery.replace(" ", "%20").replace("'", "%27");
        const QByteArray inPath = typed.text.toUtf8().replace(" ", "%20");
        EXPECT_EQ(nextRefresh(), RefreshRequestLines(inPath, inQuery, typed.regionNumber))
            << typed.text.toStdString();
        EXPECT_EQ(box->currentText(), typed.text);
    }

    // Stepping with the arrow keys opens the list instead of changing the text.
    ASSERT_NO_FATAL_FAILURE(focusTheBox());
    type(u"sic"_s);
    QTest::keyClick(box, Qt::Key_Down);
    ASSERT_TRUE(WaitFor([&] { return box->view()->isVisible(); }, 5000));
    QTest::keyClick(box->view(), Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return !box->view()->isVisible(); }, 5000));
    EXPECT_EQ(box->currentText(), u"sic"_s);
    EXPECT_EQ(asked(), Asked{});

    window->close();
    EXPECT_EQ(Harness::instance().stored(u"Posizione"_s, u"1"_s), u"sic"_s);
}

TEST_F(RegionBoxE2e, AnEntryChosenInTheOpenListIsAChoice) {
    // With the keys, while the list is open.
    ASSERT_NO_FATAL_FAILURE(focusTheBox());
    QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([&] { return box->view()->isVisible(); }, 5000));
    QAbstractItemView* list = box->view();
    list->setCurrentIndex(list->model()->index(0, 0));
    for (int i = 0; i < 6; ++i) QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(asked(), (Asked{.choices = 1, .entered = 0}));
    EXPECT_EQ(nextRefresh(), RefreshRequestLines("Lazio", "Lazio", 7));
    EXPECT_EQ(box->currentText(), u"Lazio"_s);
    EXPECT_EQ(window->controller().regionIndex(), 6);

    // With the mouse: the last entry, the twentieth region.
    box->showPopup();
    ASSERT_TRUE(WaitFor([&] { return list->isVisible(); }, 5000));
    ASSERT_EQ(list->model()->rowCount(), 20);
    const QModelIndex last = list->model()->index(19, 0);
    list->scrollTo(last);
    const QPoint at = list->visualRect(last).center();
    QTest::mouseMove(list->viewport(), at);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(asked(), (Asked{.choices = 1, .entered = 0}));
    EXPECT_EQ(nextRefresh(), RefreshRequestLines("Veneto", "Veneto", 20));
    EXPECT_EQ(box->currentText(), u"Veneto"_s);
    EXPECT_EQ(window->controller().regionIndex(), 19);

    // Choosing the entry the box already shows is a choice all the same.
    box->showPopup();
    ASSERT_TRUE(WaitFor([&] { return list->isVisible(); }, 5000));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(asked(), (Asked{.choices = 1, .entered = 0}));
    EXPECT_EQ(nextRefresh(), RefreshRequestLines("Veneto", "Veneto", 20));
}

}  // namespace
}  // namespace quintavia::e2e
