#pragma once

#include <QMap>
#include <QStringList>
#include <QWidget>

#include "core/sites/site_rules.h"
#include "core/watch/outcomes.h"

class QComboBox;
class QListWidget;

namespace quintavia {

// "Altri siti da seguire": the sites watched without a pane, ticked in a list of every site the
// program knows (those ticked first, in their order), and the interval of the site the list is
// on, panes' sites included.
class OtherSitesBox final : public QWidget {
    Q_OBJECT
  public:
    OtherSitesBox(const Catalogue& sites, const Choices& current, QWidget* parent);

    QStringList backgroundSites() const;
    QMap<QString, int> intervals() const { return intervals_; }

    QListWidget* list() const { return list_; }
    QComboBox* intervalBox() const { return interval_; }

  private:
    void showInterval();
    void setInterval();

    QListWidget* list_ = nullptr;
    QComboBox* interval_ = nullptr;
    QMap<QString, int> intervals_;
    QMap<QString, QString> names_;
};

}  // namespace quintavia
