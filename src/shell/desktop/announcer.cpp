#include "shell/desktop/announcer.h"

#include "shell/desktop/desktop_notifier.h"
#include "shell/desktop/sound_files.h"

namespace quintavia {

Announcer::Announcer(Beep& beep, QSystemTrayIcon* tray, QObject* parent)
    : QObject(parent), sound_(beep) {
    setObjectName(QStringLiteral("announcer"));
    notifier_ = new DesktopNotifier(tray, this);
    connect(notifier_, &DesktopNotifier::activated, this, &Announcer::notificationActivated);
}

void Announcer::playAlert(const NewestTitle& newest) {
    if (newest.sound) sound_.play(SoundFileFor(newest.siteId));
}

void Announcer::notify(const Notice& notice) {
    if (desktopOn_) notifier_->notify(notice);
}

void Announcer::withdraw(const QStringList& tags) {
    for (const QString& tag : tags) notifier_->withdraw(tag);
}

}  // namespace quintavia
