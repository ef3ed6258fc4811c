#pragma once

#include <QLineEdit>
#include <QList>
#include <QWidget>

#include "core/layout/pane_grid.h"
#include "core/sites/site_rules.h"
#include "shell/browser/web_pane.h"
#include "shell/desktop/beep.h"

class QWebEngineProfile;

namespace quintavia {

// The browser panes, in a grid under the window's top band (two by two in the design), each with
// its site label over its top-left corner. It covers the whole client area behind the top band, so
// the grid is laid out in the window's own coordinates.
class PaneGridWidget final : public QWidget {
    Q_OBJECT
  public:
    PaneGridWidget(int paneCount, Beep& beep, QWebEngineProfile* profile, QWidget* parent);

    int paneCount() const { return static_cast<int>(panes_.size()); }
    WebPane* pane(int pane) const { return panes_.at(pane); }
    QLineEdit* siteLabel(int pane) const { return labels_.at(pane); }

    // As many panes as `count`, each with its label: new ones at the end, on the same profile
    // as the others, with no site yet, placed at the next layOut; those past `count` destroyed
    // with their labels.
    void setPaneCount(int count);

    // Lays the panes out for the current size; the labels follow their panes, shown or not.
    void layOut();
    void showSiteLabels(bool shown);
    // The site a pane shows: its label and the names assistive technology reads.
    void showSite(int pane, const SiteRule& site);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QList<WebPane*> panes_;
    QList<QLineEdit*> labels_;
    Beep& beep_;
    QWebEngineProfile* profile_;
};

}  // namespace quintavia
