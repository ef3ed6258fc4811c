#pragma once

#include <QCheckBox>

#include "core/watch/kept.h"

namespace quintavia {

// A check box that holds three values: unticked, ticked and greyed. Only the program sets the
// greyed value; a click toggles between unticked and ticked.
class TriStateCheckBox final : public QCheckBox {
    Q_OBJECT
  public:
    using QCheckBox::QCheckBox;

    TriState value() const;
    void setValue(TriState value);

  protected:
    void nextCheckState() override;
};

}  // namespace quintavia
