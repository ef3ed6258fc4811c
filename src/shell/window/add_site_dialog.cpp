#include "shell/window/add_site_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <utility>

#include "core/layout/pane_grid.h"
#include "core/page/listing_extraction.h"
#include "core/sites/sites.h"
#include "core/watch/new_site.h"
#include "shell/window/accessible_names.h"
#include "store/public_suffix_file.h"
#include "store/site_catalogue.h"

namespace quintavia {
namespace {

// A page whose cards scripts build after the load is read again, a second apart, a few times.
constexpr int kReadAttempts = 4;
constexpr int kReadAgainMs = 1000;

// Outlines the cards of %1 in the page, and only those.
constexpr auto kOutlineScript = R"JS(
(function (selector) {
    var old = document.querySelectorAll('[data-quintavia-scelto]');
    for (var i = 0; i < old.length; ++i) {
        old[i].style.outline = '';
        old[i].removeAttribute('data-quintavia-scelto');
    }
    var cards = [];
    try { cards = document.querySelectorAll(selector); } catch (e) { return 0; }
    for (var j = 0; j < cards.length; ++j) {
        cards[j].style.outline = '3px solid #d4351c';
        cards[j].setAttribute('data-quintavia-scelto', '');
    }
    return cards.length;
})(%1)
)JS";

// Which of the groups %1 holds a card with a link to %2; -1 for none.
constexpr auto kGroupOfLinkScript = R"JS(
(function (groups, href) {
    for (var g = 0; g < groups.length; ++g) {
        var cards = [];
        try { cards = document.querySelectorAll(groups[g]); } catch (e) { continue; }
        for (var c = 0; c < cards.length; ++c) {
            var links = cards[c].tagName === 'A' ? [cards[c]] : cards[c].querySelectorAll('a');
            for (var a = 0; a < links.length; ++a)
                if (links[a].href === href) return g;
        }
    }
    return -1;
})(%1, %2)
)JS";

QString JsList(const QStringList& texts) {
    QStringList literals;
    for (const QString& text : texts) literals.append(JsStringLiteral(text));
    return u'[' + literals.join(u',') + u']';
}

}  // namespace

bool PreviewPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (type == NavigationTypeLinkClicked) {
        emit linkPicked(url);
        return false;
    }
    return GuardedPage::acceptNavigationRequest(url, type, isMainFrame);
}

AddSiteDialog::AddSiteDialog(const Catalogue& sites, QString sitesPath, int paneCount,
                             QWebEngineProfile* profile, QWidget* parent)
    : QDialog(parent), sites_(sites), sitesPath_(std::move(sitesPath)) {
    setObjectName(QStringLiteral("addSiteDialog"));
    setWindowTitle(QStringLiteral("Aggiungi sito"));
    Name(this, QStringLiteral("Aggiungi sito"),
         QStringLiteral("Un sito nuovo dall'indirizzo di una pagina di risultati"));

    address_ =
        Named(new QLineEdit(this), "addSiteAddress",
              QStringLiteral("L'indirizzo di una pagina di risultati del sito"),
              QStringLiteral("Indirizzo dei risultati"),
              QStringLiteral("Incolla l'indirizzo di una pagina di risultati e premi Invio"));
    auto* addressLabel = new QLabel(QStringLiteral("&Indirizzo dei risultati"), this);
    addressLabel->setBuddy(address_);
    load_ =
        Named(new QPushButton(QStringLiteral("&Carica"), this), "addSiteLoad", QString(),
              QStringLiteral("Carica"), QStringLiteral("Carica la pagina e ne trova gli annunci"));
    load_->setAutoDefault(false);

    preview_ = new QWebEngineView(this);
    page_ = new PreviewPage(profile, preview_);
    preview_->setPage(page_);
    Named(preview_, "addSitePreview", QString(), QStringLiteral("Anteprima della pagina"),
          QStringLiteral("Gli annunci trovati sono contornati; fai clic sul titolo di un "
                         "annuncio per prendere tutti quelli come lui"));
    preview_->setMinimumSize(480, 360);

    listings_ = Named(new QListWidget(this), "addSiteListings", QString(),
                      QStringLiteral("Annunci trovati"),
                      QStringLiteral("Titolo, azienda e luogo di ogni annuncio trovato"));
    auto* listingsLabel = new QLabel(QStringLiteral("Annunci &trovati"), this);
    listingsLabel->setBuddy(listings_);
    otherGroup_ = Named(new QPushButton(QStringLiteral("Prova un altro &gruppo"), this),
                        "addSiteOtherGroup", QString(), QStringLiteral("Prova un altro gruppo"),
                        QStringLiteral("Prende il gruppo seguente di elementi ripetuti"));
    otherGroup_->setAutoDefault(false);
    otherGroup_->setEnabled(false);

    name_ = Named(new QLineEdit(this), "addSiteName", QStringLiteral("Il nome del sito"),
                  QStringLiteral("Nome"), QStringLiteral("Il nome con cui il sito è mostrato"));
    auto* nameLabel = new QLabel(QStringLiteral("&Nome"), this);
    nameLabel->setBuddy(name_);
    pane_ =
        Named(new QComboBox(this), "addSitePane", QString(), QStringLiteral("Mostra nel riquadro"),
              QStringLiteral("Il riquadro in cui mostrare il sito, o nessuno"));
    pane_->addItem(QStringLiteral("Nessuno"));
    for (int i = 0; i < paneCount; ++i)
        pane_->addItem(QString(PaneCaption(i, paneCount)).remove(u'&'));
    auto* paneLabel = new QLabel(QStringLiteral("Mostra nel &riquadro"), this);
    paneLabel->setBuddy(pane_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("addSiteStatus"));
    status_->setWordWrap(true);
    Name(status_, QStringLiteral("Stato"), QStringLiteral("Che cosa è stato trovato"));

    save_ = Named(new QPushButton(QStringLiteral("&Salva"), this), "addSiteSave", QString(),
                  QStringLiteral("Salva"), QStringLiteral("Aggiunge il sito a siti.ini"));
    save_->setAutoDefault(false);
    save_->setEnabled(false);
    auto* cancel =
        Named(new QPushButton(QStringLiteral("Annulla"), this), "addSiteCancel", QString(),
              QStringLiteral("Annulla"), QStringLiteral("Chiude senza aggiungere nulla"));
    cancel->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(addressLabel);
    top->addWidget(address_, 1);
    top->addWidget(load_);
    auto* side = new QVBoxLayout;
    side->addWidget(listingsLabel);
    side->addWidget(listings_, 1);
    side->addWidget(otherGroup_);
    auto* form = new QFormLayout;
    form->addRow(nameLabel, name_);
    form->addRow(paneLabel, pane_);
    side->addLayout(form);
    side->addWidget(status_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(cancel);
    side->addLayout(buttons);
    auto* middle = new QHBoxLayout;
    middle->addWidget(preview_, 2);
    middle->addLayout(side, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);

    setTabOrder(address_, load_);
    setTabOrder(load_, listings_);
    setTabOrder(listings_, otherGroup_);
    setTabOrder(otherGroup_, name_);
    setTabOrder(name_, pane_);
    setTabOrder(pane_, save_);
    setTabOrder(save_, cancel);
    setTabOrder(cancel, preview_);

    connect(address_, &QLineEdit::returnPressed, this, &AddSiteDialog::loadAddress);
    connect(load_, &QPushButton::clicked, this, &AddSiteDialog::loadAddress);
    connect(preview_, &QWebEngineView::loadFinished, this, [this] {
        ++generation_;
        readPage({}, 0);
    });
    connect(page_, &PreviewPage::linkPicked, this, &AddSiteDialog::takeGroupOf);
    connect(otherGroup_, &QPushButton::clicked, this, [this] {
        takeGroup(groups_.isEmpty() ? 0 : static_cast<int>((group_ + 1) % groups_.size()));
    });
    connect(name_, &QLineEdit::returnPressed, this, &AddSiteDialog::saveSite);
    connect(name_, &QLineEdit::textChanged, this,
            [this] { save_->setEnabled(reading_ && !name_->text().trimmed().isEmpty()); });
    connect(save_, &QPushButton::clicked, this, &AddSiteDialog::saveSite);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    address_->setFocus();
}

void AddSiteDialog::tell(const QString& text) {
    status_->setText(text);
}

void AddSiteDialog::loadAddress() {
    const QUrl url = QUrl::fromUserInput(address_->text().trimmed());
    if (!IsWebAddress(url)) {
        tell(QStringLiteral("L'indirizzo non è una pagina web (http o https)."));
        return;
    }
    rule_ = RuleForAddress(url, SystemPublicSuffixes());
    reading_.reset();
    groups_.clear();
    group_ = 0;
    listings_->clear();
    otherGroup_->setEnabled(false);
    save_->setEnabled(false);
    if (name_->text().trimmed().isEmpty()) name_->setText(rule_.name);
    tell(QStringLiteral("Caricamento della pagina…"));
    preview_->load(url);
}

void AddSiteDialog::readPage(const StructureSelectors& kept, int attempt) {
    const int generation = generation_;
    page_->runJavaScript(
        StructureScript(rule_.domain, kept), QWebEngineScript::ApplicationWorld,
        [this, kept, attempt, generation](const QVariant& answer) {
            if (generation != generation_) return;
            const std::optional<StructureReading> reading = StructureFromAnswer(answer);
            const bool found = reading && !reading->listings.isEmpty();
            if (!found && kept.isEmpty() && attempt + 1 < kReadAttempts) {
                QTimer::singleShot(kReadAgainMs, this, [this, kept, attempt, generation] {
                    if (generation == generation_) readPage(kept, attempt + 1);
                });
                return;
            }
            if (reading)
                showReading(*reading);
            else
                tell(QStringLiteral("La pagina non si può leggere."));
            emit read();
        });
}

void AddSiteDialog::showReading(const StructureReading& reading) {
    listings_->clear();
    if (reading.listings.isEmpty()) {
        reading_.reset();
        save_->setEnabled(false);
        tell(
            QStringLiteral("Nessun annuncio trovato: fai clic sul titolo di un annuncio nella "
                           "pagina, o prova un altro gruppo."));
        otherGroup_->setEnabled(groups_.size() > 1);
        return;
    }
    reading_ = reading;
    // The groups are those of the reading without a choice: a group taken keeps them.
    if (!reading.fromKept) {
        groups_ = CardGroups(reading);
        group_ = 0;
    }
    for (const StructureListing& listing : reading.listings)
        listings_->addItem(NewSiteLine(listing));
    listings_->setCurrentRow(0);
    otherGroup_->setEnabled(groups_.size() > 1);
    save_->setEnabled(!name_->text().trimmed().isEmpty());
    tell(QStringLiteral("%1 annunci trovati, contornati nella pagina.")
             .arg(reading.listings.size()));
    page_->runJavaScript(
        QString::fromLatin1(kOutlineScript).arg(JsStringLiteral(reading.selectors.card)),
        QWebEngineScript::ApplicationWorld);
}

void AddSiteDialog::takeGroup(int index) {
    if (index < 0 || index >= groups_.size()) return;
    group_ = index;
    ++generation_;
    readPage({groups_[index], {}, {}, {}, {}}, 0);
}

void AddSiteDialog::takeGroupOf(const QUrl& link) {
    if (groups_.isEmpty()) return;
    const int generation = generation_;
    page_->runJavaScript(
        QString::fromLatin1(kGroupOfLinkScript)
            .arg(JsList(groups_), JsStringLiteral(QString::fromLatin1(link.toEncoded()))),
        QWebEngineScript::ApplicationWorld, [this, generation](const QVariant& answer) {
            if (generation != generation_) return;
            const int index = answer.toInt();
            if (index < 0) {
                tell(QStringLiteral("Quel collegamento non è in un gruppo di annunci."));
                return;
            }
            takeGroup(index);
        });
}

void AddSiteDialog::saveSite() {
    if (!reading_) return;
    if (const QString problem = NewSiteNameProblem(name_->text(), sites_); !problem.isEmpty()) {
        tell(problem);
        return;
    }
    const std::optional<SiteRule> site = NewSite(rule_, *reading_, name_->text(), sites_);
    if (!site) return;
    const WriteResult written = AddSiteSection(sitesPath_, *site);
    if (!written) {
        tell(QStringLiteral("Il sito non è stato salvato: ") + written.error);
        return;
    }
    emit siteAdded(*site, pane_->currentIndex() - 1);
    accept();
}

}  // namespace quintavia
