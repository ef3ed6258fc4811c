#pragma once

#include <QComboBox>

namespace quintavia {

// The region box: an editable drop-down whose text the user may type freely. Only an entry
// chosen in the open list (with the mouse, or with the keys while the list is open) is a
// region choice; typing never is, whatever text it ends on, and the box never completes or
// rewrites what is typed.
//
// QComboBox reports `activated` also when typing ends on a text that matches an entry (Enter,
// or the focus leaving), and when the arrow keys or the wheel step through a closed list. It
// hands its key presses and focus changes to its line edit by direct calls that no event
// filter sees, so they are told apart here, in the box's own handlers.
class RegionBox final : public QComboBox {
    Q_OBJECT
  public:
    explicit RegionBox(QWidget* parent = nullptr);

  signals:
    void regionChosen(int index);
    // Enter (or the keypad's) pressed while the list is closed: the text as it stands is to be
    // searched, as "Aggiorna" does.
    void textEntered();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    bool typing_ = false;  // while the box handles a key or the focus leaving
};

}  // namespace quintavia
