#pragma once

#include <QList>
#include <QWidget>

#include "store/site_catalogue.h"

class QListWidget;

namespace quintavia {

// The sections of the sites file that were set aside at start, each with its reason: a user
// who started the program from a menu never sees standard error, and would find a site
// missing from the lists without a word. Read only: the file is where a rule is mended.
class RefusedSections final : public QWidget {
    Q_OBJECT
  public:
    RefusedSections(const QList<RefusedSection>& refused, QWidget* parent);

    QListWidget* list() const { return list_; }

  private:
    QListWidget* list_ = nullptr;
};

}  // namespace quintavia
