#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace quintavia {

// The window is a window to assistive technology as well: Qt gives a plain top-level widget
// the role of a filler. Installed once, for every main window.
void InstallWindowAccessibility();

// The engine draws each page through a window of its own that is never shown, and Qt lists
// such windows among the program's windows to assistive technology, as frames named
// "Offscreen". Typed as pop-ups they are left out there; nothing else looks at the type of a
// window that is never shown.
void HideOffscreenWindowsFromAssistiveTechnology();

// Qt names a combo box by its text on Linux, and says what it is for by the label that has it
// as its buddy: the design shows none, so the label is there for assistive technology alone.
void AddSpokenLabel(QWidget* box, const QString& spokenName);

// The design's colours come with the design's text colour: a theme's own text colour, set for
// its own backgrounds, can be near-white on the pale yellow and cyan.
void SetDesignColours(QWidget* widget, QColor background);

}  // namespace quintavia
