#pragma once

#include <QDialog>
#include <QList>

#include "core/sites/site_rules.h"
#include "core/watch/outcomes.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace quintavia {

// "Impostazioni": each pane's site among those the program knows, the keywords and the desktop
// notifications option. It only gathers the choice; whoever opened it applies it.
class SettingsDialog final : public QDialog {
    Q_OBJECT
  public:
    SettingsDialog(const Catalogue& sites, const Choices& current, QWidget* parent);

    // What the fields hold now.
    Choices choices() const;

    QComboBox* siteBox(int pane) const { return siteBoxes_.at(pane); }
    // A site added meanwhile: on every pane's list, and chosen for `pane` (-1: none).
    void addSite(const SiteRule& site, int pane);

  signals:
    // "Aggiungi sito…" pressed.
    void addSiteAsked();

  private:
    QList<QComboBox*> siteBoxes_;
    QLineEdit* keywords_ = nullptr;
    QLineEdit* includeWords_ = nullptr;
    QLineEdit* excludeWords_ = nullptr;
    QCheckBox* notifications_ = nullptr;
};

}  // namespace quintavia
