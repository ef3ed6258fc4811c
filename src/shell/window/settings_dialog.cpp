#include "shell/window/settings_dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/layout/pane_grid.h"
#include "core/watch/site_texts.h"
#include "shell/window/accessible_names.h"
#include "shell/window/other_sites_box.h"
#include "shell/window/refused_sections.h"

namespace quintavia {
namespace {

// A closed site stays on the list, so that a pane showing it shows it here too, and says so.
QString ShownName(const SiteRule& site) {
    if (site.closedNote.isEmpty()) return site.name;
    return site.name + QStringLiteral(" (chiuso)");
}

}  // namespace

SettingsDialog::SettingsDialog(const Catalogue& sites, const Choices& current, QWidget* parent)
    : QDialog(parent), sites_(sites) {
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(QStringLiteral("Impostazioni"));
    setAccessibleName(QStringLiteral("Impostazioni"));
    setAccessibleDescription(
        QStringLiteral("Il sito di ciascun riquadro, le parole chiave e le notifiche"));

    auto* form = new QFormLayout;
    QList<QWidget*> order;
    const auto paneCount = static_cast<int>(current.paneSites.size());
    for (int i = 0; i < paneCount; ++i) {
        auto* box = new QComboBox(this);
        // Where each pane sits, in reading order, as its box's label says it.
        const QString captionText = PaneCaption(i, paneCount);
        const QString label = QString(captionText).remove(u'&');
        const QByteArray objectName = "siteBox" + QByteArray::number(i);
        Named(box, objectName.constData(), QStringLiteral("Il sito di questo riquadro"), label,
              QStringLiteral("Il sito che il riquadro mostra"));
        Name(box->view(), QStringLiteral("Elenco dei siti"),
             QStringLiteral("I siti che un riquadro può mostrare"));
        for (const SiteRule& site : sites.rules) {
            box->addItem(ShownName(site), site.id);
            // What to expect of the site, read where it is chosen.
            QStringList notes;
            if (!site.closedNote.isEmpty()) notes.append(site.closedNote);
            if (!site.note.isEmpty()) notes.append(site.note);
            if (!notes.isEmpty())
                box->setItemData(box->count() - 1, notes.join(u'\n'), Qt::ToolTipRole);
        }
        box->setCurrentIndex(box->findData(current.paneSites[i]));
        auto* caption = new QLabel(captionText, this);
        caption->setBuddy(box);
        form->addRow(caption, box);
        siteBoxes_.append(box);
        order << box;
    }

    // A line of text with its caption, whose "&" marks the Alt key and is not spoken.
    const auto addLine = [&](const QString& text, const char* objectName, const QString& caption,
                             const QString& toolTip, const QString& description) {
        auto* edit = new QLineEdit(text, this);
        Named(edit, objectName, toolTip, QString(caption).remove(u'&'), description);
        auto* label = new QLabel(caption, this);
        label->setBuddy(edit);
        form->addRow(label, edit);
        return edit;
    };
    keywords_ = addLine(
        current.keywords, "keywordsEdit", QStringLiteral("&Parole chiave"),
        QStringLiteral("Le parole da cercare"),
        QStringLiteral("Le parole da cercare nei siti che le accettano; vuoto per nessuna"));
    keywordPanes_ = new QLabel(this);
    keywordPanes_->setObjectName(QStringLiteral("keywordPanesNote"));
    keywordPanes_->setWordWrap(true);
    form->addRow(QString(), keywordPanes_);
    noteKeywordPanes();
    for (QComboBox* box : siteBoxes_)
        connect(box, &QComboBox::currentIndexChanged, this, &SettingsDialog::noteKeywordPanes);

    // Whole words, as the titles are compared with them: "cuoco" lets "Cuoco capo partita"
    // through, not "Cuochessa".
    const QString wordsRule =
        QStringLiteral("separate da virgole; parole intere, maiuscole e accenti non contano");
    includeWords_ = addLine(
        current.includeWords, "includeWords", QStringLiteral("Parole da &includere"),
        QStringLiteral("Un annuncio nuovo è segnalato solo se il titolo contiene almeno una di "
                       "queste parole (") +
            wordsRule + QStringLiteral("). Vuoto: passano tutti."),
        QStringLiteral("Segnala solo gli annunci che contengono almeno una di queste parole, ") +
            wordsRule + QStringLiteral("; vuoto per segnalarli tutti"));
    excludeWords_ = addLine(
        current.excludeWords, "excludeWords", QStringLiteral("Parole da &escludere"),
        QStringLiteral("Un annuncio nuovo il cui titolo contiene una di queste parole non è "
                       "segnalato (") +
            wordsRule + QStringLiteral("). Vuoto: passano tutti."),
        QStringLiteral("Non segnala gli annunci che contengono una di queste parole, ") +
            wordsRule + QStringLiteral("; vuoto per non escluderne nessuno"));

    notifications_ = new QCheckBox(QStringLiteral("&Notifiche sul desktop"), this);
    Named(notifications_, "notificationsOption",
          QStringLiteral("Una notifica per ogni annuncio nuovo"),
          QStringLiteral("Notifiche sul desktop"),
          QStringLiteral("Una notifica del desktop per ogni annuncio nuovo"));
    notifications_->setChecked(current.desktopNotifications);
    form->addRow(notifications_);
    otherSites_ = new OtherSitesBox(sites, current, this);
    form->addRow(otherSites_);
    grid_ =
        Named(new QComboBox(this), "gridBox", QStringLiteral("Quanti riquadri mostra la finestra"),
              QStringLiteral("Disposizione dei riquadri"),
              QStringLiteral("Quanti riquadri per riga e per colonna"));
    Name(grid_->view(), QStringLiteral("Elenco delle disposizioni"),
         QStringLiteral("Le griglie di riquadri tra cui scegliere"));
    for (const int panes : kGridChoices) {
        const GridShape shape = GridShapeFor(panes);
        grid_->addItem(QStringLiteral("%1 × %2").arg(shape.columns).arg(shape.rows), panes);
    }
    grid_->setCurrentIndex(std::max(0, grid_->findData(current.paneCount)));
    auto* gridCaption = new QLabel(QStringLiteral("&Disposizione dei riquadri"), this);
    gridCaption->setBuddy(grid_);
    form->addRow(gridCaption, grid_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("settingsButtons"));
    Name(buttons, QStringLiteral("Conferma"), QStringLiteral("Applica o annulla le impostazioni"));
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    // Italian whatever translations are installed.
    ok->setText(QStringLiteral("OK"));
    cancel->setText(QStringLiteral("Annulla"));
    Named(ok, "okButton", QString(), QStringLiteral("OK"),
          QStringLiteral("Applica e salva le impostazioni"));
    Named(cancel, "cancelButton", QString(), QStringLiteral("Annulla"),
          QStringLiteral("Chiude senza cambiare nulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* addSite =
        Named(new QPushButton(QStringLiteral("&Aggiungi sito…"), this), "addSiteButton", QString(),
              QStringLiteral("Aggiungi sito"),
              QStringLiteral("Un sito nuovo dall'indirizzo di una pagina di risultati"));
    addSite->setAutoDefault(false);
    connect(addSite, &QPushButton::clicked, this, &SettingsDialog::addSiteAsked);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(addSite);
    layout->addWidget(buttons);

    order << keywords_ << includeWords_ << excludeWords_ << notifications_ << otherSites_->list()
          << otherSites_->intervalBox() << grid_ << addSite << ok << cancel;
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
    if (!siteBoxes_.isEmpty()) siteBoxes_.first()->setFocus();
}

void SettingsDialog::showRefused(const QList<RefusedSection>& refused) {
    if (refused.isEmpty() || findChild<RefusedSections*>()) return;
    auto* box = qobject_cast<QVBoxLayout*>(layout());
    if (!box) return;
    // Above the buttons, after the fields.
    box->insertWidget(box->count() - 1, new RefusedSections(refused, this));
}

void SettingsDialog::focusPane(int pane) {
    if (pane >= 0 && pane < siteBoxes_.size()) siteBoxes_.at(pane)->setFocus();
}

void SettingsDialog::noteKeywordPanes() {
    QList<SiteRule> chosen;
    for (const QComboBox* box : siteBoxes_) {
        const SiteRule* rule = sites_.find(box->currentData().toString());
        chosen.append(rule ? *rule : SiteRule{});
    }
    keywordPanes_->setText(KeywordPanesNote(chosen));
    keywords_->setAccessibleDescription(
        QStringLiteral("Le parole da cercare nei siti che le accettano; vuoto per nessuna. ") +
        keywordPanes_->text());
}

void SettingsDialog::addSite(const SiteRule& site, int pane) {
    // Known before a box shows it: the note on the keywords reads it at once.
    if (!sites_.find(site.id)) sites_.rules.append(site);
    for (int i = 0; i < siteBoxes_.size(); ++i) {
        QComboBox* box = siteBoxes_[i];
        if (box->findData(site.id) < 0) box->addItem(ShownName(site), site.id);
        if (i == pane) box->setCurrentIndex(box->findData(site.id));
    }
}

Choices SettingsDialog::choices() const {
    Choices chosen;
    for (const QComboBox* box : siteBoxes_) chosen.paneSites.append(box->currentData().toString());
    chosen.keywords = keywords_->text();
    chosen.includeWords = includeWords_->text();
    chosen.excludeWords = excludeWords_->text();
    chosen.desktopNotifications = notifications_->isChecked();
    chosen.backgroundSites = otherSites_->backgroundSites();
    chosen.intervals = otherSites_->intervals();
    chosen.paneCount = grid_->currentData().toInt();
    return chosen;
}

}  // namespace quintavia
