#pragma once

#include <QWidget>

#include "core/listings/found_list.h"
#include "core/watch/site_overview.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeView;

namespace quintavia {

class FoundRowsModel;
class SitesOverview;

// "Annunci trovati": the listings found, newest first, narrowed by what is typed in its search
// box, the filtered ones shown only on request. It shows a copy of the list it is given and
// tells which row the user asked to open (Enter or a double click); what is done with it is up
// to whoever listens. "Siti seguiti" is the tab beside, with the rows it is given.
class FoundListingsWindow final : public QWidget {
    Q_OBJECT
  public:
    explicit FoundListingsWindow(QWidget* parent = nullptr);
    ~FoundListingsWindow() override;

    using QWidget::show;
    // Shows the window, brought forward, with `list`.
    void show(const FoundList& list);
    // Takes `list` in place of the one shown: the row selected stays selected, and the rows in
    // view stay in view unless the top was, where the new rows come.
    void refresh(const FoundList& list);
    // Shows the window, brought forward, at "Siti seguiti" with these rows.
    void showSites(const QList<SiteOverviewRow>& rows);
    SitesOverview* sitesOverview() const { return sites_; }
    QTabWidget* tabs() const { return tabs_; }

    QLineEdit* filterBox() const { return filter_; }
    QCheckBox* showFilteredBox() const { return showFiltered_; }
    QTreeView* listView() const { return view_; }
    QPushButton* openAllButton() const { return openAll_; }

  signals:
    // The row of the list given last (the list's own index).
    void openAsked(qsizetype row);
    // "Segna tutti come aperti".
    void openAllAsked();
    // The user went to "Siti seguiti": its rows are wanted as they are now.
    void sitesShown();
    // Enter or a double click on the row of the site at this place of the overview.
    void sitesShowAsked(int place);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // The list's row of the view's row `at`; -1 for none.
    qsizetype listRowAt(int at) const;
    void bringForward();

    static constexpr int kListingsTab = 0;
    static constexpr int kSitesTab = 1;

    FoundList list_;
    FoundRowsModel* model_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QCheckBox* showFiltered_ = nullptr;
    QTreeView* view_ = nullptr;
    QPushButton* openAll_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    SitesOverview* sites_ = nullptr;
};

}  // namespace quintavia
