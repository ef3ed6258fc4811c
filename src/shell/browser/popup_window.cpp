#include "shell/browser/popup_window.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineView>

#include "core/text/shown_text.h"

namespace quintavia {
namespace {

// A box shows no more of a message than this many UTF-16 units.
constexpr qsizetype kShownUnits = 1000;

}  // namespace

PopupPage::PopupPage(QWebEngineProfile* profile, QObject* parent, QWidget* window)
    : GuardedPage(profile, parent), window_(window) {}

void PopupPage::javaScriptAlert(const QUrl& securityOrigin, const QString& message) {
    // A page that alerts in a loop gets one box until it is closed.
    if (box_) return;
    box_ = new QMessageBox(QMessageBox::Information, securityOrigin.host(),
                           ShownText(message.left(kShownUnits)), QMessageBox::Ok, window_);
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
    : QWidget() {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    // Its title is the page's, which may be none.
    setAccessibleName(QStringLiteral("Finestra aperta da una pagina"));
    setAccessibleDescription(QStringLiteral("Una pagina aperta da uno dei quattro siti"));
    connect(owner, &QObject::destroyed, this, [this] { delete this; });

    address_ = new QLineEdit(this);
    address_->setObjectName(QStringLiteral("popupAddress"));
    address_->setReadOnly(true);
    address_->setAccessibleName(QStringLiteral("Indirizzo della pagina"));
    address_->setAccessibleDescription(
        QStringLiteral("L'indirizzo della pagina mostrata in questa finestra, in sola lettura"));
    view_ = new QWebEngineView(this);
    view_->setAccessibleName(QStringLiteral("Pagina"));
    view_->setAccessibleDescription(QStringLiteral("La pagina aperta in questa finestra"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(address_);
    layout->addWidget(view_);
    setFocusProxy(view_);

    // A page of ours makes no window of its own (it leaves createWindow as it is, and answers
    // no request for one), so every request of its pages for one more is stopped.
    auto* page = new PopupPage(profile, view_, this);
    view_->setPage(page);
    connect(view_, &QWebEngineView::titleChanged, this, &PopupWindow::showWhere);
    connect(view_, &QWebEngineView::urlChanged, this, &PopupWindow::showWhere);

    const QRect asked = request.requestedGeometry();
    resize(asked.width() > 0 && asked.height() > 0 ? asked.size() : QSize(800, 600));
    // Loaded anew rather than adopted: an adopted page keeps window.opener, through which it
    // could send the pane that opened it to any site. A page that writes into the window it
    // opened, or posts a form into it, or waits for it to answer (some sign-ins) loses that.
    page->load(request.requestedUrl());
    showWhere();
    show();
}

void PopupWindow::showWhere() {
    setWindowTitle(PopupTitle(view_->url(), view_->title()));
    address_->setText(ShownAddress(view_->url()));
    address_->setCursorPosition(0);
}

}  // namespace quintavia
