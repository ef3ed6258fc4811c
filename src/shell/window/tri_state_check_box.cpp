#include "shell/window/tri_state_check_box.h"

namespace quintavia {

TriState TriStateCheckBox::value() const {
    switch (checkState()) {
        case Qt::Checked:
            return TriState::Ticked;
        case Qt::PartiallyChecked:
            return TriState::Greyed;
        default:
            return TriState::Unticked;
    }
}

void TriStateCheckBox::setValue(TriState value) {
    switch (value) {
        case TriState::Ticked:
            setCheckState(Qt::Checked);
            break;
        case TriState::Greyed:
            setCheckState(Qt::PartiallyChecked);
            break;
        default:
            setCheckState(Qt::Unchecked);
    }
}

void TriStateCheckBox::nextCheckState() {
    setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
    setTristate(false);
}

}  // namespace quintavia
