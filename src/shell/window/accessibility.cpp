#include "shell/window/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QWindow>

namespace quintavia {
namespace {

// A pane's site label shows a name and takes no typing: as a text field it would be told as
// editable and read-only at once, and offered for editing.
class SiteLabelAccessible final : public QAccessibleWidget {
  public:
    explicit SiteLabelAccessible(QLineEdit* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return static_cast<QLineEdit*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.editable = false;
        return state;
    }
};

QAccessibleInterface* WindowAccessible(const QString& className, QObject* object) {
    if (className == u"quintavia::MainWindow" && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    if (className == u"QLineEdit" && object && object->objectName().startsWith(u"siteLabel") &&
        static_cast<QLineEdit*>(object)->isReadOnly())
        return new SiteLabelAccessible(static_cast<QLineEdit*>(object));
    return nullptr;
}

}  // namespace

void InstallWindowAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(WindowAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

void HideOffscreenWindowsFromAssistiveTechnology() {
    for (QWindow* window : QGuiApplication::topLevelWindows())
        if (window->inherits("QQuickWidgetOffscreenWindow") && window->type() != Qt::Popup)
            window->setFlags(window->flags() | Qt::Popup);
}

void AddSpokenLabel(QWidget* box, const QString& spokenName) {
    auto* label = new QLabel(spokenName, box->parentWidget());
    label->setObjectName(box->objectName() + QStringLiteral("Label"));
    label->setBuddy(box);
    label->hide();
}

void SetDesignColours(QWidget* widget, QColor background) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, Qt::black);
    widget->setPalette(palette);
}

}  // namespace quintavia
