#pragma once

#include <QComboBox>
#include <QList>
#include <QPushButton>
#include <QWidget>

#include "shell/window/region_box.h"
#include "shell/window/tri_state_check_box.h"

namespace quintavia {

// The controls of the window's top band, made on the window itself as the design has them,
// each named for assistive technology, and placed by the band's layout.
struct BandControls {
    RegionBox* regionBox = nullptr;
    QPushButton* refreshButton = nullptr;
    QComboBox* logBox = nullptr;
    TriStateCheckBox* soundAlertOption = nullptr;
    TriStateCheckBox* autoPositionOption = nullptr;
    QPushButton* saveScrollButton = nullptr;
    TriStateCheckBox* siteLabelsOption = nullptr;
    QPushButton* settingsButton = nullptr;

    // Makes the controls as children of `window`.
    static BandControls MakeOn(QWidget* window);
    // Places them for the window's width (TopBand).
    void layOut(int clientWidth) const;
    // Left to right, as the band places them (BandControl).
    QList<QWidget*> inOrder() const;
};

}  // namespace quintavia
