#include "shell/desktop/tray_icon.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>
#include <QSystemTrayIcon>

namespace quintavia {

TrayIcon::TrayIcon(const QIcon& icon, QObject* parent)
    : QObject(parent), menu_(std::make_unique<QMenu>()) {
    setObjectName(QStringLiteral("trayIcon"));
    menu_->setAccessibleName(QStringLiteral("Menu di Quintavia"));
    menu_->setAccessibleDescription(QStringLiteral("Il menu dell'icona di Quintavia"));
    tray_ = new QSystemTrayIcon(icon, this);
    tray_->setToolTip(QStringLiteral("Quintavia"));

    connect(addAction("showAction", QStringLiteral("Mostra Quintavia")), &QAction::triggered, this,
            &TrayIcon::showAsked);
    connect(addAction("refreshNowAction", QStringLiteral("Aggiorna ora")), &QAction::triggered,
            this, &TrayIcon::refreshAsked);
    notificationsAction_ =
        addAction("notificationsAction", QStringLiteral("Notifiche sul desktop"));
    notificationsAction_->setCheckable(true);
    notificationsAction_->setChecked(true);
    connect(notificationsAction_, &QAction::toggled, this, &TrayIcon::notificationsToggled);
    connect(addAction("foundAction", QStringLiteral("Annunci trovati")), &QAction::triggered, this,
            &TrayIcon::foundAsked);
    connect(addAction("sitesAction", QStringLiteral("Siti seguiti")), &QAction::triggered, this,
            &TrayIcon::sitesAsked);
    connect(addAction("historyAction", QStringLiteral("Apri cronologia")), &QAction::triggered,
            this, &TrayIcon::historyAsked);
    connect(addAction("settingsAction", QStringLiteral("Impostazioni…")), &QAction::triggered, this,
            &TrayIcon::settingsAsked);
    connect(addAction("aboutAction", QStringLiteral("Informazioni su Quintavia")),
            &QAction::triggered, this, &TrayIcon::aboutAsked);
    menu_->addSeparator();
    connect(addAction("quitAction", QStringLiteral("Esci")), &QAction::triggered, this,
            &TrayIcon::quitAsked);
    tray_->setContextMenu(menu_.get());

    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) emit toggleAsked();
            });
}

TrayIcon::~TrayIcon() {
    // The tray icon goes before the menu it shows.
    delete tray_;
}

QAction* TrayIcon::addAction(const char* name, const QString& text) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    menu_->addAction(action);
    return action;
}

void TrayIcon::show() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) tray_->show();
}

void TrayIcon::setToolTip(const QString& tip) {
    tray_->setToolTip(tip);
}

void TrayIcon::setNotificationsChecked(bool on) {
    const QSignalBlocker quiet(notificationsAction_);
    notificationsAction_->setChecked(on);
}

}  // namespace quintavia
