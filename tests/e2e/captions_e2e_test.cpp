#include <gtest/gtest.h>

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

std::string Pixels(QSize size) {
    return std::to_string(size.width()) + "x" + std::to_string(size.height()) + " px";
}

// What a caption needs, with what the style puts around it: for a check box, the style's own
// measure of the mark, the gap and the caption.
QSize MarkAndCaption(const QWidget* box) {
    return box->sizeHint();
}

QSize CaptionInFrame(const QWidget* widget) {
    const auto* button = qobject_cast<const QPushButton*>(widget);
    // The frame and margins the style puts around a caption, asked for a button without one:
    // with a caption, the style also rounds a small button up to a width of its liking, which
    // says nothing about the caption.
    QStyleOptionButton option;
    option.initFrom(button);
    option.features =
        button->autoDefault() ? QStyleOptionButton::AutoDefaultButton : QStyleOptionButton::None;
    const QSize around =
        button->style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(), button);
    return button->fontMetrics().size(Qt::TextShowMnemonic, button->text()) + around;
}

QSize TextLine(const QWidget* label) {
    const QString text = label->property("text").toString();
    return {label->fontMetrics().horizontalAdvance(text), label->fontMetrics().height()};
}

// The room a widget gives its caption.

QSize WholeWidget(const QWidget* widget) {
    return widget->size();
}

QSize LineEditContents(const QWidget* widget) {
    const auto* label = qobject_cast<const QLineEdit*>(widget);
    QStyleOptionFrame option;
    option.initFrom(label);
    option.lineWidth = label->hasFrame() ? label->style()->pixelMetric(QStyle::PM_DefaultFrameWidth,
                                                                       &option, label)
                                         : 0;
    const QRect contents = label->style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, label)
                               .marginsRemoved(label->textMargins());
    return {contents.width() - 2 * kLineEditSideMargin, contents.height()};
}

// Each control's whole caption fits in the room it has, measured in the font it is drawn in.
TEST(Captions, EachCaptionFitsItsControl) {
    Harness::instance().reset();
    const std::unique_ptr<MainWindow> window = StartWindow();
    ASSERT_TRUE(WaitFor([&] { return window->isVisible(); }));
    // The controls by their object names, all in one place: the names are about to change.
    const struct {
        const char* widget;
        const char* kind;
        QSize (*caption)(const QWidget*);
        QSize (*room)(const QWidget*);
        bool bold;
    } cases[] = {
        {"soundAlertOption", "QCheckBox", MarkAndCaption, WholeWidget, false},
        {"autoPositionOption", "QCheckBox", MarkAndCaption, WholeWidget, false},
        {"refreshButton", "QPushButton", CaptionInFrame, WholeWidget, false},
        {"saveScrollButton", "QPushButton", CaptionInFrame, WholeWidget, false},
        {"settingsButton", "QPushButton", CaptionInFrame, WholeWidget, false},
        {"siteLabel0", "QLineEdit", TextLine, LineEditContents, true},
        {"siteLabel1", "QLineEdit", TextLine, LineEditContents, true},
        {"siteLabel2", "QLineEdit", TextLine, LineEditContents, true},
        {"siteLabel3", "QLineEdit", TextLine, LineEditContents, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.widget);
        const auto* widget = window->findChild<QWidget*>(QString::fromLatin1(c.widget));
        ASSERT_NE(widget, nullptr);
        ASSERT_TRUE(widget->inherits(c.kind));
        const QString text = widget->property("text").toString();
        ASSERT_FALSE(text.isEmpty());
        const QSize caption = c.caption(widget);
        const QSize room = c.room(widget);
        EXPECT_LE(caption.width(), room.width())
            << Describe(widget, text) << ": needs " << Pixels(caption) << ", has " << Pixels(room);
        EXPECT_LE(caption.height(), room.height())
            << Describe(widget, text) << ": needs " << Pixels(caption) << ", has " << Pixels(room);
        EXPECT_EQ(widget->font().bold(), c.bold) << Describe(widget, text);
    }
}

}  // namespace
}  // namespace quintavia::e2e
