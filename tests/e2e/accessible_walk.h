// What assistive technology finds in a window, walked through Qt's accessibility interfaces as
// a screen reader walks them.
#pragma once

#include <QAbstractButton>
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>
#include <QTabBar>
#include <QWebEngineView>

namespace quintavia::e2e {

// The faults of every element under `root` and of `root` itself, one line each: a control
// or an item with no name, or named by its value (what a box shows changes; what it is for does
// not) or by a design-time name such as "Check3"; a control or window without a description; a text
// field that takes typing where it only shows a name. A page's content is the site's: the
// walk stops at the browser view, which must be named itself.
inline QStringList AccessibilityFaults(QAccessibleInterface* root, const QString& path = {}) {
    using namespace Qt::Literals::StringLiterals;
    QStringList faults;
    if (!root || !root->isValid()) return faults;
    const QAccessible::Role role = root->role();
    QObject* object = root->object();
    QString name = root->text(QAccessible::Name);
    // Qt names a combo box by its text on Linux, and what it is for by the label that has it as
    // its buddy, as a screen reader reads it.
    if (role == QAccessible::ComboBox) {
        name.clear();
        for (const auto& [label, relation] : root->relations(QAccessible::Label))
            name = label->text(QAccessible::Name);
    }
    const QString where =
        path + u'/' + QString::number(role, 16) +
        (object && !object->objectName().isEmpty() ? u'(' + object->objectName() + u')'
                                                   : QString()) +
        u" \""_s + name + u'"';
    // Controls and the windows and panes that hold them say what they are and what they are
    // for; items are named by what they hold; labels, pictures and separators are read as
    // they are.
    static const QList<QAccessible::Role> kControls = {
        QAccessible::Window,       QAccessible::Dialog,   QAccessible::Client,
        QAccessible::PushButton,   QAccessible::CheckBox, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::PopupMenu};
    const bool control = kControls.contains(role);
    // A list gives no description in Qt, only its name.
    const bool item =
        role == QAccessible::ListItem || role == QAccessible::MenuItem || role == QAccessible::List;
    if ((control || item) && name.trimmed().isEmpty()) faults << where + u": no name"_s;
    static const QRegularExpression designName(
        QStringLiteral("^(Check|Combo|Command|Text|Form|Timer|WebBrowser)\\d+$"));
    if (designName.match(name).hasMatch()) faults << where + u": a design-time name"_s;
    const QString value = root->text(QAccessible::Value);
    if ((role == QAccessible::ComboBox || role == QAccessible::EditableText) && !value.isEmpty() &&
        name == value)
        faults << where + u": named by its value"_s;
    if (control && root->text(QAccessible::Description).trimmed().isEmpty())
        faults << where + u": no description"_s;
    // A name that only shows is neither typed into nor told as a field that could be.
    if (auto* edit = qobject_cast<QLineEdit*>(object);
        edit && edit->objectName().startsWith(u"siteLabel"_s) &&
        (!root->state().readOnly || root->state().editable || root->editableTextInterface()))
        faults << where + u": can be typed into, or says so"_s;
    if (qobject_cast<QWebEngineView*>(object)) return faults;
    for (int i = 0; i < root->childCount(); ++i)
        faults << AccessibilityFaults(root->child(i), where);
    return faults;
}

inline QStringList AccessibilityFaults(QObject* root) {
    return AccessibilityFaults(QAccessible::queryAccessibleInterface(root));
}

// The Alt letters that more than one of a window's visible buttons, labels of a field, group
// boxes or tabs claim, each with its claimants: Qt then only moves between them, and no press
// of the letter does what either says.
inline QStringList MnemonicClashes(QWidget* window) {
    using namespace Qt::Literals::StringLiterals;
    QMap<QChar, QStringList> owners;
    const auto take = [&](const QString& text) {
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != u'&') continue;
            if (text[i + 1] == u'&') {
                ++i;
                continue;
            }
            owners[text[i + 1].toLower()] << text;
            return;
        }
    };
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window)) continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) take(button->text());
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy())
            take(label->text());
        if (auto* group = qobject_cast<QGroupBox*>(widget)) take(group->title());
        if (auto* tabs = qobject_cast<QTabBar*>(widget))
            for (int i = 0; i < tabs->count(); ++i) take(tabs->tabText(i));
    }
    QStringList clashes;
    for (auto owner = owners.cbegin(); owner != owners.cend(); ++owner)
        if (owner.value().size() > 1)
            clashes << owner.key() + u": "_s + owner.value().join(u", "_s);
    return clashes;
}

}  // namespace quintavia::e2e
