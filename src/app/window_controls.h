#pragma once

#include <QString>
#include <optional>

namespace quintavia {

enum class CheckBox { Check1, Check2, Check3 };

// Check-box values: 0 unticked, 1 ticked, 2 greyed.
inline constexpr int kUnticked = 0;
inline constexpr int kTicked = 1;
inline constexpr int kGreyed = 2;

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// The window's own controls as the core sees them. Mutators return false when the control
// refuses the change.
class WindowControls {
  public:
    virtual ~WindowControls() = default;

    // Combo1, the region box.
    virtual bool appendRegion(const QString& region) = 0;
    virtual QString regionText() const = 0;
    virtual bool setRegionText(const QString& text) = 0;
    virtual int regionListIndex() const = 0;  // -1 when no entry is selected

    // Combo2, the log box.
    virtual bool appendLogEntry(const QString& entry) = 0;
    virtual bool setLogText(const QString& text) = 0;

    virtual int checkValue(CheckBox box) const = 0;
    virtual bool setCheckValue(CheckBox box, int value) = 0;  // accepts 0, 1 and 2 only

    // Timer1's tag.
    virtual QString timerTag() const = 0;
    virtual void setTimerTag(const QString& tag) = 0;

    // Form1.
    virtual std::optional<WindowState> windowState() const = 0;
    virtual void setTitle(const QString& title) = 0;

    // The client area's current size in twips, read from the window each time.
    virtual float clientWidth() const = 0;
    virtual float clientHeight() const = 0;

    // Text1, the pane labels, by site index.
    virtual bool setLabelTop(int index, float twips) = 0;
    virtual bool setLabelLeft(int index, float twips) = 0;
    virtual bool setLabelVisible(int index, bool visible) = 0;
};

}  // namespace quintavia
