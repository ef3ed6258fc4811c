#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/layout/panes.h"
#include "harness.h"

namespace quintavia::e2e {
namespace {

constexpr int kStripPixels = 21;  // 315 twips

class PaneLayoutE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        Harness::instance().reset();
        window = StartWindow();
        ASSERT_TRUE(WaitFor([&] { return window->isVisible(); }));
    }

    QLineEdit* label(int i) const {
        return window->findChild<QLineEdit*>(QStringLiteral("siteLabel%1").arg(i));
    }

    bool resizeTo(QSize size) {
        window->resize(size);
        return WaitFor([&] { return window->size() == size; }, 5000);
    }

    // The grid worked out in whole pixels for the window's current size: each half is rounded
    // to the nearest pixel, and a client area shorter than the strip leaves the heights as
    // they were.
    ::testing::AssertionResult gridIsExact() {
        const int width = static_cast<int>(std::lround(window->width() / 2.0));
        if (window->height() >= kStripPixels)
            height_ = static_cast<int>(std::lround((window->height() - kStripPixels) / 2.0));
        const QRect expected[] = {
            {0, kStripPixels, width, height_},
            {width, kStripPixels, width, height_},
            {0, kStripPixels + height_, width, height_},
            {width, kStripPixels + height_, width, height_},
        };
        for (int i = 0; i < kPaneCount; ++i) {
            const QRect pane = window->pane(i)->geometry();
            if (pane != expected[i])
                return ::testing::AssertionFailure()
                       << "window " << window->width() << "x" << window->height() << ": pane " << i
                       << " at " << pane.x() << "," << pane.y() << " " << pane.width() << "x"
                       << pane.height();
            if (label(i)->pos() != pane.topLeft())
                return ::testing::AssertionFailure() << "label " << i << " is off its pane";
        }
        return ::testing::AssertionSuccess();
    }

    std::unique_ptr<MainWindow> window;
    int height_ = 0;
};

TEST_F(PaneLayoutE2e, TheGridFollowsEveryResize) {
    EXPECT_EQ(window->size(), QSize(1101, 616));
    EXPECT_TRUE(gridIsExact());
    for (const QSize size : {QSize(800, 600), QSize(801, 601), QSize(1003, 437), QSize(640, 21),
                             QSize(901, 500), QSize(640, 10), QSize(333, 5), QSize(1280, 720)}) {
        ASSERT_TRUE(resizeTo(size)) << size.width() << "x" << size.height();
        EXPECT_TRUE(gridIsExact());
    }

    window->showMaximized();
    ASSERT_TRUE(WaitFor([&] { return window->isMaximized(); }, 5000));
    EXPECT_TRUE(WaitFor([&] { return bool(gridIsExact()); }, 5000)) << gridIsExact().message();
    window->showMinimized();
    ASSERT_TRUE(WaitFor([&] { return window->isMinimized(); }, 5000));
    EXPECT_TRUE(WaitFor([&] { return bool(gridIsExact()); }, 5000)) << gridIsExact().message();
    window->showNormal();
    ASSERT_TRUE(WaitFor([&] { return !window->isMinimized() && !window->isMaximized(); }, 5000));
    EXPECT_TRUE(WaitFor([&] { return bool(gridIsExact()); }, 5000)) << gridIsExact().message();
}

TEST_F(PaneLayoutE2e, TheSiteLabelsOptionShowsTheLabelsInFrontOfThePanes) {
    auto* option = window->findChild<QCheckBox*>(QStringLiteral("siteLabelsOption"));
    ASSERT_NE(option, nullptr);
    for (int i = 0; i < kPaneCount; ++i) EXPECT_FALSE(label(i)->isVisible()) << i;

    ASSERT_TRUE(resizeTo(QSize(900, 700)));
    option->click();
    ASSERT_TRUE(WaitFor([&] { return window->pane(3)->focusProxy() != nullptr; }));
    for (int i = 0; i < kPaneCount; ++i) {
        ASSERT_TRUE(label(i)->isVisible()) << i;
        // The label, not the page under it, is what a click on the pane's corner meets.
        QWidget* top = window->childAt(window->pane(i)->geometry().topLeft() + QPoint(3, 3));
        EXPECT_TRUE(top == label(i) || label(i)->isAncestorOf(top)) << i;
    }
    EXPECT_TRUE(gridIsExact());

    option->click();
    for (int i = 0; i < kPaneCount; ++i) EXPECT_FALSE(label(i)->isVisible()) << i;
    ASSERT_TRUE(resizeTo(QSize(1000, 650)));
    option->click();  // moved while hidden, shown in place
    EXPECT_TRUE(gridIsExact());
    for (int i = 0; i < kPaneCount; ++i) EXPECT_TRUE(label(i)->isVisible()) << i;
}

// The top band at any width: every control whole and in the window, in its order, for as long
// as the log box can give (the design's own controls a while longer); the log box takes what the
// window has more or less than the design.
TEST_F(PaneLayoutE2e, TheTopBandGivesTheLogBoxTheRoomAndCutsNoOtherControl) {
    const char* const names[] = {"regionBox",        "refreshButton",      "logBox",
                                 "soundAlertOption", "autoPositionOption", "saveScrollButton",
                                 "siteLabelsOption", "settingsButton"};
    const auto band = [&] {
        QList<QRect> rects;
        for (const char* name : names)
            rects << window->findChild<QWidget*>(QString::fromLatin1(name))->geometry();
        return rects;
    };
    const QList<QRect> designed = band();
    constexpr int kLog = 2;
    const auto expectFollows = [&](const char* what) {
        const QList<QRect> now = band();
        const int change = std::max(100 - designed[kLog].width(), window->width() - 1101);
        // "Impostazioni" stands in the room the design leaves at its right end: once the log box
        // can give no more, it is the first that a narrower window cuts.
        const bool logGives = change > 100 - designed[kLog].width();
        for (int i = 0; i < now.size(); ++i) {
            if (logGives || names[i] != std::string_view("settingsButton")) {
                EXPECT_LE(now[i].right(), window->width() - 1)
                    << what << ": " << names[i] << " cut";
            }
            if (i > 0) {
                EXPECT_GT(now[i].left(), now[i - 1].right()) << what << ": " << names[i];
            }
            EXPECT_EQ(now[i].top(), designed[i].top()) << what << ": " << names[i];
            EXPECT_EQ(now[i].height(), designed[i].height()) << what << ": " << names[i];
            EXPECT_EQ(now[i].width(), designed[i].width() + (i == kLog ? change : 0))
                << what << ": " << names[i];
            EXPECT_EQ(now[i].left(), designed[i].left() + (i > kLog ? change : 0))
                << what << ": " << names[i];
        }
    };
    for (const QSize size : {QSize(760, 480), QSize(683, 700), QSize(1200, 700)}) {
        ASSERT_TRUE(resizeTo(size)) << size.width() << "x" << size.height();
        expectFollows("resized");
    }
    window->showMaximized();
    ASSERT_TRUE(WaitFor([&] { return window->isMaximized() && window->width() != 1200; }, 5000));
    expectFollows("maximised");
    window->showNormal();
    ASSERT_TRUE(WaitFor([&] { return !window->isMaximized(); }, 5000));
    ASSERT_TRUE(resizeTo(QSize(1101, 616)));
    EXPECT_EQ(band(), designed);
}

}  // namespace
}  // namespace quintavia::e2e
