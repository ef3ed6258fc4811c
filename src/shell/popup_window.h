#pragma once

#include <QWebEngineView>

class QWebEngineNewWindowRequest;

namespace quintavia {

// A window that a page in a pane was allowed to open: a plain browser of its own, showing the
// request. It opens no windows itself. It closes with the window that owns it.
class PopupWindow final : public QWebEngineView {
    Q_OBJECT
  public:
    PopupWindow(QWebEngineNewWindowRequest& request, QWidget* owner);
};

}  // namespace quintavia
