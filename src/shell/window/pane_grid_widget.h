#pragma once

#include <QLineEdit>
#include <QWidget>
#include <array>

#include "core/layout/pane_grid.h"
#include "core/sites/site_rules.h"
#include "core/sites/sites.h"
#include "shell/browser/web_pane.h"
#include "shell/desktop/beep.h"

class QWebEngineProfile;

namespace quintavia {

// The four browser panes, two by two under the window's top band, each with its site label
// over its top-left corner. It covers the whole client area behind the top band, so the grid
// is laid out in the window's own coordinates.
class PaneGridWidget final : public QWidget {
    Q_OBJECT
  public:
    PaneGridWidget(Beep& beep, QWebEngineProfile* profile, QWidget* parent);

    WebPane* pane(int site) const { return panes_.at(static_cast<std::size_t>(site)); }
    QLineEdit* siteLabel(int site) const { return labels_.at(static_cast<std::size_t>(site)); }

    // Lays the panes out for the current size; the labels follow their panes, shown or not.
    void layOut();
    void showSiteLabels(bool shown);
    // The site a pane shows: its label and the names assistive technology reads.
    void showSite(int pane, const SiteRule& site);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    std::array<WebPane*, kSiteCount> panes_{};
    std::array<QLineEdit*, kSiteCount> labels_{};
};

}  // namespace quintavia
