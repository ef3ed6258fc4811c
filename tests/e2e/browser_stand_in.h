#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

namespace quintavia::e2e {

// Stands in for the user's browser: the desktop's opener hands it what it would have opened
// (QDesktopServices::setUrlHandler with the slot "open").
class BrowserStandIn final : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened << url; }
};

}  // namespace quintavia::e2e
