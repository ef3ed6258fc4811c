#pragma once

#include <QDialog>
#include <QStringList>
#include <QUrl>
#include <optional>

#include "core/page/structure_reading.h"
#include "core/sites/site_rules.h"
#include "shell/browser/guarded_page.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWebEngineProfile;
class QWebEngineView;

namespace quintavia {

// The preview's page: guarded as the panes' are, and a click on a link in it picks that link
// instead of following it.
class PreviewPage final : public GuardedPage {
    Q_OBJECT
  public:
    using GuardedPage::GuardedPage;

  signals:
    void linkPicked(const QUrl& link);

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
};

// "Aggiungi sito…": a results address pasted, its page loaded in a preview with the panes'
// profile and guards, the listings its structure gives outlined in the page and listed beside
// it. A click on a listing's title in the page takes every card like it, "Prova un altro
// gruppo" the next group of cards; a name, and "Salva" adds the site to the sites file.
class AddSiteDialog final : public QDialog {
    Q_OBJECT
  public:
    // `sitesPath`: the sites file the site is added to; `paneCount`: the panes it can go in.
    AddSiteDialog(const Catalogue& sites, QString sitesPath, int paneCount,
                  QWebEngineProfile* profile, QWidget* parent);

    QLineEdit* addressBox() const { return address_; }
    QWebEngineView* preview() const { return preview_; }
    QListWidget* listingsList() const { return listings_; }
    QPushButton* otherGroupButton() const { return otherGroup_; }
    QLineEdit* nameBox() const { return name_; }
    QComboBox* paneBox() const { return pane_; }
    QPushButton* saveButton() const { return save_; }
    QLabel* statusLabel() const { return status_; }
    // The cards taken now, by their selector; empty until a reading found some.
    QString cards() const { return reading_ ? reading_->selectors.card : QString(); }

  signals:
    // The site was added to the sites file; `pane` is the pane to show it in, -1 for none.
    void siteAdded(const quintavia::SiteRule& site, int pane);
    // A reading of the preview came, with or without listings.
    void read();

  private:
    void loadAddress();
    void readPage(const StructureSelectors& kept, int attempt);
    void showReading(const StructureReading& reading);
    void takeGroupOf(const QUrl& link);
    void takeGroup(int index);
    void saveSite();
    void tell(const QString& text);

    Catalogue sites_;
    QString sitesPath_;
    SiteRule rule_;
    std::optional<StructureReading> reading_;
    QStringList groups_;
    int group_ = 0;
    int generation_ = 0;

    QLineEdit* address_ = nullptr;
    QPushButton* load_ = nullptr;
    QWebEngineView* preview_ = nullptr;
    PreviewPage* page_ = nullptr;
    QListWidget* listings_ = nullptr;
    QPushButton* otherGroup_ = nullptr;
    QLineEdit* name_ = nullptr;
    QComboBox* pane_ = nullptr;
    QPushButton* save_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace quintavia
