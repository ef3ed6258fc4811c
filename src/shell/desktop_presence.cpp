#include "shell/desktop_presence.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QUrl>
#include <cstdio>

#include "core/history_csv.h"
#include "core/notices.h"
#include "shell/desktop_notifier.h"
#include "shell/main_window.h"

namespace quintavia {

DesktopPresence::DesktopPresence(MainWindow& window, const QIcon& icon)
    : QObject(&window),
      window_(window),
      history_(HistoryFile::UserPath()),
      menu_(std::make_unique<QMenu>()) {
    setObjectName(QStringLiteral("desktopPresence"));
    menu_->setAccessibleName(QStringLiteral("Menu di Quintavia"));
    menu_->setAccessibleDescription(QStringLiteral("Il menu dell'icona di Quintavia"));
    tray_ = new QSystemTrayIcon(icon, this);
    tray_->setToolTip(QStringLiteral("Quintavia"));
    notifier_ = new DesktopNotifier(tray_, this);

    connect(addAction("showAction", QStringLiteral("Mostra Quintavia")), &QAction::triggered, this,
            &DesktopPresence::bringWindowBack);
    connect(addAction("refreshNowAction", QStringLiteral("Aggiorna ora")), &QAction::triggered,
            this, &DesktopPresence::refreshAsked);
    notificationsAction_ =
        addAction("notificationsAction", QStringLiteral("Notifiche sul desktop"));
    notificationsAction_->setCheckable(true);
    notificationsAction_->setChecked(true);
    connect(notificationsAction_, &QAction::toggled, this,
            [this](bool on) { window_.controller().setDesktopNotifications(on); });
    connect(addAction("historyAction", QStringLiteral("Apri cronologia")), &QAction::triggered,
            this, &DesktopPresence::openHistory);
    menu_->addSeparator();
    // Through the window's own path, which stores the settings. A window hidden from the tray
    // ends nothing when it closes: the program is told to end as well.
    connect(addAction("quitAction", QStringLiteral("Esci")), &QAction::triggered, this, [this] {
        if (window_.close()) QCoreApplication::quit();
    });
    tray_->setContextMenu(menu_.get());

    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) toggleWindow();
            });
    connect(notifier_, &DesktopNotifier::activated, this, &DesktopPresence::bringWindowBack);
}

DesktopPresence::~DesktopPresence() {
    // The tray icon goes before the menu it shows.
    delete tray_;
}

QAction* DesktopPresence::addAction(const char* name, const QString& text) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    menu_->addAction(action);
    return action;
}

void DesktopPresence::startUp() {
    notificationsAction_->setChecked(window_.controller().settings().desktopNotifications);
    showTrayToolTip();
    if (QSystemTrayIcon::isSystemTrayAvailable()) tray_->show();
}

void DesktopPresence::pageApplied(int site, const PageCapture& capture,
                                  const PageOutcome& outcome) {
    if (!IsSiteIndex(site)) return;
    const WatchController& controller = window_.controller();
    if (outcome.logEntry) {
        const QString& title = controller.settings().lastListing[static_cast<std::size_t>(site)];
        record(HistoryLine(QDateTime::currentDateTime(), QString::fromLatin1(SiteAt(site).name),
                           title, capture.url));
        notify(NewListingNotice(site, title));
    }
    if (outcome.watch) {
        notify(outcome.watch->kind == WatchChange::Kind::TurnedBlind
                   ? BlindNotice(site, outcome.watch->reason)
                   : WatchedAgainNotice(site));
    }
    // While blind, the latest reason.
    const QString reason = controller.siteWatch(site).reason();
    QLineEdit* label = window_.paneGrid()->siteLabel(site);
    if (label->toolTip() != SiteLabelToolTip(reason)) {
        label->setToolTip(SiteLabelToolTip(reason));
        showTrayToolTip();
    }
}

void DesktopPresence::countdownTicked() {
    showTrayToolTip();
}

void DesktopPresence::showTrayToolTip() {
    const WatchController& controller = window_.controller();
    std::array<QString, kSiteCount> reasons;
    for (int i = 0; i < kSiteCount; ++i)
        reasons[static_cast<std::size_t>(i)] = controller.siteWatch(i).reason();
    tray_->setToolTip(TrayToolTip(controller.secondsLeft(), reasons));
}

void DesktopPresence::notify(const Notice& notice) {
    if (window_.controller().settings().desktopNotifications) notifier_->notify(notice);
}

void DesktopPresence::record(const QString& line) {
    if (history_.append(line)) {
        historyFailing_ = false;
        return;
    }
    if (historyFailing_) return;
    historyFailing_ = true;
    std::fprintf(stderr, "Quintavia: the history was not written: %s\n",
                 qUtf8Printable(history_.lastError()));
}

void DesktopPresence::openHistory() {
    if (!history_.create()) {
        std::fprintf(stderr, "Quintavia: the history cannot be opened: %s\n",
                     qUtf8Printable(history_.lastError()));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(history_.path()));
}

void DesktopPresence::bringWindowBack() {
    window_.setWindowState((window_.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window_.show();
    window_.raise();
    window_.activateWindow();
}

void DesktopPresence::toggleWindow() {
    if (window_.isVisible() && !window_.isMinimized()) {
        window_.hide();
        return;
    }
    bringWindowBack();
}

}  // namespace quintavia
