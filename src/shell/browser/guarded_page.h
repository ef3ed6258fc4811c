#pragma once

#include <QWebEnginePage>

class QWebEngineProfile;

namespace quintavia {

// A page of ours, for the panes and the windows they open. What the engine asks of the program
// on a page's behalf is answered here at once, so that nothing a page does can stop the window
// or reach beyond the page: a request for a power (notifications, location, camera, microphone,
// the screen, full screen, a protocol handler, the file system's folders and files) is refused;
// a navigation to a scheme that the engine does not show itself goes nowhere; the page's
// console is dropped; its dialogs never wait for anyone: alert() is dropped, confirm() answers
// false and prompt() cancels. The question "leave this page?" lets the page go, so that a
// refresh is never held.
//
// A file field opens the file dialog, as the engine lets it only on the user's click: a user
// applying for a job may upload a CV. The dialog holds only the window of the page that asked,
// and the engine, the countdown and every pane go on while it is open; one is open at a time.
class GuardedPage : public QWebEnginePage {
    Q_OBJECT
  public:
    GuardedPage(QWebEngineProfile* profile, QObject* parent);

  signals:
    // A navigation that was refused, for tests that await it.
    void navigationRefused(const QUrl& url);

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message,
                          const QString& defaultValue, QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
};

}  // namespace quintavia
