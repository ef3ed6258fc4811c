#include "shell/window/sites_overview.h"

#include <QHeaderView>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "shell/window/accessible_names.h"

namespace quintavia {
namespace {

enum Column { kName, kPlace, kState, kLast, kNext, kDays, kColumns };

QString When(const QDateTime& at, const QString& none) {
    if (!at.isValid()) return none;
    return QLocale(QLocale::Italian).toString(at, QStringLiteral("dd/MM HH:mm"));
}

}  // namespace

SitesOverview::SitesOverview(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("sitesOverview"));
    Name(this, QStringLiteral("Siti seguiti"),
         QStringLiteral(
             "Ogni sito sorvegliato, dove è mostrato, il suo stato e i suoi caricamenti"));
    view_ = new QTreeWidget(this);
    Named(view_, "sitesOverviewList", QStringLiteral("Invio mostra il sito in un riquadro"),
          QStringLiteral("Siti seguiti"),
          QStringLiteral("Un sito per riga; Invio lo mostra in un riquadro"));
    view_->setColumnCount(kColumns);
    view_->setHeaderLabels({QStringLiteral("Sito"), QStringLiteral("Dove"), QStringLiteral("Stato"),
                            QStringLiteral("Ultimo caricamento"), QStringLiteral("Prossimo"),
                            QStringLiteral("Nuovi in 14 giorni")});
    view_->setRootIsDecorated(false);
    view_->setAllColumnsShowFocus(true);
    view_->header()->setStretchLastSection(false);
    view_->header()->setSectionResizeMode(kState, QHeaderView::Stretch);
    connect(view_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { emit showAsked(view_->indexOfTopLevelItem(item)); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
}

void SitesOverview::setRows(const QList<SiteOverviewRow>& rows) {
    const int current = view_->currentIndex().row();
    view_->clear();
    for (const SiteOverviewRow& row : rows) {
        auto* item = new QTreeWidgetItem(view_);
        item->setText(kName, row.name);
        item->setText(kPlace, row.place);
        item->setText(kState, row.state);
        item->setText(kLast, When(row.last, QStringLiteral("non ancora")));
        item->setText(kNext, When(row.next, QString()));
        item->setText(kDays, PerDayBars(row.perDay));
        const QString spoken = PerDaySpoken(row.perDay);
        item->setToolTip(kDays, spoken);
        item->setData(kDays, Qt::AccessibleTextRole, spoken);
    }
    view_->resizeColumnToContents(kName);
    view_->resizeColumnToContents(kPlace);
    view_->resizeColumnToContents(kDays);
    if (view_->topLevelItemCount() > 0)
        view_->setCurrentItem(
            view_->topLevelItem(std::clamp(current, 0, view_->topLevelItemCount() - 1)));
}

}  // namespace quintavia
