#include "shell/window/main_window.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QWindow>

#include "core/layout/pane_grid.h"
#include "core/layout/top_band.h"
#include "core/layout/twips.h"
#include "shell/app/warn.h"
#include "shell/desktop/announcer.h"
#include "shell/desktop/listing_opener.h"
#include "shell/desktop/tray_icon.h"
#include "shell/window/accessible_names.h"
#include "shell/window/fonts.h"
#include "shell/window/found_listings_window.h"
#include "shell/window/settings_dialog.h"

// Resources are linked from a static library: they are registered by hand, outside any
// namespace.
static void RegisterIcons() {
    Q_INIT_RESOURCE(icons);
}

namespace quintavia {
namespace {

constexpr int kClientHeightTwips = 9240;
constexpr int kListingsWriteDelayMs = 2000;

// The design's colours come with the design's text colour: a theme's own text colour, set for
// its own backgrounds, can be near-white on the pale yellow and cyan.
void Paint(QWidget* widget, QColor background) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, Qt::black);
    widget->setPalette(palette);
}

// Qt names a combo box by its text on Linux, and says what it is for by the label that has it
// as its buddy: the design shows none, so the label is there for assistive technology alone.
void Label(QWidget* box, const QString& spokenName) {
    auto* label = new QLabel(spokenName, box->parentWidget());
    label->setObjectName(box->objectName() + QStringLiteral("Label"));
    label->setBuddy(box);
    label->hide();
}

// The window is a window to assistive technology as well: Qt gives a plain top-level widget
// the role of a filler.
QAccessibleInterface* WindowAccessible(const QString& className, QObject* object) {
    if (className == u"quintavia::MainWindow" && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

// The engine draws each page through a window of its own that is never shown, and Qt lists
// such windows among the program's windows to assistive technology, as frames named
// "Offscreen". Typed as pop-ups they are left out there; nothing else looks at the type of a
// window that is never shown.
void HideOffscreenWindowsFromAssistiveTechnology() {
    for (QWindow* window : QGuiApplication::topLevelWindows())
        if (window->inherits("QQuickWidgetOffscreenWindow") && window->type() != Qt::Popup)
            window->setFlags(window->flags() | Qt::Popup);
}

}  // namespace

MainWindow::MainWindow(SettingsFile& store, QWebEngineProfile& profile, Beep* beep, QWidget* parent)
    : QWidget(parent),
      store_(store),
      beep_(beep ? *beep : platformBeep_),
      seenFile_(ListingMemoryFile::UserPath()) {
    RegisterIcons();
    setObjectName(QStringLiteral("mainWindow"));
    setFont(WindowFont());
    setWindowTitle(QString::fromLatin1(kInitialTitle));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/icon_32.xpm"));
    icon.addFile(QStringLiteral(":/icons/icon_16.xpm"));
    setWindowIcon(icon);
    static const bool accessibleWindows = [] {
        QAccessible::installFactory(WindowAccessible);
        return true;
    }();
    Q_UNUSED(accessibleWindows);
    setAccessibleName(QStringLiteral("Quintavia"));
    setAccessibleDescription(
        QStringLiteral("Sorveglia gli annunci di lavoro di MioJob, Jobrapido, Jobonline e "
                       "InfoJobs per una regione"));
    resize(TwipsToPixels(kDesignClientWidthTwips), TwipsToPixels(kClientHeightTwips));

    // Behind the top band, covering the whole client area.
    grid_ = new PaneGridWidget(beep_, &profile, this);
    grid_->setGeometry(rect());
    buildTopBand();

    applyTabOrder();
    // A pane gets the widget that takes its keyboard focus only with its first page, and that
    // widget joins the keyboard order where Qt puts new widgets: the order is put right again,
    // and the window the widget draws through is kept from assistive technology.
    for (int i = 0; i < kSiteCount; ++i) pane(i)->installEventFilter(this);

    countdownTimer_ = new QTimer(this);
    countdownTimer_->setObjectName(QStringLiteral("countdownTimer"));
    countdownTimer_->setInterval(1000);
    countdownTimer_->start();
    listingsTimer_ = new QTimer(this);
    listingsTimer_->setSingleShot(true);
    listingsTimer_->setInterval(kListingsWriteDelayMs);
    tray_ = new TrayIcon(icon, this);
    announcer_ = new Announcer(beep_, tray_->icon(), this);

    // The platform's key for preferences is none on GNOME and plain X11 desktops: Ctrl+, is
    // bound there all the same.
    const QKeySequence commaKey(Qt::CTRL | Qt::Key_Comma);
    auto* settingsKey = new QShortcut(commaKey, this, this, &MainWindow::openSettings);
    settingsKey->setObjectName(QStringLiteral("settingsShortcut"));
    const QKeySequence preferences(QKeySequence::Preferences);
    if (!preferences.isEmpty() && preferences != commaKey)
        new QShortcut(preferences, this, this, &MainWindow::openSettings);
    wire();
}

MainWindow::~MainWindow() {
    // Widgets going away may still speak (a closing combo box reports a choice); nothing of
    // this window may hear them by then.
    for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
}

void MainWindow::applyTabOrder() {
    // The panes first, then the top band, then the labels.
    QList<QWidget*> order;
    for (int i = 0; i < kSiteCount; ++i) order << pane(i);
    order << regionBox_ << refreshButton_ << logBox_ << autoPositionOption_ << saveScrollButton_
          << soundAlertOption_ << siteLabelsOption_;
    for (int i = 0; i < kSiteCount; ++i) order << grid_->siteLabel(i);
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == logBox_->lineEdit() && event->type() == QEvent::MouseButtonDblClick) {
        showFound();
        return true;
    }
    if (event->type() == QEvent::ChildAdded) {
        QTimer::singleShot(0, this, &MainWindow::applyTabOrder);
        QTimer::singleShot(0, this, &HideOffscreenWindowsFromAssistiveTechnology);
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::buildTopBand() {
    regionBox_ =
        Named(new RegionBox(this), "regionBox", QStringLiteral("Scelta delle regioni"),
              QStringLiteral("Regione"),
              QStringLiteral("La regione in cui cercare: sceglila dall'elenco, oppure scrivila e "
                             "premi Invio"));
    regionBox_->setEditText(kDefaultRegionText);
    Name(regionBox_->view(), QStringLiteral("Elenco delle regioni"),
         QStringLiteral("Le venti regioni, in ordine alfabetico"));
    Name(regionBox_->lineEdit(), QStringLiteral("Regione"),
         QStringLiteral("Il testo della regione in cui cercare"));
    Label(regionBox_, QStringLiteral("Regione"));
    Paint(regionBox_, QColor(255, 255, 192));

    refreshButton_ =
        Named(new QPushButton(QStringLiteral("Aggiorna"), this), "refreshButton",
              QStringLiteral("Aggiorna manualmente le pagine"), QStringLiteral("Aggiorna"),
              QStringLiteral("Carica di nuovo le pagine dei quattro siti"));

    logBox_ =
        Named(new QComboBox(this), "logBox", QStringLiteral("Log"), QStringLiteral("Annunci nuovi"),
              QStringLiteral("Gli annunci nuovi trovati in questa sessione, il più recente "
                             "per ultimo; un doppio clic apre gli annunci trovati"));
    logBox_->setEditable(true);
    logBox_->setInsertPolicy(QComboBox::NoInsert);
    logBox_->setCompleter(nullptr);
    Name(logBox_->view(), QStringLiteral("Elenco degli annunci nuovi"),
         QStringLiteral("Gli annunci nuovi trovati, il più recente per ultimo"));
    Name(logBox_->lineEdit(), QStringLiteral("Annunci nuovi"),
         QStringLiteral("L'ultimo annuncio nuovo scelto o trovato"));
    Label(logBox_, QStringLiteral("Annunci nuovi"));
    // A double-click on the entry shows every listing found, with its link.
    logBox_->lineEdit()->installEventFilter(this);
    Paint(logBox_, QColor(192, 255, 255));

    soundAlertOption_ =
        Named(new TriStateCheckBox(QStringLiteral("Avviso sonoro"), this), "soundAlertOption",
              QStringLiteral("Avviso vocale di nuovi annunci"), QStringLiteral("Avviso sonoro"),
              QStringLiteral("Suona un avviso per ogni annuncio nuovo"));

    autoPositionOption_ =
        Named(new TriStateCheckBox(QStringLiteral("Auto Posizione"), this), "autoPositionOption",
              QStringLiteral("Attiva la posizione delle pagine nelle finestre browser salvate"),
              QStringLiteral("Auto Posizione"),
              QStringLiteral("Riporta ogni pagina alla posizione salvata dopo ogni caricamento"));

    saveScrollButton_ =
        Named(new QPushButton(QStringLiteral("Salva posizione finestre"), this), "saveScrollButton",
              QStringLiteral("Salva la posizione delle pagine nelle finestre browser"),
              QStringLiteral("Salva posizione finestre"),
              QStringLiteral("Salva la posizione a cui è scorsa ciascuna delle quattro pagine"));

    // Only as wide as its square: the caption is there but never seen.
    siteLabelsOption_ =
        Named(new TriStateCheckBox(QStringLiteral("Check3"), this), "siteLabelsOption",
              QStringLiteral("Visualizza Nome Agenzie"), QStringLiteral("Nomi dei siti"),
              QStringLiteral("Mostra il nome del sito sopra ogni pagina"));
    layOutTopBand();
}

void MainWindow::layOutTopBand() {
    const std::array<QWidget*, kBandControls> band = {
        regionBox_,          refreshButton_,    logBox_,          soundAlertOption_,
        autoPositionOption_, saveScrollButton_, siteLabelsOption_};
    const BandRects rects = TopBand(width());
    for (std::size_t i = 0; i < kBandControls; ++i) band[i]->setGeometry(rects[i]);
}

void MainWindow::wire() {
    connect(regionBox_, &RegionBox::regionChosen, this,
            [this](int index) { load(controller_.chooseRegion(index)); });
    connect(regionBox_, &QComboBox::editTextChanged, this,
            [this](const QString& text) { controller_.setRegionText(text); });
    connect(refreshButton_, &QPushButton::clicked, this, [this] { load(controller_.refresh()); });
    connect(regionBox_, &RegionBox::textEntered, this, [this] { load(controller_.refresh()); });
    connect(soundAlertOption_, &QCheckBox::stateChanged, this,
            [this] { controller_.setSoundAlert(soundAlertOption_->value()); });
    connect(autoPositionOption_, &QCheckBox::stateChanged, this,
            [this] { controller_.setAutoPosition(autoPositionOption_->value()); });
    connect(saveScrollButton_, &QPushButton::clicked, this, &MainWindow::savePositions);
    connect(siteLabelsOption_, &QCheckBox::clicked, this,
            [this] { grid_->showSiteLabels(siteLabelsOption_->value() == TriState::Ticked); });
    connect(countdownTimer_, &QTimer::timeout, this, &MainWindow::countdownTick);
    connect(listingsTimer_, &QTimer::timeout, this, &MainWindow::storeListings);
    connect(tray_, &TrayIcon::refreshAsked, refreshButton_, &QPushButton::click);
    connect(tray_, &TrayIcon::showAsked, this, &MainWindow::bringBack);
    connect(tray_, &TrayIcon::toggleAsked, this, &MainWindow::toggleShown);
    connect(tray_, &TrayIcon::notificationsToggled, this,
            [this](bool on) { controller_.setDesktopNotifications(on); });
    connect(tray_, &TrayIcon::historyAsked, announcer_, &Announcer::openHistory);
    connect(tray_, &TrayIcon::settingsAsked, this, &MainWindow::openSettings);
    connect(tray_, &TrayIcon::foundAsked, this, &MainWindow::showFound);
    // Through the window's own path, which stores the settings. A window hidden from the tray
    // ends nothing when it closes: the program is told to end as well.
    connect(tray_, &TrayIcon::quitAsked, this, [this] {
        if (close()) QCoreApplication::quit();
    });
    connect(announcer_, &Announcer::notificationActivated, this,
            [this](NoticeAction action, const QUrl& link) {
                apply(controller_.noticeClicked(action, link));
            });
    for (int i = 0; i < kSiteCount; ++i) {
        connect(
            pane(i), &WebPane::pageCaptured, this, [this](int site, const PageCapture& capture) {
                apply(site, controller_.pageCaptured(site, capture, QDateTime::currentDateTime()));
            });
    }
}

void MainWindow::startUp(const Settings& stored, Catalogue sites) {
    controller_ = WatchController(std::move(sites));
    // Appending to an empty list would select the new entry and overwrite the box's text.
    const QString text = regionBox_->currentText();
    regionBox_->addItems(RegionList());
    regionBox_->setEditText(text);

    // What was stored is shown before the first pages are asked for, which search the region
    // that the box shows.
    ListingMemoryFile::Loaded seen = seenFile_.load();
    Warn(seen.warnings);
    const StartUpOutcome start =
        controller_.startUp(stored, std::move(seen.memory), announcer_->history().readFound());
    Warn(start.warnings);
    showPanes(start.panes);
    regionBox_->setEditText(start.regionText);
    autoPositionOption_->setValue(start.autoPosition);
    soundAlertOption_->setValue(start.soundAlert);
    tray_->setNotificationsChecked(start.desktopNotifications);
    showToolTips(start.toolTips);
    load(start.addresses);
    tray_->show();
}

void MainWindow::load(const Addresses& addresses) {
    // Stops at the first address a pane refuses; the panes after it keep what they show.
    for (int i = 0; i < kSiteCount; ++i)
        if (!pane(i)->navigate(addresses[static_cast<std::size_t>(i)])) return;
}

void MainWindow::reload(const std::array<std::optional<QString>, kSiteCount>& addresses) {
    for (int i = 0; i < kSiteCount; ++i)
        if (const auto& address = addresses[static_cast<std::size_t>(i)])
            pane(i)->navigate(*address);
}

void MainWindow::openSettings() {
    // From the tray the window may be hidden or minimized: the dialog comes with it.
    if (!isVisible() || isMinimized()) bringBack();
    if (!settingsDialog_) {
        settingsDialog_ = new SettingsDialog(controller_.catalogue(), controller_.choices(), this);
        settingsDialog_->setAttribute(Qt::WA_DeleteOnClose);
        connect(settingsDialog_, &QDialog::accepted, this,
                [this, dialog = settingsDialog_.data()] { applyChoices(dialog->choices()); });
        // Closed, it goes only once the event loop comes back to it: the next request opens
        // another at once.
        connect(settingsDialog_, &QDialog::finished, this, [this] { settingsDialog_ = nullptr; });
        // Window-modal: the watch goes on behind it.
        settingsDialog_->open();
    }
    settingsDialog_->raise();
    settingsDialog_->activateWindow();
}

void MainWindow::applyChoices(const Choices& choices) {
    const ChoicesOutcome outcome = controller_.choose(choices);
    showPanes(outcome.panes);
    showToolTips(outcome.toolTips);
    tray_->setNotificationsChecked(outcome.desktopNotifications);
    reload(outcome.reload);
    store(ChoicesEntries(controller_.settings()), "the settings were not saved");
}

void MainWindow::apply(int site, const PageOutcome& outcome) {
    if (outcome.listing) {
        // The oldest goes first, so the box never holds more than it keeps; the entry shown is
        // set last, as removing the current item shows another.
        if (logBox_->count() >= kLogEntriesKept) logBox_->removeItem(0);
        logBox_->addItem(outcome.listing->logEntry);
        logBox_->setEditText(outcome.listing->logEntry);
        announcer_->announce(*outcome.listing);
    }
    announcer_->record(outcome.records);
    if (outcome.memoryChanged) storeListingMemory();
    if (outcome.foundNotice) announcer_->notify(*outcome.foundNotice);
    if (!outcome.found.isEmpty()) refreshFound();
    if (outcome.watchNotice) announcer_->notify(*outcome.watchNotice);
    if (outcome.toolTips) showToolTips(*outcome.toolTips);
    if (outcome.scroll) pane(site)->scrollTo(*outcome.scroll);
    if (outcome.listingsChanged && !listingsTimer_->isActive()) listingsTimer_->start();
}

void MainWindow::apply(const OpenOutcome& outcome) {
    if (outcome.link) OpenInBrowser(*outcome.link);
    if (outcome.bringBack) bringBack();
    if (outcome.showFound) showFound();
    showToolTips(outcome.toolTips);
    refreshFound();
}

void MainWindow::showFound() {
    if (!foundWindow_) {
        // A window of its own, beside the main one: the list is read while the panes go on.
        foundWindow_ = new FoundListingsWindow(this);
        connect(foundWindow_, &FoundListingsWindow::openAsked, this,
                [this](qsizetype row) { apply(controller_.openFound(row)); });
    }
    foundWindow_->show(controller_.found());
}

void MainWindow::refreshFound() {
    // A hidden list is brought up to date when it is shown again: no row of it can be opened
    // meanwhile.
    if (foundWindow_ && foundWindow_->isVisible()) foundWindow_->refresh(controller_.found());
}

void MainWindow::storeListingMemory() {
    const WriteResult written = seenFile_.save(controller_.listingMemory());
    Warn(written.warnings);
    // A file that keeps failing would say so at every capture: once, until it works again.
    if (written) {
        seenFileFailing_ = false;
        return;
    }
    if (std::exchange(seenFileFailing_, true)) return;
    Warn(QStringLiteral("the listings seen were not saved: ") + written.error);
}

void MainWindow::showPanes(const PaneRules& panes) {
    for (int i = 0; i < kSiteCount; ++i) {
        const SiteRule& rule = panes[static_cast<std::size_t>(i)];
        grid_->showSite(i, rule);
    }
}

void MainWindow::showToolTips(const ToolTips& tips) {
    for (int i = 0; i < kSiteCount; ++i)
        grid_->siteLabel(i)->setToolTip(tips.siteLabels[static_cast<std::size_t>(i)]);
    tray_->setToolTip(tips.tray);
}

void MainWindow::countdownTick() {
    const TickOutcome tick = controller_.tick(state());
    if (tick.refresh) load(*tick.refresh);
    setWindowTitle(tick.title);
    tray_->setToolTip(tick.trayToolTip);
    for (const Notice& notice : tick.notices) announcer_->notify(notice);
}

WindowState MainWindow::state() const {
    const Qt::WindowStates states = windowState();
    if (states & Qt::WindowMinimized) return WindowState::Minimized;
    if (states & (Qt::WindowMaximized | Qt::WindowFullScreen)) return WindowState::Maximized;
    return WindowState::Normal;
}

void MainWindow::savePositions() {
    std::array<std::optional<QPointF>, kSiteCount> offsets;
    for (int i = 0; i < kSiteCount; ++i)
        offsets[static_cast<std::size_t>(i)] = pane(i)->scrollOffsets();
    SettingsEntries entries;
    for (const QString& site : controller_.savePositions(offsets))
        entries += ScrollEntriesFor(controller_.settings(), site);
    if (!entries.isEmpty()) store(entries, "the scroll positions were not saved");
}

void MainWindow::storeListings() {
    if (shutDownDone_) return;
    store(ListingEntries(controller_.settings()), "the last listings were not saved");
}

void MainWindow::shutDown() {
    if (shutDownDone_) return;
    shutDownDone_ = true;
    listingsTimer_->stop();
    settingsSaved_ = store(ShutdownEntries(controller_.settings()), "the settings were not saved");
}

bool MainWindow::store(const SettingsEntries& entries, const char* what) {
    const WriteResult written = store_.write(entries);
    Warn(written.warnings);
    if (!written) Warn(QLatin1String(what) + QStringLiteral(": ") + written.error);
    return written.ok;
}

void MainWindow::bringBack() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void MainWindow::toggleShown() {
    if (isVisible() && !isMinimized()) {
        hide();
        return;
    }
    bringBack();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    shutDown();
    event->accept();  // closing is never refused
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    // What reaches the window from the top band: its free area and the controls that have no
    // menu of their own. The panes and site labels keep theirs.
    if (event->pos().y() >= TwipsToPixels(kTopStripTwips)) return QWidget::contextMenuEvent(event);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("bandMenu"));
    menu.setAccessibleName(QStringLiteral("Menu della barra"));
    menu.setAccessibleDescription(QStringLiteral("Il menu della barra dei controlli"));
    QAction* settings = menu.addAction(QStringLiteral("Impostazioni…"));
    settings->setObjectName(QStringLiteral("bandSettingsAction"));
    QAction* found = menu.addAction(QStringLiteral("Annunci trovati"));
    found->setObjectName(QStringLiteral("bandFoundAction"));
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == settings) openSettings();
    if (chosen == found) showFound();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    grid_->setGeometry(rect());
    layOutTopBand();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Minimizing and restoring keep the client area's size, so Qt sends no resize for them;
    // the grid is laid out again all the same.
    if (event->type() == QEvent::WindowStateChange) grid_->layOut();
}

}  // namespace quintavia
