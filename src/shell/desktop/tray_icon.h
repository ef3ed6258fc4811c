#pragma once

#include <QIcon>
#include <QObject>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace quintavia {

// The program's icon in the desktop's tray, where there is one, and its menu. It tells what
// the user asked for and shows what it is given; what is done is up to whoever listens.
class TrayIcon final : public QObject {
    Q_OBJECT
  public:
    TrayIcon(const QIcon& icon, QObject* parent);
    ~TrayIcon() override;

    // Shown where the platform has a tray.
    void show();
    void setToolTip(const QString& tip);
    // "Notifiche sul desktop" as the option stands; tells nothing.
    void setNotificationsChecked(bool on);

    QSystemTrayIcon* icon() const { return tray_; }
    QMenu* menu() const { return menu_.get(); }

  signals:
    void showAsked();     // "Mostra Quintavia"
    void toggleAsked();   // a click on the icon
    void refreshAsked();  // "Aggiorna ora"
    void notificationsToggled(bool on);
    void foundAsked();     // "Annunci trovati"
    void historyAsked();   // "Apri cronologia"
    void settingsAsked();  // "Impostazioni…"
    void aboutAsked();     // "Informazioni su Quintavia"
    void quitAsked();      // "Esci"
    void sitesAsked();     // "Siti seguiti"

  private:
    QAction* addAction(const char* name, const QString& text);

    std::unique_ptr<QMenu> menu_;
    QSystemTrayIcon* tray_ = nullptr;
    QAction* notificationsAction_ = nullptr;
};

}  // namespace quintavia
