#include "shell/popup_window.h"

#include <QWebEngineNewWindowRequest>

namespace quintavia {

PopupWindow::PopupWindow(QWebEngineNewWindowRequest& request, QWidget* owner)
    : QWebEngineView(owner) {
    // A separate window, yet owned: it never keeps the program alive after the main window.
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    // A plain view makes no window of its own (it leaves createWindow as it is), so every
    // request of its pages for one more is stopped.
    connect(this, &QWebEngineView::titleChanged, this, &QWidget::setWindowTitle);

    const QRect asked = request.requestedGeometry();
    resize(asked.width() > 0 && asked.height() > 0 ? asked.size() : QSize(800, 600));
    request.openIn(page());
    show();
}

}  // namespace quintavia
