#pragma once

#include <QDialog>
#include <QList>

#include "core/sites/site_rules.h"
#include "core/watch/outcomes.h"
#include "store/site_catalogue.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace quintavia {

class OtherSitesBox;

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

    // The sections of the sites file set aside at start, listed above the buttons; none, no
    // list.
    void showRefused(const QList<RefusedSection>& refused);
    // Opened to choose this pane's site: its box takes the focus.
    void focusPane(int pane);
    // Which panes search the keywords, as the boxes stand.
    QLabel* keywordPanesNote() const { return keywordPanes_; }

  signals:
    // "Aggiungi sito…" pressed.
    void addSiteAsked();

  private:
    // Which panes search the keywords, said under them as the boxes stand.
    void noteKeywordPanes();

    Catalogue sites_;
    QList<QComboBox*> siteBoxes_;
    QLineEdit* keywords_ = nullptr;
    QLineEdit* includeWords_ = nullptr;
    QLineEdit* excludeWords_ = nullptr;
    QCheckBox* notifications_ = nullptr;
    QLabel* keywordPanes_ = nullptr;
    OtherSitesBox* otherSites_ = nullptr;
    QComboBox* grid_ = nullptr;
};

}  // namespace quintavia
