#include "shell/window/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>
#include <QWebEnginePage>

#include "core/layout/pane_grid.h"
#include "core/layout/top_band.h"
#include "core/layout/twips.h"
#include "core/sites/sites.h"
#include "core/watch/site_texts.h"
#include "shell/app/program_start.h"
#include "shell/app/warn.h"
#include "shell/browser/background_pages.h"
#include "shell/desktop/announcer.h"
#include "shell/desktop/listing_opener.h"
#include "shell/desktop/tray_icon.h"
#include "shell/window/about_box.h"
#include "shell/window/accessibility.h"
#include "shell/window/first_start_hint.h"
#include "shell/window/fonts.h"
#include "shell/window/found_listings_window.h"
#include "shell/window/plain_tool_tip.h"
#include "shell/window/settings_dialog.h"
#include "shell/window/sites_overview.h"

// Resources are linked from a static library: they are registered by hand, outside any
// namespace.
static void RegisterIcons() {
    Q_INIT_RESOURCE(icons);
}

namespace quintavia {
namespace {

constexpr int kClientHeightTwips = 9240;
}  // namespace

MainWindow::MainWindow(std::unique_ptr<Keeper> keeper, QWebEngineProfile& profile, Beep* beep,
                       int paneCount, QWidget* parent)
    : QWidget(parent),
      keeper_(std::move(keeper)),
      beep_(beep ? *beep : platformBeep_),
      controller_(BuiltInCatalogue(), paneCount) {
    RegisterIcons();
    setObjectName(QStringLiteral("mainWindow"));
    setFont(WindowFont());
    setWindowTitle(QString::fromLatin1(kInitialTitle));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/icon_32.xpm"));
    icon.addFile(QStringLiteral(":/icons/icon_16.xpm"));
    setWindowIcon(icon);
    InstallWindowAccessibility();
    setAccessibleName(QStringLiteral("Quintavia"));
    setAccessibleDescription(
        QStringLiteral("Sorveglia gli annunci di lavoro di MioJob, Jobrapido, Jobonline e "
                       "InfoJobs per una regione"));
    resize(TwipsToPixels(kDesignClientWidthTwips), TwipsToPixels(kClientHeightTwips));

    // Behind the top band, covering the whole client area.
    grid_ = new PaneGridWidget(controller_.paneCount(), beep_, &profile, this);
    grid_->setGeometry(rect());
    for (int i = 0; i < controller_.paneCount(); ++i) grid_->showSite(i, controller_.paneRule(i));
    band_ = BandControls::MakeOn(this);
    // A double-click on the entry shows every listing found, with its link.
    band_.logBox->lineEdit()->installEventFilter(this);
    layOutTopBand();

    applyTabOrder();
    // A pane gets the widget that takes its keyboard focus only with its first page, and that
    // widget joins the keyboard order where Qt puts new widgets: the order is put right again,
    // and the window the widget draws through is kept from assistive technology.
    for (int i = 0; i < controller_.paneCount(); ++i) wirePane(i);

    countdownTimer_ = new QTimer(this);
    countdownTimer_->setObjectName(QStringLiteral("countdownTimer"));
    countdownTimer_->setInterval(1000);
    countdownTimer_->start();
    tray_ = new TrayIcon(icon, this);
    announcer_ = new Announcer(beep_, tray_->icon(), this);
    background_ = new BackgroundPages(beep_, &profile, this);

    // The platform's key for preferences is none on GNOME and plain X11 desktops: Ctrl+, is
    // bound there all the same.
    const QKeySequence commaKey(Qt::CTRL | Qt::Key_Comma);
    auto* settingsKey = new QShortcut(commaKey, this, this, &MainWindow::openSettings);
    settingsKey->setObjectName(QStringLiteral("settingsShortcut"));
    const QKeySequence preferences(QKeySequence::Preferences);
    if (!preferences.isEmpty() && preferences != commaKey)
        new QShortcut(preferences, this, this, &MainWindow::openSettings);
    addKeys();
    wire();
}

MainWindow::~MainWindow() {
    // Widgets going away may still speak (a closing combo box reports a choice); nothing of
    // this window may hear them by then.
    for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
}

void MainWindow::applyTabOrder() {
    // The panes first, then the top band as it reads from left to right, then the labels.
    QList<QWidget*> order;
    for (int i = 0; i < grid_->paneCount(); ++i) order << pane(i);
    order << band_.inOrder();
    if (hint_) order << hint_->textLabel() << hint_->closeButton();
    for (int i = 0; i < grid_->paneCount(); ++i) order << grid_->siteLabel(i);
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == band_.logBox->lineEdit() && event->type() == QEvent::MouseButtonDblClick) {
        showFound();
        return true;
    }
    if (event->type() == QEvent::ChildAdded) {
        QTimer::singleShot(0, this, &MainWindow::applyTabOrder);
        QTimer::singleShot(0, this, &HideOffscreenWindowsFromAssistiveTechnology);
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::layOutTopBand() {
    band_.layOut(width());
    // Under the site labels while they show: they stay where the design has them.
    if (hint_)
        hint_->place(TwipsToPixels(kTopStripTwips) +
                         (grid_->siteLabel(0)->isHidden() ? 0 : grid_->siteLabel(0)->height()),
                     width());
}

void MainWindow::addKeys() {
    auto* foundKey = new QShortcut(FoundListingsKey(), this, this, &MainWindow::showFound);
    foundKey->setObjectName(QStringLiteral("foundShortcut"));
    // F6 goes from the band to each pane in turn and back to the band, Shift+F6 the other way:
    // Tab alone walks every link of a page.
    auto* nextPart = new QShortcut(QKeySequence(Qt::Key_F6), this, this, [this] { movePart(1); });
    nextPart->setObjectName(QStringLiteral("nextPartShortcut"));
    new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this, this, [this] { movePart(-1); });
    // Shift+F10 opens the band's menu as the menu key does, from whichever control of the band
    // has the focus; the pages keep the key for their own menu.
    for (QWidget* control : band_.inOrder()) {
        auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), control);
        menuKey->setContext(Qt::WidgetWithChildrenShortcut);
        connect(menuKey, &QShortcut::activated, this, [this, control] {
            const QPoint at(control->x(), control->geometry().bottom());
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, mapToGlobal(at));
            QCoreApplication::sendEvent(this, &menu);
        });
    }
}

void MainWindow::movePart(int step) {
    // The parts in order: the band, then each pane; the labels count as the band.
    const int parts = grid_->paneCount() + 1;
    int at = 0;
    const QWidget* focus = QApplication::focusWidget();
    for (int i = 0; i < grid_->paneCount(); ++i)
        if (focus && (focus == pane(i) || pane(i)->isAncestorOf(focus))) at = i + 1;
    const int next = (at + step + parts) % parts;
    if (next == 0) {
        band_.regionBox->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    pane(next - 1)->setFocus(Qt::ShortcutFocusReason);
}

void MainWindow::wire() {
    RegionBox* regionBox = band_.regionBox;
    connect(regionBox, &RegionBox::regionChosen, this,
            [this](int index) { refreshAll(controller_.chooseRegion(index)); });
    connect(regionBox, &QComboBox::editTextChanged, this,
            [this](const QString& text) { controller_.setRegionText(text); });
    connect(band_.refreshButton, &QPushButton::clicked, this,
            [this] { refreshAll(controller_.refresh()); });
    connect(regionBox, &RegionBox::textEntered, this,
            [this] { refreshAll(controller_.refresh()); });
    connect(band_.soundAlertOption, &QCheckBox::stateChanged, this,
            [this] { controller_.setSoundAlert(band_.soundAlertOption->value()); });
    connect(band_.autoPositionOption, &QCheckBox::stateChanged, this,
            [this] { controller_.setAutoPosition(band_.autoPositionOption->value()); });
    connect(band_.saveScrollButton, &QPushButton::clicked, this, &MainWindow::savePositions);
    connect(band_.settingsButton, &QPushButton::clicked, this, &MainWindow::openSettings);
    connect(band_.siteLabelsOption, &QCheckBox::clicked, this, [this] {
        grid_->showSiteLabels(band_.siteLabelsOption->value() == TriState::Ticked);
        layOutTopBand();
    });
    connect(countdownTimer_, &QTimer::timeout, this, &MainWindow::countdownTick);
    connect(tray_, &TrayIcon::refreshAsked, this, [this] { refreshAll(controller_.refresh()); });
    connect(tray_, &TrayIcon::showAsked, this, &MainWindow::bringBack);
    connect(tray_, &TrayIcon::toggleAsked, this, &MainWindow::toggleShown);
    connect(tray_, &TrayIcon::notificationsToggled, this, [this](bool on) {
        controller_.setDesktopNotifications(on);
        announcer_->setDesktopOn(on);
    });
    connect(tray_, &TrayIcon::historyAsked, this, &MainWindow::openHistory);
    connect(tray_, &TrayIcon::settingsAsked, this, &MainWindow::openSettings);
    connect(tray_, &TrayIcon::foundAsked, this, &MainWindow::showFound);
    connect(tray_, &TrayIcon::sitesAsked, this, &MainWindow::showSites);
    connect(tray_, &TrayIcon::aboutAsked, this, [this] { ShowAbout(this); });
    // Through the window's own path, which stores the settings. A window hidden from the tray
    // ends nothing when it closes: the program is told to end as well.
    connect(tray_, &TrayIcon::quitAsked, this, [this] {
        if (close()) QCoreApplication::quit();
    });
    connect(announcer_, &Announcer::notificationActivated, this,
            [this](NoticeAction action, const QUrl& link, int pane) {
                apply(controller_.noticeClicked(action, link, pane));
            });
    connect(background_, &BackgroundPages::pageCaptured, this,
            [this](int site, const PageCapture& capture) {
                // The log box and the panes are left alone: the site is not in view.
                applyCapture(
                    controller_.backgroundCaptured(site, capture, QDateTime::currentDateTime()));
            });
}

void MainWindow::wirePane(int i) {
    pane(i)->installEventFilter(this);
    connect(pane(i), &WebPane::pageCaptured, this, [this](int pane, const PageCapture& capture) {
        apply(pane, controller_.pageCaptured(pane, capture, QDateTime::currentDateTime()));
    });
}

void MainWindow::regrid(int count) {
    // A pane that goes may still speak while it closes: nothing of it reaches the window, and
    // the keyboard focus it held goes back to the band.
    for (int i = count; i < grid_->paneCount(); ++i) {
        const QWidget* focus = QApplication::focusWidget();
        if (focus && (focus == pane(i) || pane(i)->isAncestorOf(focus)))
            band_.regionBox->setFocus(Qt::OtherFocusReason);
        pane(i)->removeEventFilter(this);
        disconnect(pane(i), nullptr, this, nullptr);
    }
    const int before = grid_->paneCount();
    grid_->setPaneCount(count);
    for (int i = before; i < count; ++i) wirePane(i);
    grid_->showSiteLabels(!grid_->siteLabel(0)->isHidden());
    grid_->layOut();
    layOutTopBand();
    applyTabOrder();
}

void MainWindow::startUp(const Kept& stored, Catalogue sites) {
    controller_ = WatchController(std::move(sites), grid_->paneCount());
    // Appending to an empty list would select the new entry and overwrite the box's text.
    RegionBox* regionBox = band_.regionBox;
    const QString text = regionBox->currentText();
    regionBox->addItems(RegionList());
    regionBox->setEditText(text);

    // What was stored is shown before the first pages are asked for, which search the region
    // that the box shows.
    Keeper::Listings listings = keeper_->loadListings();
    controller_.restoreStructure(listings.structure);
    const StartUpOutcome start =
        controller_.startUp(stored, std::move(listings.memory), listings.earlier);
    Warn(start.warnings);
    showPanes(start.panes);
    const Options& options = start.options;
    regionBox->setEditText(options.region);
    band_.autoPositionOption->setValue(options.autoPosition);
    band_.soundAlertOption->setValue(options.soundAlert);
    announcer_->setDesktopOn(options.desktopNotifications);
    tray_->setNotificationsChecked(options.desktopNotifications);
    showToolTips(start.toolTips);
    showToolTips(controller_.restoreUnopened(listings.unopened));
    load(start.addresses);
    loadBackground(start.background);
    tray_->show();
    if (keeper_->firstStart()) showFirstStartHint();
}

void MainWindow::showFirstStartHint() {
    hint_ = new FirstStartHint(this);
    connect(hint_, &FirstStartHint::settingsAsked, this, &MainWindow::openSettings);
    layOutTopBand();
    hint_->show();
    hint_->raise();
    applyTabOrder();
}

void MainWindow::load(const Addresses& addresses) {
    // Stops at the first address a pane refuses; the panes after it keep what they show.
    for (int i = 0; i < std::min(grid_->paneCount(), static_cast<int>(addresses.size())); ++i)
        if (!pane(i)->navigate(addresses[i])) return;
}

void MainWindow::reload(const QList<std::optional<QString>>& addresses) {
    for (int i = 0; i < std::min(grid_->paneCount(), static_cast<int>(addresses.size())); ++i)
        if (const std::optional<QString>& address = addresses[i]) pane(i)->navigate(*address);
}

void MainWindow::openSettings() {
    // From the tray the window may be hidden or minimized: the dialog comes with it.
    if (!isVisible() || isMinimized()) bringBack();
    // Where the settings are is known now.
    if (hint_) hint_->hide();
    if (!settingsDialog_) {
        settingsDialog_ = new SettingsDialog(controller_.catalogue(), controller_.choices(), this);
        settingsDialog_->showRefused(refused_);
        settingsDialog_->setAttribute(Qt::WA_DeleteOnClose);
        connect(settingsDialog_, &QDialog::accepted, this,
                [this, dialog = settingsDialog_.data()] { applyChoices(dialog->choices()); });
        connect(settingsDialog_, &SettingsDialog::addSiteAsked, this, &MainWindow::openAddSite);
        // Closed, it goes only once the event loop comes back to it: the next request opens
        // another at once.
        connect(settingsDialog_, &QDialog::finished, this, [this] { settingsDialog_ = nullptr; });
        // Window-modal: the watch goes on behind it.
        settingsDialog_->open();
    }
    settingsDialog_->raise();
    settingsDialog_->activateWindow();
}

void MainWindow::openAddSite() {
    if (!addSiteDialog_) {
        QWidget* over = settingsDialog_ ? static_cast<QWidget*>(settingsDialog_.data()) : this;
        addSiteDialog_ = new AddSiteDialog(controller_.catalogue(),
                                           SitesPathBeside(keeper_->settingsFile().path()),
                                           grid_->paneCount(), pane(0)->page()->profile(), over);
        addSiteDialog_->setAttribute(Qt::WA_DeleteOnClose);
        connect(addSiteDialog_, &AddSiteDialog::siteAdded, this,
                [this](const SiteRule& site, int pane) {
                    controller_.addSite(site);
                    if (settingsDialog_) settingsDialog_->addSite(site, pane);
                    if (pane < 0 || pane >= grid_->paneCount()) return;
                    Choices choices = controller_.choices();
                    choices.paneSites[pane] = site.id;
                    applyChoices(choices);
                });
        connect(addSiteDialog_, &QDialog::finished, this, [this] { addSiteDialog_ = nullptr; });
        addSiteDialog_->open();
    }
    addSiteDialog_->raise();
    addSiteDialog_->activateWindow();
}

void MainWindow::applyChoices(const Choices& choices) {
    const ChoicesOutcome outcome = controller_.choose(choices);
    if (outcome.panes.size() != grid_->paneCount()) regrid(static_cast<int>(outcome.panes.size()));
    showPanes(outcome.panes);
    showToolTips(outcome.toolTips);
    tray_->setNotificationsChecked(outcome.desktopNotifications);
    announcer_->setDesktopOn(outcome.desktopNotifications);
    announcer_->withdraw(outcome.withdrawn);
    reload(outcome.reload);
    background_->forget(outcome.backgroundAddresses);
    loadBackground(outcome.background);
    keeper_->keep(outcome.keep);
}

void MainWindow::refreshAll(const Addresses& panes) {
    load(panes);
    loadBackground(controller_.backgroundLoads(true));
}

void MainWindow::loadBackground(const QList<SiteLoad>& loads) {
    for (const SiteLoad& load : loads) {
        const SiteRule& rule = controller_.backgroundRule(load.site);
        background_->load(load.site, rule, controller_.keptSelectors().of(rule.id), load.address);
    }
}

void MainWindow::applyCapture(const PageOutcome& outcome) {
    // Whether the site is in a pane or not: what it found is sounded, kept and told, and what
    // was said of it is brought up to date.
    if (outcome.newest) announcer_->playAlert(*outcome.newest);
    keeper_->keep(outcome.keep);
    Warn(outcome.warnings);
    if (outcome.foundNotice) announcer_->notify(*outcome.foundNotice);
    if (outcome.foundChanged) refreshFound();
    announcer_->withdraw(outcome.withdrawn);
    if (outcome.watchNotice) announcer_->notify(*outcome.watchNotice);
    if (outcome.toolTips) showToolTips(*outcome.toolTips);
}

void MainWindow::apply(int pane, const PageOutcome& outcome) {
    if (outcome.newest) {
        // The oldest goes first, so the box never holds more than it keeps; the entry shown is
        // set last, as removing the current item shows another.
        QComboBox* logBox = band_.logBox;
        if (logBox->count() >= kLogEntriesKept) logBox->removeItem(0);
        logBox->addItem(outcome.newest->logEntry);
        logBox->setEditText(outcome.newest->logEntry);
    }
    applyCapture(outcome);
    if (outcome.scroll) this->pane(pane)->scrollTo(*outcome.scroll);
    if (outcome.keptSelectors) {
        const QString& id = controller_.paneRule(pane).id;
        for (int i = 0; i < grid_->paneCount(); ++i)
            if (controller_.paneRule(i).id == id)
                this->pane(i)->keepSelectors(*outcome.keptSelectors);
    }
}

void MainWindow::apply(const OpenOutcome& outcome) {
    if (outcome.link) OpenInBrowser(*outcome.link);
    if (outcome.bringBack) bringBack();
    if (outcome.showFound) showFound();
    if (outcome.settingsPane) {
        openSettings();
        if (settingsDialog_) settingsDialog_->focusPane(*outcome.settingsPane);
    }
    showToolTips(outcome.toolTips);
    refreshFound();
}

FoundListingsWindow* MainWindow::makeFoundWindow() {
    if (foundWindow_) return foundWindow_;
    // A window of its own, beside the main one: the list is read while the panes go on.
    foundWindow_ = new FoundListingsWindow(this);
    connect(foundWindow_, &FoundListingsWindow::openAsked, this,
            [this](qsizetype row) { apply(controller_.openFound(row)); });
    connect(foundWindow_, &FoundListingsWindow::openAllAsked, this,
            [this] { apply(controller_.openAllFound()); });
    connect(foundWindow_, &FoundListingsWindow::sitesShown, this, &MainWindow::refreshSites);
    connect(foundWindow_, &FoundListingsWindow::sitesShowAsked, this, [this](int place) {
        if (place < controller_.paneCount()) {
            bringBack();
            pane(place)->setFocus();
        } else if (const std::optional<Choices> choices = controller_.showInPane(place)) {
            applyChoices(*choices);
        }
        refreshSites();
    });
    return foundWindow_;
}

void MainWindow::showFound() {
    makeFoundWindow()->show(controller_.found());
}

SitesOverview* MainWindow::sitesOverview() const {
    return foundWindow_ ? foundWindow_->sitesOverview() : nullptr;
}

void MainWindow::refreshSites() {
    if (SitesOverview* sites = sitesOverview())
        sites->setRows(controller_.overview(QDateTime::currentDateTime()));
}

void MainWindow::refreshFound() {
    // What waits to be opened waits in the next run too.
    keeper_->keepUnopened(controller_.found().unopenedAddresses());
    // A hidden list is brought up to date when it is shown again: no row of it can be opened
    // meanwhile.
    if (foundWindow_ && foundWindow_->isVisible()) foundWindow_->refresh(controller_.found());
}

void MainWindow::openHistory() {
    const QString path = keeper_->historyToOpen();
    if (!path.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void MainWindow::showPanes(const PaneRules& panes) {
    for (int i = 0; i < std::min(grid_->paneCount(), static_cast<int>(panes.size())); ++i) {
        grid_->showSite(i, panes[i]);
        pane(i)->keepSelectors(controller_.keptSelectors().of(panes[i].id));
    }
    QStringList names;
    for (int i = 0; i < controller_.paneCount(); ++i) names.append(controller_.paneRule(i).name);
    setAccessibleDescription(WindowDescription(names));
}

void MainWindow::setRefusedSections(const QList<RefusedSection>& refused) {
    refused_ = refused;
}

void MainWindow::showToolTips(const ToolTips& tips) {
    for (int i = 0; i < std::min(grid_->paneCount(), static_cast<int>(tips.paneLabels.size())); ++i)
        grid_->siteLabel(i)->setToolTip(PlainToolTip(tips.paneLabels[i]));
    tray_->setToolTip(tips.tray);
}

void MainWindow::countdownTick() {
    const TickOutcome tick = controller_.tick(state());
    if (tick.refresh && !tick.heldPanes.contains(true)) load(*tick.refresh);
    if (tick.refresh && tick.heldPanes.contains(true)) {
        // A pane whose site is not due keeps its page; the others load as ever.
        QList<std::optional<QString>> due;
        for (qsizetype i = 0; i < tick.refresh->size(); ++i)
            due.append(tick.heldPanes.value(i) ? std::nullopt : std::optional(tick.refresh->at(i)));
        reload(due);
    }
    loadBackground(tick.background);
    // What it shows changes by the minute at most.
    if (sitesOverview() && sitesOverview()->isVisible() && controller_.secondsLeft() % 10 == 0)
        refreshSites();
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
    QList<std::optional<QPointF>> offsets;
    for (int i = 0; i < grid_->paneCount(); ++i) offsets.append(pane(i)->scrollOffsets());
    keeper_->keep(controller_.savePositions(offsets));
}

void MainWindow::shutDown() {
    if (shutDownDone_) return;
    shutDownDone_ = true;
    settingsSaved_ = keeper_->keep(controller_.closing());
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
    // The main window ends the program: a list or a dialog of its own left open would keep a
    // hidden program running, and notifying, with no window to bring back.
    if (foundWindow_) foundWindow_->close();
    if (settingsDialog_) settingsDialog_->reject();
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
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    QAction* found = menu.addAction(QStringLiteral("Annunci trovati"));
    found->setObjectName(QStringLiteral("bandFoundAction"));
    found->setShortcut(FoundListingsKey());
    QAction* sites = menu.addAction(QStringLiteral("Siti seguiti"));
    sites->setObjectName(QStringLiteral("bandSitesAction"));
    QAction* addSite = menu.addAction(QStringLiteral("Aggiungi sito…"));
    addSite->setObjectName(QStringLiteral("bandAddSiteAction"));
    QAction* about = menu.addAction(QStringLiteral("Informazioni su Quintavia"));
    about->setObjectName(QStringLiteral("bandAboutAction"));
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == addSite) openAddSite();
    if (chosen == settings) openSettings();
    if (chosen == found) showFound();
    if (chosen == about) ShowAbout(this);
    if (chosen == sites) showSites();
}

void MainWindow::showSites() {
    makeFoundWindow()->showSites(controller_.overview(QDateTime::currentDateTime()));
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
