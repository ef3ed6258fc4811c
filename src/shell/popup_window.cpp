#include "shell/popup_window.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QWebEngineNewWindowRequest>

namespace quintavia {
namespace {

// A box shows no more of a message than this many UTF-16 units.
constexpr qsizetype kShownUnits = 1000;

}  // namespace

PopupPage::PopupPage(QWebEngineProfile* profile, QWidget* window)
    : GuardedPage(profile, window), window_(window) {}

void PopupPage::javaScriptAlert(const QUrl& securityOrigin, const QString& message) {
    // A page that alerts in a loop gets one box until it is closed.
    if (box_) return;
    box_ = new QMessageBox(QMessageBox::Information, securityOrigin.host(),
                           message.left(kShownUnits), QMessageBox::Ok, window_);
    // The page's text is shown as it is, never as markup of ours.
    box_->setTextFormat(Qt::PlainText);
    box_->setAccessibleName(QStringLiteral("Messaggio della pagina"));
    box_->setAccessibleDescription(QStringLiteral("Un messaggio della pagina di ") +
                                   securityOrigin.host());
    box_->button(QMessageBox::Ok)->setAccessibleDescription(QStringLiteral("Chiude il messaggio"));
    box_->setAttribute(Qt::WA_DeleteOnClose);
    box_->setWindowModality(Qt::WindowModal);
    box_->show();
}

PopupWindow::PopupWindow(QWebEngineNewWindowRequest& request, QWebEngineProfile* profile,
                         QWidget* owner)
    : QWebEngineView() {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    // Its title is the page's, which may be none.
    setAccessibleName(QStringLiteral("Finestra aperta da una pagina"));
    setAccessibleDescription(QStringLiteral("Una pagina aperta da uno dei quattro siti"));
    connect(owner, &QObject::destroyed, this, [this] { delete this; });
    // A page of ours makes no window of its own (it leaves createWindow as it is, and answers
    // no request for one), so every request of its pages for one more is stopped.
    auto* page = new PopupPage(profile, this);
    setPage(page);
    connect(this, &QWebEngineView::titleChanged, this, &QWidget::setWindowTitle);

    const QRect asked = request.requestedGeometry();
    resize(asked.width() > 0 && asked.height() > 0 ? asked.size() : QSize(800, 600));
    request.openIn(page);
    show();
}

}  // namespace quintavia
