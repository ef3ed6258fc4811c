#pragma once

#include <QCheckBox>

namespace quintavia {

// A check box that holds the three values 0 (unticked), 1 (ticked) and 2 (greyed). Only the
// program sets the greyed value; a click toggles between unticked and ticked.
class CheckBox3 final : public QCheckBox {
    Q_OBJECT
  public:
    using QCheckBox::QCheckBox;

    int value() const;
    bool setValue(int value);

  protected:
    void nextCheckState() override;
};

}  // namespace quintavia
