#include "shell/window/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QWindow>

namespace quintavia {
namespace {

QAccessibleInterface* WindowAccessible(const QString& className, QObject* object) {
    if (className == u"quintavia::MainWindow" && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
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
