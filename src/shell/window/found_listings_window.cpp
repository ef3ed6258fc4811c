#include "shell/window/found_listings_window.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <array>
#include <optional>

#include "core/text/shown_text.h"
#include "shell/window/accessible_names.h"
#include "shell/window/plain_tool_tip.h"
#include "shell/window/sites_overview.h"

namespace quintavia {

// The rows of the list that the search shows, as the view reads them.
class FoundRowsModel final : public QAbstractTableModel {
  public:
    enum Column { When, Site, Title, Note, Company, Place, Published, ColumnCount };

    explicit FoundRowsModel(QObject* parent) : QAbstractTableModel(parent) {}

    void reset(const FoundList* list, QList<qsizetype> rows) {
        beginResetModel();
        list_ = list;
        rows_ = std::move(rows);
        endResetModel();
    }
    const QList<qsizetype>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const std::array<QString, ColumnCount> kNames = {
            QStringLiteral("Quando"),    QStringLiteral("Sito"),    QStringLiteral("Annuncio"),
            QStringLiteral("Note"),      QStringLiteral("Azienda"), QStringLiteral("Luogo"),
            QStringLiteral("Pubblicato")};
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= ColumnCount)
            return {};
        return kNames[static_cast<std::size_t>(section)];
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!list_ || !index.isValid() || index.row() >= rows_.size()) return {};
        const qsizetype row = rows_.at(index.row());
        const FoundListing& listing = list_->at(row);
        switch (role) {
            case Qt::DisplayRole:
                return text(listing, index.column());
            case Qt::ToolTipRole:
                // The whole title, which the column may cut, and where it leads.
                if (index.column() == Title)
                    return PlainToolTip(text(listing, Title) + u'\n' +
                                        ShownAddress(listing.address()));
                return {};
            case Qt::AccessibleTextRole:
                // Bold is seen, not heard.
                if (index.column() == Title && list_->unopened(row))
                    return text(listing, Title) + QStringLiteral(", non ancora aperto");
                return {};
            case Qt::AccessibleDescriptionRole:
                return list_->unopened(row) ? QStringLiteral("Non ancora aperto")
                                            : QStringLiteral("Già aperto");
            case Qt::ForegroundRole:
                // Left out by the user's words: there, but not what was asked for.
                if (listing.filtered)
                    return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
                return {};
            case Qt::FontRole:
                if (list_->unopened(row)) {
                    QFont bold;
                    bold.setBold(true);
                    return bold;
                }
                return {};
            default:
                return {};
        }
    }

  private:
    static QString text(const FoundListing& listing, int column) {
        switch (column) {
            case When:
                return listing.when.isValid()
                           ? listing.when.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"))
                           : QString();
            case Site:
                return listing.site;
            case Title:
                return ShownText(listing.title) +
                       (listing.filtered ? QStringLiteral(" (filtrato)") : QString());
            case Note:
                return listing.alsoOn.isEmpty() ? QString()
                                                : QStringLiteral("anche su ") + listing.alsoOn;
            case Company:
                return ShownText(listing.company);
            case Place:
                return ShownText(listing.place);
            case Published:
                return ShownText(listing.published);
            default:
                return {};
        }
    }

    const FoundList* list_ = nullptr;
    QList<qsizetype> rows_;
};

FoundListingsWindow::FoundListingsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("foundListingsWindow"));
    // Only the main window's closing ends the program, whatever this one does.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(FoundListingsTitle(0));
    Name(this, QStringLiteral("Annunci trovati"),
         QStringLiteral("Gli annunci nuovi trovati nei siti, i più recenti in alto"));

    filter_ =
        Named(new QLineEdit(this), "foundFilter",
              QStringLiteral("Parole del titolo, del sito, dell'azienda o del luogo; Freccia giù "
                             "passa all'elenco"),
              QStringLiteral("Cerca negli annunci"),
              QStringLiteral("Mostra solo gli annunci che contengono queste parole nel "
                             "titolo, nel nome del sito, nell'azienda o nel luogo"));
    filter_->setPlaceholderText(QStringLiteral("Cerca negli annunci"));
    filter_->setClearButtonEnabled(true);
    for (QToolButton* clear : filter_->findChildren<QToolButton*>())
        Name(clear, QStringLiteral("Svuota la ricerca"),
             QStringLiteral("Cancella le parole cercate e mostra di nuovo tutti gli annunci"));
    filter_->installEventFilter(this);
    auto* caption = new QLabel(QStringLiteral("&Cerca:"), this);
    caption->setBuddy(filter_);

    showFiltered_ =
        Named(new QCheckBox(QStringLiteral("&Mostra anche i filtrati"), this), "foundShowFiltered",
              QStringLiteral("Anche gli annunci lasciati fuori dalle parole scelte "
                             "nelle impostazioni"),
              QStringLiteral("Mostra anche i filtrati"),
              QStringLiteral("Mostra anche gli annunci esclusi dalle parole da "
                             "includere o da escludere"));

    openAll_ =
        Named(new QPushButton(QStringLiteral("&Segna tutti come aperti"), this), "foundOpenAll",
              QStringLiteral("Non evidenziare più gli annunci non ancora aperti"),
              QStringLiteral("Segna tutti come aperti"),
              QStringLiteral("Conta come aperti tutti gli annunci trovati, senza aprirli"));

    model_ = new FoundRowsModel(this);
    view_ = Named(new QTreeView(this), "foundList", QString(),
                  QStringLiteral("Elenco degli annunci trovati"),
                  QStringLiteral("Gli annunci trovati, i più recenti in alto; Invio o un doppio "
                                 "clic apre l'annuncio nel browser"));
    view_->setModel(model_);
    view_->setRootIsDecorated(false);
    view_->setItemsExpandable(false);
    view_->setUniformRowHeights(true);
    view_->setAllColumnsShowFocus(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Sized by what the columns hold at most, not by measuring thousands of rows.
    const QFontMetrics metrics = view_->fontMetrics();
    const int pad = metrics.averageCharWidth() * 3;
    QHeaderView* header = view_->header();
    header->setStretchLastSection(false);
    header->resizeSection(FoundRowsModel::When,
                          metrics.horizontalAdvance(QStringLiteral("00/00/0000 00:00")) + pad);
    header->resizeSection(FoundRowsModel::Site,
                          metrics.horizontalAdvance(QStringLiteral("Jobrapido")) + pad * 2);
    header->resizeSection(FoundRowsModel::Note,
                          metrics.horizontalAdvance(QStringLiteral("anche su Jobrapido")) + pad);
    for (const int detail : {FoundRowsModel::Company, FoundRowsModel::Place})
        header->resizeSection(detail, metrics.averageCharWidth() * 18 + pad);
    header->resizeSection(FoundRowsModel::Published,
                          metrics.horizontalAdvance(QStringLiteral("0000-00-00")) + pad);
    header->setSectionResizeMode(FoundRowsModel::Title, QHeaderView::Stretch);

    auto* search = new QHBoxLayout;
    search->addWidget(caption);
    search->addWidget(filter_, 1);
    search->addWidget(showFiltered_);
    search->addWidget(openAll_);
    auto* listings =
        Named(new QWidget(this), "foundListingsPage", QString(), QStringLiteral("Annunci trovati"),
              QStringLiteral("La ricerca e l'elenco degli annunci trovati"));
    auto* listingsLayout = new QVBoxLayout(listings);
    listingsLayout->addLayout(search);
    listingsLayout->addWidget(view_, 1);
    setTabOrder(filter_, showFiltered_);
    setTabOrder(showFiltered_, openAll_);
    setTabOrder(openAll_, view_);

    // The sites beside what they found: which one is quiet, blind or held back is read here.
    sites_ = new SitesOverview(this);
    tabs_ = Named(new QTabWidget(this), "foundTabs", QString(),
                  QStringLiteral("Annunci trovati e siti seguiti"),
                  QStringLiteral("Ctrl+Tab passa dagli annunci trovati ai siti seguiti"));
    tabs_->addTab(listings, QStringLiteral("Annunci &trovati"));
    tabs_->addTab(sites_, QStringLiteral("Siti segu&iti"));
    tabs_->setTabToolTip(0, QStringLiteral("Gli annunci nuovi trovati nei siti"));
    tabs_->setTabToolTip(1,
                         QStringLiteral("Ogni sito sorvegliato, dove è mostrato e il suo stato"));
    // Two tabs never need them, but the bar has them all the same.
    tabs_->setUsesScrollButtons(false);
    for (QToolButton* scroll : tabs_->tabBar()->findChildren<QToolButton*>())
        Name(scroll, scroll->accessibleName(), QStringLiteral("Mostra le altre schede"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    resize(metrics.averageCharWidth() * 150, metrics.height() * 30);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        setWindowTitle(tab == kSitesTab ? QStringLiteral("Siti seguiti")
                                        : FoundListingsTitle(list_.unopenedCount()));
        if (tab == kSitesTab) emit sitesShown();
    });
    connect(sites_, &SitesOverview::showAsked, this, &FoundListingsWindow::sitesShowAsked);

    connect(filter_, &QLineEdit::textChanged, this, [this] { refresh(list_); });
    connect(showFiltered_, &QCheckBox::toggled, this, [this] { refresh(list_); });
    connect(openAll_, &QPushButton::clicked, this, &FoundListingsWindow::openAllAsked);
    connect(view_, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        const qsizetype row = listRowAt(index.row());
        if (row >= 0) emit openAsked(row);
    });
}

FoundListingsWindow::~FoundListingsWindow() = default;

void FoundListingsWindow::show(const FoundList& list) {
    refresh(list);
    tabs_->setCurrentIndex(kListingsTab);
    bringForward();
    view_->setFocus();
}

void FoundListingsWindow::showSites(const QList<SiteOverviewRow>& rows) {
    sites_->setRows(rows);
    // Set first: the tab's showing asks for the rows again, which are then these.
    const QSignalBlocker quiet(this);
    tabs_->setCurrentIndex(kSitesTab);
    bringForward();
    sites_->view()->setFocus();
}

void FoundListingsWindow::bringForward() {
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    QWidget::show();
    raise();
    activateWindow();
}

qsizetype FoundListingsWindow::listRowAt(int at) const {
    if (at < 0 || at >= model_->rows().size()) return -1;
    return model_->rows().at(at);
}

void FoundListingsWindow::refresh(const FoundList& list) {
    // Where the user was, by listing: the rows' numbers change as new ones come on top.
    const auto listingAt = [this](int at) -> std::optional<FoundListing> {
        const qsizetype row = listRowAt(at);
        if (row < 0) return std::nullopt;
        return list_.at(row);
    };
    const std::optional<FoundListing> current = listingAt(view_->currentIndex().row());
    const bool atTop = view_->verticalScrollBar()->value() == 0;
    const std::optional<FoundListing> top = listingAt(view_->indexAt(QPoint(0, 0)).row());

    list_ = list;
    model_->reset(&list_, list_.shown(filter_->text(), showFiltered_->isChecked()));
    if (tabs_->currentIndex() == kListingsTab)
        setWindowTitle(FoundListingsTitle(list_.unopenedCount()));
    openAll_->setEnabled(list_.unopenedCount() > 0);

    const QList<qsizetype>& rows = model_->rows();
    const auto find = [&](const std::optional<FoundListing>& listing) {
        if (!listing) return -1;
        for (int at = 0; at < rows.size(); ++at)
            if (list_.at(rows.at(at)) == *listing) return at;
        return -1;
    };
    if (rows.isEmpty()) return;
    const int kept = find(current);
    // On the title: the row is read by what it offers, not by its date.
    view_->setCurrentIndex(model_->index(kept < 0 ? 0 : kept, FoundRowsModel::Title));
    if (atTop) {
        view_->scrollToTop();
    } else if (const int shownFirst = find(top); shownFirst >= 0) {
        view_->scrollTo(model_->index(shownFirst, 0), QAbstractItemView::PositionAtTop);
    }
}

bool FoundListingsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == filter_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_PageDown) {
            view_->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FoundListingsWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace quintavia
