#include "shell/desktop/announcer.h"

#include <QDesktopServices>
#include <QUrl>

#include "shell/app/warn.h"
#include "shell/desktop/desktop_notifier.h"
#include "shell/desktop/sound_files.h"

namespace quintavia {

Announcer::Announcer(Beep& beep, QSystemTrayIcon* tray, QObject* parent)
    : QObject(parent), sound_(beep), history_(HistoryFile::UserPath()) {
    setObjectName(QStringLiteral("announcer"));
    notifier_ = new DesktopNotifier(tray, this);
    connect(notifier_, &DesktopNotifier::activated, this, &Announcer::notificationActivated);
}

void Announcer::announce(const NewListing& listing) {
    if (listing.sound) sound_.play(SoundFileFor(listing.siteId));
}

void Announcer::notify(const Notice& notice) {
    notifier_->notify(notice);
}

void Announcer::record(const QStringList& lines) {
    if (lines.isEmpty()) return;
    // One append: the lines of one capture go together, or not at all.
    const WriteResult written = history_.append(lines.join(QString()));
    // A rotation that keeps failing would say so at every entry: once is enough.
    for (const QString& warning : written.warnings) {
        if (warning == lastWarning_) continue;
        lastWarning_ = warning;
        Warn(warning);
    }
    if (written) {
        historyFailing_ = false;
        return;
    }
    if (historyFailing_) return;
    historyFailing_ = true;
    Warn(QStringLiteral("the history was not written: ") + written.error);
}

void Announcer::openHistory() {
    const WriteResult made = history_.create();
    Warn(made.warnings);
    if (!made) {
        Warn(QStringLiteral("the history cannot be opened: ") + made.error);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(history_.path()));
}

}  // namespace quintavia
