#include "shell/window/about_box.h"

#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include <QMessageBox>
#include <QPointer>

#include "core/engine/about_text.h"
#include "shell/app/engine_environment.h"
#include "shell/browser/request_blocker.h"

namespace quintavia {

void ShowAbout(QWidget* parent) {
    static QPointer<QMessageBox> open;
    if (open) open->close();
    RequestBlocker& blocker = RequestBlocker::instance();
    const AboutFacts facts{.programVersion = QStringLiteral(QUINTAVIA_VERSION),
                           .qtVersion = QString::fromLatin1(qWebEngineVersion()),
                           .chromiumVersion = QString::fromLatin1(qWebEngineChromiumVersion()),
                           .hardened = EngineStartedHardened(),
                           .sandboxed = !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"),
                           .listsPresent = blocker.ruleCount() > 0,
                           .blocked = blocker.blockedCount()};
    auto* box =
        new QMessageBox(QMessageBox::Information, QStringLiteral("Informazioni su Quintavia"),
                        AboutText(facts), QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    open = box;
}

}  // namespace quintavia
