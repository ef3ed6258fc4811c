#include "shell/browser/guarded_page.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineQuotaRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineView>

#include "core/engine/navigation_rules.h"
#include "core/text/shown_text.h"

namespace quintavia {
namespace {

// The engine asks "leave this page?" through javaScriptConfirm, with this text of its own.
bool IsLeaveQuestion(const QString& message) {
    return message == QCoreApplication::translate("QWebEnginePage",
                                                  "Are you sure you want to leave this page? "
                                                  "Changes that you made may not be saved.");
}

// The file dialog on show, whichever page asked for it.
QPointer<QFileDialog> openFileDialog;

QFileDialog::FileMode DialogMode(QWebEnginePage::FileSelectionMode mode) {
    switch (mode) {
        case QWebEnginePage::FileSelectOpenMultiple:
            return QFileDialog::ExistingFiles;
        case QWebEnginePage::FileSelectUploadFolder:
            return QFileDialog::Directory;
        case QWebEnginePage::FileSelectSave:
            return QFileDialog::AnyFile;
        case QWebEnginePage::FileSelectOpen:
            break;
    }
    return QFileDialog::ExistingFile;
}

}  // namespace

GuardedPage::GuardedPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
    // Left unanswered, a request would wait for ever and the page's promise with it.
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
                setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
    connect(this, &QWebEnginePage::fullScreenRequested, this,
            [](QWebEngineFullScreenRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
            [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
            [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::quotaRequested, this,
            [](QWebEngineQuotaRequest request) { request.reject(); });
}

bool GuardedPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (MayNavigateTo(url)) return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    emit navigationRefused(url);
    return false;
}

void GuardedPage::javaScriptAlert(const QUrl&, const QString&) {}

bool GuardedPage::javaScriptConfirm(const QUrl&, const QString& message) {
    return IsLeaveQuestion(message);
}

bool GuardedPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) {
    return false;
}

void GuardedPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                           const QString&) {}

QStringList GuardedPage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                                     const QStringList&) {
    QWebEngineView* view = QWebEngineView::forPage(this);
    if (openFileDialog || !view) return {};
    // The engine wants the files chosen before this returns. The dialog is window-modal and
    // awaited in a loop of its own rather than run by exec(), which would make it modal to the
    // whole program: the other windows stay usable, and the timers, the panes' loads and the
    // engine's work go on through this loop meanwhile.
    auto* dialog = new QFileDialog(
        view->window(), QStringLiteral("Scegli un file per %1").arg(ShownText(url().host())),
        QDir::homePath());
    dialog->setFileMode(DialogMode(mode));
    if (mode == FileSelectSave) dialog->setAcceptMode(QFileDialog::AcceptSave);
    if (!oldFiles.isEmpty() && !oldFiles.first().isEmpty())
        dialog->selectFile(QFileInfo(oldFiles.first()).fileName());
    openFileDialog = dialog;
    QEventLoop loop;
    connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    dialog->open();
    loop.exec();
    // Gone with its window, or left open when the program ends.
    if (!openFileDialog) return {};
    openFileDialog.clear();
    const QStringList chosen =
        dialog->result() == QDialog::Accepted ? dialog->selectedFiles() : QStringList{};
    dialog->deleteLater();
    return chosen;
}

}  // namespace quintavia
