#include "shell/window/region_box.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace quintavia {

RegionBox::RegionBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // The user types into the box; only the program adds entries to the list, and what is
    // typed stays exactly as typed.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!typing_) emit regionChosen(index);
    });
}

void RegionBox::keyPressEvent(QKeyEvent* event) {
    // Keys reach this handler only while the list is closed: the open list takes its own.
    // Stepping through the closed list would change the text without a choice: those keys
    // open the list instead, where the same keys choose.
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (event->modifiers() == Qt::NoModifier) {
                showPopup();
                return;
            }
            break;
        default:
            break;
    }
    typing_ = true;
    QComboBox::keyPressEvent(event);
    typing_ = false;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) emit textEntered();
}

void RegionBox::focusOutEvent(QFocusEvent* event) {
    typing_ = true;
    QComboBox::focusOutEvent(event);
    typing_ = false;
}

void RegionBox::wheelEvent(QWheelEvent* event) {
    // Stepping through a closed list would change the text without a choice.
    event->ignore();
}

}  // namespace quintavia
