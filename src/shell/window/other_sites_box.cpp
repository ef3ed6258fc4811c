#include "shell/window/other_sites_box.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "core/watch/site_pace.h"
#include "shell/window/accessible_names.h"

namespace quintavia {
namespace {

QString EveryText(int minutes) {
    return minutes == 60 ? QStringLiteral("ogni ora")
                         : QStringLiteral("ogni %1 minuti").arg(minutes);
}

}  // namespace

OtherSitesBox::OtherSitesBox(const Catalogue& sites, const Choices& current, QWidget* parent)
    : QWidget(parent), intervals_(current.intervals) {
    setObjectName(QStringLiteral("otherSitesBox"));
    Name(this, QStringLiteral("Altri siti da seguire"),
         QStringLiteral("I siti sorvegliati senza un riquadro e l'intervallo di ciascun sito"));
    auto* caption = new QLabel(QStringLiteral("Altri &siti da seguire"), this);
    list_ = new QListWidget(this);
    Named(list_, "otherSitesList",
          QStringLiteral("I siti spuntati sono sorvegliati senza un riquadro; Spazio spunta"),
          QStringLiteral("Altri siti da seguire"),
          QStringLiteral("I siti sorvegliati senza un riquadro, oltre a quelli dei riquadri"));
    caption->setBuddy(list_);
    QStringList order = current.backgroundSites;
    for (const SiteRule& site : sites.rules)
        if (!order.contains(site.id)) order.append(site.id);
    for (const SiteRule& site : sites.rules) names_.insert(site.id, site.name);
    for (const QString& id : order) {
        if (!names_.contains(id)) continue;
        auto* item = new QListWidgetItem(names_.value(id), list_);
        item->setData(Qt::UserRole, id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(current.backgroundSites.contains(id) ? Qt::Checked : Qt::Unchecked);
    }
    list_->setMaximumHeight(list_->sizeHintForRow(0) * 6 + 2 * list_->frameWidth());

    interval_ = new QComboBox(this);
    Named(interval_, "intervalBox",
          QStringLiteral("Quanto spesso il sito scelto nell'elenco è ricaricato"),
          QStringLiteral("Intervallo"),
          QStringLiteral("Ogni quanto ricaricare il sito scelto nell'elenco"));
    Name(interval_->view(), QStringLiteral("Elenco degli intervalli"),
         QStringLiteral("Ogni quanto un sito può essere ricaricato"));
    for (int minutes : kPaceChoices) interval_->addItem(EveryText(minutes), minutes);
    auto* intervalCaption = new QLabel(QStringLiteral("Inter&vallo del sito"), this);
    intervalCaption->setBuddy(interval_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption);
    layout->addWidget(list_);
    auto* row = new QFormLayout;
    row->addRow(intervalCaption, interval_);
    layout->addLayout(row);
    setTabOrder(list_, interval_);

    connect(list_, &QListWidget::currentRowChanged, this, &OtherSitesBox::showInterval);
    connect(interval_, &QComboBox::activated, this, &OtherSitesBox::setInterval);
    list_->setCurrentRow(0);
    showInterval();
}

QStringList OtherSitesBox::backgroundSites() const {
    QStringList ids;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->checkState() == Qt::Checked)
            ids.append(list_->item(i)->data(Qt::UserRole).toString());
    return ids;
}

void OtherSitesBox::showInterval() {
    const QListWidgetItem* item = list_->currentItem();
    interval_->setEnabled(item != nullptr);
    if (!item) return;
    const QString id = item->data(Qt::UserRole).toString();
    interval_->setCurrentIndex(interval_->findData(intervals_.value(id, kDefaultPaceMinutes)));
    interval_->setAccessibleName(QStringLiteral("Intervallo di ") + names_.value(id));
}

void OtherSitesBox::setInterval() {
    const QListWidgetItem* item = list_->currentItem();
    if (!item) return;
    intervals_.insert(item->data(Qt::UserRole).toString(), interval_->currentData().toInt());
}

}  // namespace quintavia
