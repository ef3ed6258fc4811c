#pragma once

#include <QPointer>
#include <QWidget>

#include "shell/browser/guarded_page.h"

class QLineEdit;
class QMessageBox;
class QWebEngineNewWindowRequest;
class QWebEngineProfile;
class QWebEngineView;

namespace quintavia {

// The page of a pop-up window: guarded like a pane's page, except that its alerts show, one box
// at a time, modal to the pop-up window alone, while the page goes on (a box that waited for
// its answer would hold the engine, and every pane with it). It opens no windows itself.
class PopupPage final : public GuardedPage {
    Q_OBJECT
  public:
    PopupPage(QWebEngineProfile* profile, QObject* parent, QWidget* window);

  protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;

  private:
    QWidget* window_;
    QPointer<QMessageBox> box_;
};

// A window that a page in a pane was allowed to open: a plain browser of its own, showing the
// requested address afresh, apart from the page that asked (which therefore cannot reach it,
// nor be moved elsewhere by it). Its title says it is a pop-up and names its page's host, and
// its address shows, read-only, above the page. It opens no windows itself. It is a window
// apart, so that a box modal to it holds no other window, yet it closes with the pane that
// opened it and never keeps the program alive after the main window.
class PopupWindow final : public QWidget {
    Q_OBJECT
  public:
    PopupWindow(QWebEngineNewWindowRequest& request, QWebEngineProfile* profile, QWidget* owner);

    QWebEngineView* view() const { return view_; }
    QLineEdit* addressLine() const { return address_; }

  private:
    void showWhere();

    QLineEdit* address_;
    QWebEngineView* view_;
};

}  // namespace quintavia
