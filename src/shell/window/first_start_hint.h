#pragma once

#include <QFrame>

class QLabel;
class QToolButton;

namespace quintavia {

// The line under the band at the very first start, saying where the region, the sites and the
// words are chosen. It asks nothing and blocks nothing: it stays until it is closed, or until
// the settings it points to are opened.
class FirstStartHint final : public QFrame {
    Q_OBJECT
  public:
    explicit FirstStartHint(QWidget* parent);

    // Across `width` pixels, its top at `top`.
    void place(int top, int width);

    QLabel* textLabel() const { return text_; }
    QToolButton* closeButton() const { return close_; }

  signals:
    // "Impostazioni" asked for from the line itself.
    void settingsAsked();

  private:
    QLabel* text_ = nullptr;
    QToolButton* close_ = nullptr;
};

}  // namespace quintavia
