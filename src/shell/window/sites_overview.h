#pragma once

#include <QList>
#include <QWidget>

#include "core/watch/site_overview.h"

class QTreeWidget;

namespace quintavia {

// "Siti seguiti": a row for every site watched, with where it is, its state, its last and next
// load and its new listings a day over two weeks. It shows the rows it is given and tells which
// one the user asked to see in a pane (Enter or a double click). A tab of "Annunci trovati".
class SitesOverview final : public QWidget {
    Q_OBJECT
  public:
    explicit SitesOverview(QWidget* parent = nullptr);

    // Takes these rows in place of those shown; the row the user is on stays current.
    void setRows(const QList<SiteOverviewRow>& rows);
    QTreeWidget* view() const { return view_; }

  signals:
    void showAsked(int row);

  private:
    QTreeWidget* view_ = nullptr;
};

}  // namespace quintavia
