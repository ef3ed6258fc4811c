#pragma once

class QWidget;

namespace quintavia {

// "Informazioni su Quintavia": the program's and the engine's versions, whether the engine
// runs hardened and in its sandbox, and how many requests the blocking stopped. One box at a
// time, which holds nothing else up.
void ShowAbout(QWidget* parent);

}  // namespace quintavia
