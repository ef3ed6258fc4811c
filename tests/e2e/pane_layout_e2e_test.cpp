#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <cmath>

#include "bench.h"

namespace quintavia::e2e {
namespace {

constexpr int kStripPixels = 21;  // 315 twips

class PaneLayoutE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        Bench::instance().reset();
        form = StartWindow();
        ASSERT_TRUE(WaitUntil([&] { return form->isVisible(); }));
    }

    QLineEdit* label(int i) const {
        return form->findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(i));
    }

    bool resizeTo(QSize size) {
        form->resize(size);
        return WaitUntil([&] { return form->size() == size; }, 5000);
    }

    // The grid worked out in whole pixels for the window's current size: each half is rounded
    // to the nearest pixel, and a client area shorter than the strip leaves the heights as
    // they were.
    ::testing::AssertionResult gridIsExact() {
        const int width = static_cast<int>(std::lround(form->width() / 2.0));
        if (form->height() >= kStripPixels)
            height_ = static_cast<int>(std::lround((form->height() - kStripPixels) / 2.0));
        const QRect expected[] = {
            {0, kStripPixels, width, height_},
            {width, kStripPixels, width, height_},
            {0, kStripPixels + height_, width, height_},
            {width, kStripPixels + height_, width, height_},
        };
        for (int i = 0; i < kSiteCount; ++i) {
            const QRect pane = form->pane(i)->geometry();
            if (pane != expected[i])
                return ::testing::AssertionFailure()
                       << "window " << form->width() << "x" << form->height() << ": pane " << i
                       << " at " << pane.x() << "," << pane.y() << " " << pane.width() << "x"
                       << pane.height();
            if (label(i)->pos() != pane.topLeft())
                return ::testing::AssertionFailure() << "label " << i << " is off its pane";
        }
        return ::testing::AssertionSuccess();
    }

    std::unique_ptr<Form1> form;
    int height_ = 0;
};

TEST_F(PaneLayoutE2e, TheGridFollowsEveryResize) {
    EXPECT_EQ(form->size(), QSize(1101, 616));
    EXPECT_TRUE(gridIsExact());
    for (const QSize size : {QSize(800, 600), QSize(801, 601), QSize(1003, 437), QSize(640, 21),
                             QSize(901, 500), QSize(640, 10), QSize(333, 5), QSize(1280, 720)}) {
        ASSERT_TRUE(resizeTo(size)) << size.width() << "x" << size.height();
        EXPECT_TRUE(gridIsExact());
    }

    form->showMaximized();
    ASSERT_TRUE(WaitUntil([&] { return form->isMaximized(); }, 5000));
    WaitUntil([] { return false; }, 300);
    EXPECT_TRUE(gridIsExact());
    form->showMinimized();
    WaitUntil([] { return false; }, 300);
    EXPECT_TRUE(gridIsExact());
    form->showNormal();
    WaitUntil([] { return false; }, 300);
    EXPECT_TRUE(gridIsExact());
}

TEST_F(PaneLayoutE2e, Check3ShowsTheLabelsInFrontOfThePanes) {
    auto* check3 = form->findChild<QCheckBox*>(QStringLiteral("Check3"));
    ASSERT_NE(check3, nullptr);
    for (int i = 0; i < kSiteCount; ++i) EXPECT_FALSE(label(i)->isVisible()) << i;

    ASSERT_TRUE(resizeTo(QSize(900, 700)));
    check3->click();
    ASSERT_TRUE(WaitUntil([&] { return form->pane(3)->focusProxy() != nullptr; }));
    for (int i = 0; i < kSiteCount; ++i) {
        ASSERT_TRUE(label(i)->isVisible()) << i;
        // The label, not the page under it, is what a click on the pane's corner meets.
        QWidget* top = form->childAt(form->pane(i)->geometry().topLeft() + QPoint(3, 3));
        EXPECT_TRUE(top == label(i) || label(i)->isAncestorOf(top)) << i;
    }
    EXPECT_TRUE(gridIsExact());

    check3->click();
    for (int i = 0; i < kSiteCount; ++i) EXPECT_FALSE(label(i)->isVisible()) << i;
    ASSERT_TRUE(resizeTo(QSize(1000, 650)));
    check3->click();  // moved while hidden, shown in place
    EXPECT_TRUE(gridIsExact());
    for (int i = 0; i < kSiteCount; ++i) EXPECT_TRUE(label(i)->isVisible()) << i;
}

}  // namespace
}  // namespace quintavia::e2e
