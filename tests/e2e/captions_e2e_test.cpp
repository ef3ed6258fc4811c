#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>

#include "harness.h"

namespace quintavia::e2e {
namespace {

// The controls by their object names, all in one place: the names are about to change.
constexpr const char* kCheckBoxes[] = {"soundAlertOption", "autoPositionOption"};
constexpr const char* kButtons[] = {"refreshButton", "saveScrollButton"};
constexpr const char* kSiteLabels[] = {"siteLabel0", "siteLabel1", "siteLabel2", "siteLabel3"};

// QLineEdit keeps this many pixels clear on either side of its text, inside its contents
// (QLineEditPrivate::horizontalMargin, not reachable through the style).
constexpr int kLineEditSideMargin = 2;

std::string Describe(const QWidget* widget, const QString& text) {
    const QFontInfo info(widget->font());
    return widget->objectName().toStdString() + " \"" + text.toStdString() + "\" in " +
           info.family().toStdString() + " " + std::to_string(info.pixelSize()) + " px on " +
           QGuiApplication::platformName().toStdString() + ", " +
           widget->style()->name().toStdString() + " style";
}

class Captions : public ::testing::Test {
  protected:
    void SetUp() override {
        Harness::instance().reset();
        window = StartWindow();
        ASSERT_TRUE(WaitFor([&] { return window->isVisible(); }));
    }

    template <typename T>
    T* control(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }

    std::unique_ptr<MainWindow> window;
};

TEST_F(Captions, CheckBoxCaptionsFitBesideTheirMarks) {
    for (const char* name : kCheckBoxes) {
        auto* box = control<QCheckBox>(name);
        ASSERT_NE(box, nullptr) << name;
        ASSERT_FALSE(box->text().isEmpty()) << name;
        // The style's own measure of the mark, the gap and the caption.
        const QSize needed = box->sizeHint();
        EXPECT_LE(needed.width(), box->width())
            << Describe(box, box->text()) << ": caption "
            << box->fontMetrics().horizontalAdvance(box->text()) << " px";
        EXPECT_LE(needed.height(), box->height()) << Describe(box, box->text());
    }
}

TEST_F(Captions, ButtonCaptionsFitWithinTheirFrames) {
    for (const char* name : kButtons) {
        auto* button = control<QPushButton>(name);
        ASSERT_NE(button, nullptr) << name;
        ASSERT_FALSE(button->text().isEmpty()) << name;
        // The frame and margins the style puts around a caption, asked for a button without
        // one: with a caption, the style also rounds a small button up to a width of its
        // liking, which says nothing about the caption.
        QStyleOptionButton option;
        option.initFrom(button);
        option.features = button->autoDefault() ? QStyleOptionButton::AutoDefaultButton
                                                : QStyleOptionButton::None;
        const QSize around =
            button->style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(), button);
        const QSize caption = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
        EXPECT_LE(caption.width() + around.width(), button->width())
            << Describe(button, button->text()) << ": caption " << caption.width()
            << " px, margins " << around.width() << " px";
        EXPECT_LE(caption.height() + around.height(), button->height())
            << Describe(button, button->text());
    }
}

TEST_F(Captions, SiteLabelsShowTheirWholeNames) {
    for (const char* name : kSiteLabels) {
        auto* label = control<QLineEdit>(name);
        ASSERT_NE(label, nullptr) << name;
        ASSERT_FALSE(label->text().isEmpty()) << name;
        QStyleOptionFrame option;
        option.initFrom(label);
        option.lineWidth = label->hasFrame() ? label->style()->pixelMetric(
                                                   QStyle::PM_DefaultFrameWidth, &option, label)
                                             : 0;
        const QRect contents = label->style()
                                   ->subElementRect(QStyle::SE_LineEditContents, &option, label)
                                   .marginsRemoved(label->textMargins());
        const int room = contents.width() - 2 * kLineEditSideMargin;
        const int text = label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_LE(text, room) << Describe(label, label->text()) << ": " << label->width()
                              << " px wide";
        EXPECT_LE(label->fontMetrics().height(), contents.height())
            << Describe(label, label->text());
        EXPECT_TRUE(label->font().bold()) << Describe(label, label->text());
    }
}

}  // namespace
}  // namespace quintavia::e2e
