#include "app/check_box.h"

#include "app/window_controls.h"

namespace quintavia {

int CheckBox3::value() const {
    switch (checkState()) {
        case Qt::Checked:
            return kTicked;
        case Qt::PartiallyChecked:
            return kGreyed;
        default:
            return kUnticked;
    }
}

bool CheckBox3::setValue(int value) {
    switch (value) {
        case kUnticked:
            setCheckState(Qt::Unchecked);
            return true;
        case kTicked:
            setCheckState(Qt::Checked);
            return true;
        case kGreyed:
            setCheckState(Qt::PartiallyChecked);
            return true;
        default:
            return false;
    }
}

void CheckBox3::nextCheckState() {
    setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
    setTristate(false);
}

}  // namespace quintavia
