#include "shell/desktop/qt_beep.h"

#include <QApplication>

namespace quintavia {

void QtBeep::beep() {
    QApplication::beep();
}

}  // namespace quintavia
