#include "shell/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>

#include "core/twips.h"
#include "shell/announcer.h"
#include "shell/fonts.h"
#include "shell/tray_icon.h"
#include "shell/warn.h"

// Resources are linked from a static library: they are registered by hand, outside any
// namespace.
static void RegisterIcons() {
    Q_INIT_RESOURCE(icons);
}

namespace quintavia {
namespace {

constexpr int kClientWidthTwips = 16515;
constexpr int kClientHeightTwips = 9240;
constexpr int kListingsWriteDelayMs = 2000;

void Place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(
        TwipsToPixels(static_cast<float>(left)), TwipsToPixels(static_cast<float>(top)),
        TwipsToPixels(static_cast<float>(width)), TwipsToPixels(static_cast<float>(height)));
}

void Paint(QWidget* widget, QColor background) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, background);
    widget->setPalette(palette);
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name, const QString& tip) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setToolTip(tip);
    return widget;
}

}  // namespace

MainWindow::MainWindow(SettingsFile& store, QWebEngineProfile& profile, Beep* beep, QWidget* parent)
    : QWidget(parent), store_(store), beep_(beep ? *beep : platformBeep_) {
    RegisterIcons();
    setObjectName(QStringLiteral("mainWindow"));
    setFont(WindowFont());
    setWindowTitle(QString::fromLatin1(kInitialTitle));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/icon_32.xpm"));
    icon.addFile(QStringLiteral(":/icons/icon_16.xpm"));
    setWindowIcon(icon);
    resize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));

    // Behind the top band, covering the whole client area.
    grid_ = new PaneGridWidget(beep_, &profile, this);
    grid_->setGeometry(rect());
    buildTopBand();

    applyTabOrder();
    // A pane gets the widget that takes its keyboard focus only with its first page, and that
    // widget joins the keyboard order where Qt puts new widgets: the order is put right again.
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
    if (event->type() == QEvent::ChildAdded)
        QTimer::singleShot(0, this, &MainWindow::applyTabOrder);
    return QWidget::eventFilter(watched, event);
}

void MainWindow::buildTopBand() {
    regionBox_ = Named(new RegionBox(this), "regionBox", QStringLiteral("Scelta delle regioni"));
    regionBox_->setEditText(kDefaultRegionText);
    Paint(regionBox_, QColor(255, 255, 192));
    Place(regionBox_, 30, 0, 2115, 315);

    refreshButton_ = Named(new QPushButton(QStringLiteral("Aggiorna"), this), "refreshButton",
                           QStringLiteral("Aggiorna manualmente le pagine"));
    Place(refreshButton_, 2220, 0, 1095, 315);

    logBox_ = Named(new QComboBox(this), "logBox", QStringLiteral("Log"));
    logBox_->setEditable(true);
    logBox_->setInsertPolicy(QComboBox::NoInsert);
    logBox_->setCompleter(nullptr);
    Paint(logBox_, QColor(192, 255, 255));
    Place(logBox_, 3390, 0, 7035, 315);

    soundAlertOption_ = Named(new TriStateCheckBox(QStringLiteral("Avviso sonoro"), this),
                              "soundAlertOption", QStringLiteral("Avviso vocale di nuovi annunci"));
    Place(soundAlertOption_, 10470, 0, 1335, 285);

    autoPositionOption_ =
        Named(new TriStateCheckBox(QStringLiteral("Auto Posizione"), this), "autoPositionOption",
              QStringLiteral("Attiva la posizione delle pagine nelle finestre browser salvate"));
    Place(autoPositionOption_, 11850, 0, 1365, 285);

    saveScrollButton_ =
        Named(new QPushButton(QStringLiteral("Salva posizione finestre"), this), "saveScrollButton",
              QStringLiteral("Salva la posizione delle pagine nelle finestre browser"));
    Place(saveScrollButton_, 13260, 0, 1815, 315);

    // Only as wide as its square: the caption is there but never seen.
    siteLabelsOption_ = Named(new TriStateCheckBox(QStringLiteral("Check3"), this),
                              "siteLabelsOption", QStringLiteral("Visualizza Nome Agenzie"));
    Place(siteLabelsOption_, 15120, 0, 285, 285);
}

void MainWindow::wire() {
    connect(regionBox_, &RegionBox::regionChosen, this,
            [this](int index) { load(controller_.chooseRegion(index)); });
    connect(regionBox_, &QComboBox::editTextChanged, this,
            [this](const QString& text) { controller_.setRegionText(text); });
    connect(refreshButton_, &QPushButton::clicked, this, [this] { load(controller_.refresh()); });
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
    // Through the window's own path, which stores the settings. A window hidden from the tray
    // ends nothing when it closes: the program is told to end as well.
    connect(tray_, &TrayIcon::quitAsked, this, [this] {
        if (close()) QCoreApplication::quit();
    });
    connect(announcer_, &Announcer::notificationActivated, this, &MainWindow::bringBack);
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

    const StartUpOutcome start = controller_.startUp(stored);
    Warn(start.warnings);
    showPanes(start.panes);
    load(start.addresses);
    regionBox_->setEditText(start.regionText);
    autoPositionOption_->setValue(start.autoPosition);
    soundAlertOption_->setValue(start.soundAlert);
    tray_->setNotificationsChecked(start.desktopNotifications);
    showToolTips(start.toolTips);
    tray_->show();
}

void MainWindow::load(const Addresses& addresses) {
    // Stops at the first address a pane refuses; the panes after it keep what they show.
    for (int i = 0; i < kSiteCount; ++i)
        if (!pane(i)->navigate(addresses[static_cast<std::size_t>(i)])) return;
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
    if (outcome.watchNotice) announcer_->notify(*outcome.watchNotice);
    if (outcome.toolTips) showToolTips(*outcome.toolTips);
    if (outcome.scroll) pane(site)->scrollTo(*outcome.scroll);
    if (outcome.listingsChanged && !listingsTimer_->isActive()) listingsTimer_->start();
}

void MainWindow::showPanes(const PaneRules& panes) {
    for (int i = 0; i < kSiteCount; ++i) {
        const SiteRule& rule = panes[static_cast<std::size_t>(i)];
        grid_->siteLabel(i)->setText(rule.paneLabel);
        pane(i)->setListingScript(ExtractionScript(rule));
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

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    grid_->setGeometry(rect());
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Minimizing and restoring keep the client area's size, so Qt sends no resize for them;
    // the grid is laid out again all the same.
    if (event->type() == QEvent::WindowStateChange) grid_->layOut();
}

}  // namespace quintavia
