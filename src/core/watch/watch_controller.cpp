#include "core/watch/watch_controller.h"

#include <algorithm>
#include <utility>

#include "core/page/page_listings.h"
#include "core/sites/sites.h"
#include "core/text/shown_text.h"
#include "core/watch/scroll_offset.h"

namespace quintavia {
namespace {

// A held-back note that starts a line of its own, where the tray puts it after a site's name.
QString AsLine(const QString& note) {
    return note.left(1).toUpper() + note.mid(1);
}

}  // namespace

WatchController::WatchController(Catalogue catalogue, int paneCount)
    : catalogue_(std::move(catalogue)) {
    for (int i = 0; i < std::max(paneCount, 1); ++i) panes_.append(defaultRule(i));
    watches_.resize(panes_.size());
    kept_.options.paneSites.resize(panes_.size());
    placePaces({}, {});
}

const SiteRule* WatchController::rule(const QString& id) const {
    return catalogue_.find(id);
}

SiteRule WatchController::defaultRule(int pane) const {
    // The four of the design's grid where they always were; a pane past them shows the
    // catalogue's sites in turn, so that a larger grid starts with as many boards as it can.
    const QList<SiteRule>& defaults = DefaultRules();
    if (pane < defaults.size()) {
        const SiteRule* known = rule(defaults[pane].id);
        return known ? *known : defaults[pane];
    }
    if (catalogue_.rules.isEmpty()) return defaults[pane % defaults.size()];
    return catalogue_.rules[pane % catalogue_.rules.size()];
}

StartUpOutcome WatchController::startUp(const Kept& stored, ListingMemory seen,
                                        const QList<FoundListing>& earlier) {
    StartUpOutcome outcome;
    regionIndex_ = 0;
    kept_ = stored;
    QStringList& paneSites = kept_.options.paneSites;
    if (paneSites.size() < panes_.size()) paneSites.resize(panes_.size());
    memory_ = std::move(seen);
    LearnFromHistory(memory_, catalogue_.rules, earlier);
    filters_ = FiltersFrom(kept_.options.includeWords, kept_.options.excludeWords);
    found_.load(earlier);
    for (int i = 0; i < paneCount(); ++i) {
        QString& id = paneSites[i];
        if (id.isEmpty()) continue;
        const SiteRule* chosen = rule(id);
        if (!chosen) {
            outcome.warnings.append(
                QStringLiteral(
                    "il sito \"%1\" scelto per il riquadro %2 non è noto: il riquadro mostra %3")
                    .arg(id, QString::number(i), panes_[i].name));
            id.clear();
            continue;
        }
        panes_[i] = *chosen;
        if (defaultRule(i).id == id) id.clear();
    }
    for (int i = paneCount(); i < paneSites.size(); ++i) {
        const QString id = paneSites[i].trimmed();
        if (!id.isEmpty() && !rule(id))
            outcome.warnings.append(
                QStringLiteral("il sito \"%1\" scelto da sorvegliare non è noto").arg(id));
    }
    setBackground(paneSites.mid(paneCount()));
    placePaces({}, {});
    outcome.panes = panes_;
    // The stored region is the one searched from the first refresh on: the first pages, and
    // the titles they announce, are those of the region the box shows.
    outcome.addresses = refresh();
    outcome.background = backgroundLoads(true);
    outcome.options = kept_.options;
    outcome.toolTips = toolTips();
    return outcome;
}

const SiteRule& WatchController::ruleAt(int place) const {
    return place < paneCount() ? panes_.at(place) : background_.at(place - paneCount());
}

SiteWatch& WatchController::watchAt(int place) {
    return place < paneCount() ? watches_[place] : backgroundWatches_[place - paneCount()];
}

const SiteWatch& WatchController::watchAt(int place) const {
    return place < paneCount() ? watches_.at(place) : backgroundWatches_.at(place - paneCount());
}

QStringList WatchController::placeIds() const {
    QStringList ids;
    for (int i = 0; i < placeCount(); ++i) ids.append(ruleAt(i).id);
    return ids;
}

int WatchController::intervalOf(const QString& id) const {
    return kept_.options.intervals.value(id, kDefaultPaceMinutes);
}

void WatchController::setBackground(const QStringList& ids) {
    QStringList& paneSites = kept_.options.paneSites;
    const qsizetype keptBefore = paneSites.size();
    paneSites.resize(paneCount());
    QStringList shown;
    for (const SiteRule& pane : panes_) shown.append(pane.id);
    PaneRules background;
    for (const QString& text : ids) {
        const QString id = text.trimmed();
        const SiteRule* known = rule(id);
        if (!known || shown.contains(id)) continue;
        shown.append(id);
        background.append(*known);
        paneSites.append(id);
    }
    // A site no longer watched leaves an empty number behind it, so that the file's is emptied
    // too and no later run reads it.
    if (paneSites.size() < keptBefore) paneSites.resize(keptBefore);
    QList<SiteWatch> watches;
    for (const SiteRule& site : background) {
        qsizetype before = -1;
        for (qsizetype k = 0; k < background_.size() && before < 0; ++k)
            if (background_[k].id == site.id) before = k;
        watches.append(before >= 0 ? backgroundWatches_[before] : SiteWatch());
    }
    background_ = std::move(background);
    backgroundWatches_ = std::move(watches);
}

void WatchController::placePaces(const QStringList& idsBefore, const QList<SitePace>& before) {
    QList<SitePace> paces;
    for (const QString& id : placeIds()) {
        const qsizetype was = idsBefore.indexOf(id);
        SitePace pace = was >= 0 ? before[was] : SitePace();
        pace.setMinutes(intervalOf(id));
        // A site new to its place is loaded there now, and is due an interval later.
        if (was < 0) pace.loaded(clock_);
        paces.append(pace);
    }
    paces_ = std::move(paces);
}

QList<SiteLoad> WatchController::backgroundLoads(bool asked) {
    QList<SiteLoad> loads;
    for (int b = 0; b < backgroundCount(); ++b) {
        SitePace& pace = paces_[paneCount() + b];
        // A site held back waits even when the user asks: it asked first, and is not in view.
        if (!pace.due(clock_) && (!asked || pace.heldBack())) continue;
        pace.loaded(clock_);
        loads.append({b, address(paneCount() + b)});
    }
    return loads;
}

QString WatchController::address(int pane) const {
    return ExpandSearch(ruleAt(pane).search, {.regionText = kept_.options.region,
                                              .regionIndex = regionIndex_,
                                              .keywords = kept_.options.keywords});
}

Addresses WatchController::refresh() {
    // Jobonline takes the region by its number, the others by the text: a text that names a
    // region must reach all four as that region, however it came into the box.
    if (const std::optional<int> named = RegionNamed(kept_.options.region))
        regionIndex_ = static_cast<qint16>(*named);
    return addresses();
}

Addresses WatchController::addresses() const {
    Addresses addresses;
    for (int i = 0; i < paneCount(); ++i) addresses.append(address(i));
    return addresses;
}

Addresses WatchController::chooseRegion(int listIndex) {
    regionIndex_ = static_cast<qint16>(listIndex);
    return addresses();
}

TickOutcome WatchController::tick(WindowState state) {
    TickOutcome outcome;
    ++clock_;
    if (secondsLeft_ <= 0) {
        secondsLeft_ = kCountdownStart;
        outcome.refresh = refresh();
        // A pane whose site is not due yet, or is held back, keeps its page for now.
        for (int i = 0; i < paneCount(); ++i) {
            SitePace& pace = paces_[i];
            outcome.heldPanes.append(!pace.due(clock_));
            if (pace.due(clock_)) pace.loaded(clock_);
        }
    }
    outcome.background = backgroundLoads(false);
    --secondsLeft_;
    outcome.notices = notices_.tick();
    outcome.title = CountdownTitle(secondsLeft_, state);
    outcome.trayToolTip = toolTips().tray;
    return outcome;
}

PageOutcome WatchController::pageCaptured(int pane, const PageCapture& capture,
                                          const QDateTime& when) {
    // A page that gives nothing to read, or that is not the site's own, ends the handling once
    // the site's watch has heard of it: no title, and no scroll either.
    if (!IsPaneIndex(pane, paneCount())) return {};
    return captured(pane, capture, when);
}

PageOutcome WatchController::backgroundCaptured(int site, const PageCapture& capture,
                                                const QDateTime& when) {
    if (site < 0 || site >= backgroundCount()) return {};
    PageOutcome outcome = captured(paneCount() + site, capture, when);
    outcome.scroll.reset();
    return outcome;
}

PageOutcome WatchController::captured(int pane, const PageCapture& capture, const QDateTime& when) {
    PageOutcome outcome;
    const SiteRule& own = ruleAt(pane);
    PageListings read = ReadListings(own, capture);
    // A site whose own rule went blind is read by structure while that rule finds nothing; the
    // first reading either way only learns, as the two know the same listings by other keys.
    const SiteHealing::Step healed = capture.startedByProgram
                                         ? healing_.observe(own, capture, read.seen)
                                         : SiteHealing::Step::Same;
    const bool byStructure = healing_.healed(own.id) && !read.seen;
    const SiteRule row = byStructure ? ByStructure(own) : own;
    if (byStructure) read = StructureListings(row, capture);
    if (healed != SiteHealing::Step::Same) {
        ForgetSearch(memory_, row.id);
        outcome.keep.structure = structureKept();
    }
    SiteWatch& watch = watchAt(pane);
    if (capture.startedByProgram) {
        const QString reasonBefore = watch.reason();
        const bool checkingBefore = !watch.seenListings();
        Observation seen = Observe(row, WatchFacts(row, capture, read));
        seen.successor = successorName(row);
        outcome.watch = watch.observe(seen);
        if (when.isValid()) lastLoads_.insert(row.id, when);
        SitePace& pace = paces_[pane];
        const bool heldBefore = pace.heldBack();
        if (const std::optional<SlowDown> slow = SlowDownIn(seen, capture.timedOut)) {
            const std::optional<qint64> retryAfter =
                capture.retryAfter ? RetryAfterSeconds(*capture.retryAfter, when) : std::nullopt;
            pace.slowedDown(*slow, clock_, retryAfter, when);
            outcome.toolTips = toolTips();
            outcome.warnings.append(QStringLiteral("%1: in pausa per %2 secondi (%3)")
                                        .arg(row.name)
                                        .arg(pace.nextAt() - clock_)
                                        .arg(SlowDownReason(*slow)));
        } else if (seen.kind == Observation::Kind::Listings) {
            pace.answered(clock_);
            if (heldBefore) outcome.toolTips = toolTips();
        }
        if (outcome.watch && outcome.watch->kind == WatchChange::Kind::TurnedBlind) {
            outcome.watchNotice =
                BlindNotice(row.name, outcome.watch->reason, outcome.watch->advice,
                            outcome.watch->watchedBefore, pane);
            outcome.watchNotice->tag = BlindTag(row.id);
        } else if (outcome.watch) {
            outcome.watchNotice = WatchedAgainNotice(row.name);
            outcome.withdrawn.append(BlindTag(row.id));
        }
        if (watch.reason() != reasonBefore || checkingBefore != !watch.seenListings())
            outcome.toolTips = toolTips();
        if (healed == SiteHealing::Step::ReadByStructure)
            outcome.watchNotice = ReadByStructureNotice(row.name);
    }
    if (row.findBy == FindBy::Structure && capture.structure && IsRulePage(row, capture.url) &&
        selectors_.learn(row.id, *capture.structure)) {
        outcome.keptSelectors = selectors_.of(row.id);
        outcome.keep.structure = structureKept();
    }
    if (read.listings.isEmpty()) return outcome;

    // Only the loads the program asked for bring news: a page that reloads itself, or one the
    // user went to, shows what the next refresh finds all the same.
    if (capture.startedByProgram) {
        const QString search = capture.requested.isEmpty() ? address(pane) : capture.requested;
        News news = FindNews(memory_, row, search, read.listings, capture.url, filters_, when);
        if (news.memoryChanged) outcome.keep.memory = memory_;
        if (!news.linksChange.isEmpty()) outcome.warnings.append(news.linksChange);
        if (!news.found.isEmpty()) {
            QList<FoundListing> announced;
            for (qsizetype k = 0; k < news.found.size(); ++k)
                if (news.announced[k]) announced.append(news.found[k]);
            // Added oldest first: the top of the page ends at the top of the list.
            QList<FoundListing> reversed(news.found.rbegin(), news.found.rend());
            QList<bool> flags(news.announced.rbegin(), news.announced.rend());
            found_.add(reversed, flags);
            outcome.foundChanged = true;
            if (!announced.isEmpty()) {
                outcome.foundNotice = notices_.announce(row.id, row.name, announced);
                outcome.toolTips = toolTips();
            }
            outcome.keep.found = std::move(news.found);
        }
    }

    // The newest listing the user's words let through: one they left out is not shown as the
    // latest news, nor sounded.
    const Listing* newest = nullptr;
    for (const Listing& listing : read.listings) {
        if (PassesFilters(filters_, listing.title, listing.company, listing.place)) {
            newest = &listing;
            break;
        }
    }
    SiteKept& kept = kept_.sites[row.id];
    const QString title = newest ? CutTitle(newest->title) : QString();
    if (!title.isEmpty() && title != kept.lastListing) {
        // Kept exact, to be compared with the next page's; shown without what hides or turns
        // the text around.
        kept.lastListing = title;
        outcome.newest =
            NewestTitle{.pane = pane,
                        .siteId = row.id,
                        .title = title,
                        .address = newest->link,
                        .logEntry = row.logLabel + QStringLiteral(": ") + ShownText(title),
                        .sound = kept_.options.soundAlert == TriState::Ticked};
        outcome.keep.kept = kept_;
        outcome.keep.lastTitles = true;
    }

    if (kept_.options.autoPosition == TriState::Ticked) {
        // A stored vertical offset that is no number stops the restore before either offset.
        if (const std::optional<double> top = ScrollOffsetFromText(kept.scrollTop))
            outcome.scroll = ScrollTo{*top, ScrollOffsetFromText(kept.scrollLeft)};
    }
    return outcome;
}

bool WatchController::addSite(const SiteRule& site) {
    if (catalogue_.find(site.id)) return false;
    catalogue_.rules.append(site);
    return true;
}

void WatchController::restoreStructure(const StructureKept& kept) {
    for (auto site = kept.selectors.cbegin(); site != kept.selectors.cend(); ++site)
        selectors_.keep(site.key(), *site);
    healing_.restore(kept.healed);
}

StructureKept WatchController::structureKept() const {
    StructureKept kept;
    for (auto site = selectors_.sites().cbegin(); site != selectors_.sites().cend(); ++site)
        kept.selectors.insert(site.key(), *site);
    kept.healed = healing_.healedSites();
    return kept;
}

ToKeep WatchController::savePositions(const QList<std::optional<QPointF>>& offsets) {
    ToKeep keep;
    for (int i = 0; i < std::min(paneCount(), static_cast<int>(offsets.size())); ++i) {
        if (!offsets[i]) continue;
        const QString& id = panes_[i].id;
        SiteKept& kept = kept_.sites[id];
        const std::optional<QString> top = ScrollOffsetToText(offsets[i]->y());
        const std::optional<QString> left = ScrollOffsetToText(offsets[i]->x());
        if (top) kept.scrollTop = *top;
        if (left) kept.scrollLeft = *left;
        if (!keep.scrolledSites.contains(id)) keep.scrolledSites.append(id);
    }
    if (!keep.scrolledSites.isEmpty()) keep.kept = kept_;
    return keep;
}

Choices WatchController::choices() const {
    Choices current;
    for (const SiteRule& pane : panes_) current.paneSites.append(pane.id);
    current.keywords = kept_.options.keywords;
    current.desktopNotifications = kept_.options.desktopNotifications;
    current.includeWords = kept_.options.includeWords;
    current.excludeWords = kept_.options.excludeWords;
    for (const SiteRule& site : background_) current.backgroundSites.append(site.id);
    current.intervals = kept_.options.intervals;
    current.paneCount = paneCount();
    return current;
}

OpenOutcome WatchController::openFound(qsizetype row) {
    OpenOutcome outcome;
    if (row < 0 || row >= found_.size()) return outcome;
    outcome.link = found_.open(row);
    outcome.toolTips = toolTips();
    return outcome;
}

OpenOutcome WatchController::noticeClicked(NoticeAction action, const QUrl& link, int pane) {
    OpenOutcome outcome;
    switch (action) {
        case NoticeAction::ShowSettings:
            outcome.bringBack = true;
            outcome.settingsPane = IsPaneIndex(pane, paneCount()) ? pane : 0;
            break;
        case NoticeAction::ShowWindow:
            outcome.bringBack = true;
            break;
        case NoticeAction::OpenLink:
            // Only a link the program put there is opened; anything else shows the list.
            if (IsOpenableLink(link)) {
                outcome.link = link;
                found_.openedElsewhere(link);
            } else {
                outcome.showFound = true;
            }
            break;
        case NoticeAction::ShowFound:
            outcome.showFound = true;
            break;
    }
    outcome.toolTips = toolTips();
    return outcome;
}

ToKeep WatchController::closing() const {
    return {.kept = kept_, .lastTitles = true, .choices = true, .closing = true};
}

ChoicesOutcome WatchController::choose(const Choices& choices) {
    const Addresses before = addresses();
    const PaneRules rulesBefore = panes_;
    const QStringList placesBefore = placeIds();
    const QList<SitePace> pacesBefore = paces_;
    QMap<QString, SiteWatch> watchesBefore;
    QMap<QString, QString> addressesBefore;
    for (int place = placeCount() - 1; place >= 0; --place) {
        watchesBefore.insert(ruleAt(place).id, watchAt(place));
        addressesBefore.insert(ruleAt(place).id, address(place));
    }
    Options& options = kept_.options;
    options.keywords = choices.keywords;
    options.desktopNotifications = choices.desktopNotifications;
    options.includeWords = choices.includeWords;
    options.excludeWords = choices.excludeWords;
    filters_ = FiltersFrom(options.includeWords, options.excludeWords);
    QStringList shown;
    for (int i = 0; i < paneCount(); ++i) {
        // The dialog offers the catalogue alone.
        const bool known = i < choices.paneSites.size() && rule(choices.paneSites[i]);
        shown.append(known ? choices.paneSites[i] : panes_[i].id);
    }
    const QStringList places = shown + choices.backgroundSites;
    const int panes = IsGridChoice(choices.paneCount) ? choices.paneCount : paneCount();
    regrid(places, panes);
    if (IsGridChoice(choices.paneCount)) options.paneCount = choices.paneCount;
    options.intervals.clear();
    for (auto chosen = choices.intervals.cbegin(); chosen != choices.intervals.cend(); ++chosen)
        if (IsPaceChoice(*chosen)) options.intervals.insert(chosen.key(), *chosen);
    setBackground(places.mid(paneCount()));
    placePaces(placesBefore, pacesBefore);
    ChoicesOutcome outcome;
    for (int b = 0; b < backgroundCount(); ++b) {
        const QString& id = background_[b].id;
        // A site that only changes places goes on where it was: its next load is when it is due,
        // unless it now searches for other words, as a pane's would be loaded now.
        if (placesBefore.contains(id)) {
            backgroundWatches_[b] = watchesBefore.value(id);
            SitePace& pace = paces_[paneCount() + b];
            if (addressesBefore.value(id) != address(paneCount() + b) && !pace.heldBack()) {
                pace.loaded(clock_);
                outcome.background.append({b, address(paneCount() + b)});
            }
            continue;
        }
        ForgetSearch(memory_, id);
        outcome.background.append({b, address(paneCount() + b)});
    }
    // What was said of a site no longer watched is over.
    const QStringList placesAfter = placeIds();
    for (const QString& gone : placesBefore) {
        if (placesAfter.contains(gone) || outcome.withdrawn.contains(BlindTag(gone))) continue;
        notices_.forget(gone);
        outcome.withdrawn.append(BlindTag(gone));
    }
    const Addresses after = addresses();
    outcome.reload.resize(panes_.size());
    for (int i = 0; i < paneCount(); ++i) {
        const QString idBefore = i < rulesBefore.size() ? rulesBefore[i].id : QString();
        if (panes_[i].id != idBefore) {
            // A site new to the watch starts afresh: what the one before it met says nothing of
            // it, and what it shows first is a new search, not news. One that was watched
            // elsewhere brings what it knows.
            const bool watchedBefore = placesBefore.contains(panes_[i].id);
            watches_[i] = watchesBefore.value(panes_[i].id);
            if (!watchedBefore) ForgetSearch(memory_, panes_[i].id);
        }
        if (panes_[i].id != idBefore || i >= before.size() || after[i] != before[i])
            outcome.reload[i] = after[i];
    }
    for (int b = 0; b < backgroundCount(); ++b)
        outcome.backgroundAddresses.append(address(paneCount() + b));
    outcome.panes = panes_;
    outcome.toolTips = toolTips();
    outcome.desktopNotifications = options.desktopNotifications;
    outcome.keep = {.kept = kept_, .choices = true};
    return outcome;
}

void WatchController::regrid(const QStringList& places, int panes) {
    // The sites in [Siti] order: the first as many as the grid has panes are shown in them.
    // A pane past the sites shows its own default, or the first site of the catalogue not yet
    // watched when that one is: a board twice over would say nothing more.
    PaneRules rules;
    QStringList watched = places;
    for (int i = 0; i < panes; ++i) {
        const SiteRule* chosen = i < places.size() ? rule(places[i]) : nullptr;
        SiteRule next = chosen ? *chosen : defaultRule(i);
        if (!chosen && watched.contains(next.id)) {
            const auto free =
                std::find_if(catalogue_.rules.cbegin(), catalogue_.rules.cend(),
                             [&](const SiteRule& site) { return !watched.contains(site.id); });
            if (free != catalogue_.rules.cend()) next = *free;
        }
        watched.append(next.id);
        rules.append(next);
    }
    panes_ = std::move(rules);
    watches_.resize(panes_.size());
    QStringList& paneSites = kept_.options.paneSites;
    if (paneSites.size() < panes) paneSites.resize(panes);
    for (int i = 0; i < panes; ++i)
        paneSites[i] = defaultRule(i).id == panes_[i].id ? QString() : panes_[i].id;
}

QString WatchController::successorName(const SiteRule& site) const {
    if (site.successor.isEmpty()) return {};
    const SiteRule* next = rule(site.successor);
    return next ? next->name : QString();
}

ToolTips WatchController::toolTips() const {
    ToolTips tips;
    QStringList names;
    QStringList reasons;
    QList<bool> checking;
    QStringList held;
    for (int i = 0; i < placeCount(); ++i) {
        const SiteWatch& watch = watchAt(i);
        names.append(ruleAt(i).name);
        reasons.append(watch.blind() ? BlindState(watch.reason(), watch.advice()) : QString());
        checking.append(!watch.blind() && !watch.seenListings());
        const QString note = i < paces_.size() ? HeldBackNote(paces_[i]) : QString();
        if (!note.isEmpty()) held.append(names.last() + QStringLiteral(": ") + note);
        if (i >= paneCount()) continue;
        QStringList lines{SiteLabelToolTip(reasons.last(), checking.last())};
        if (!note.isEmpty()) lines.append(AsLine(note));
        lines.removeAll(QString());
        tips.paneLabels.append(lines.join(u'\n'));
    }
    tips.tray = TrayToolTip(secondsLeft_, names, reasons, found_.unopenedCount(), checking);
    for (const QString& line : held) tips.tray += u'\n' + line;
    return tips;
}

QList<SiteOverviewRow> WatchController::overview(const QDateTime& now) const {
    QList<SiteOverviewRow> rows;
    for (int place = 0; place < placeCount(); ++place) {
        const SiteRule& site = ruleAt(place);
        const SitePace& pace = paces_[place];
        SiteOverviewRow row{.id = site.id, .name = site.name};
        const bool inPane = place < paneCount();
        row.pane = inPane ? place : -1;
        row.place = inPane ? QStringLiteral("Riquadro %1").arg(place + 1)
                           : QStringLiteral("Senza riquadro");
        QStringList state;
        if (const QString note = HeldBackNote(pace); !note.isEmpty()) state.append(AsLine(note));
        if (!watchAt(place).reason().isEmpty())
            state.append(QStringLiteral("Non sorvegliato: ") + watchAt(place).reason());
        row.state =
            state.isEmpty() ? QStringLiteral("Sorvegliato") : state.join(QStringLiteral("; "));
        row.last = lastLoads_.value(site.id);
        // A pane loads only when the countdown runs out; a site without one as soon as it is
        // due.
        qint64 at = std::max(pace.nextAt(), clock_ + 1);
        if (inPane) {
            at = clock_ + std::max(secondsLeft_, 0) + 1;
            while (at < pace.nextAt()) at += kCountdownStart;
        }
        row.next = now.addSecs(at - clock_);
        row.perDay = NewPerDay(found_, site.id, site.name, now.date());
        rows.append(row);
    }
    return rows;
}

std::optional<Choices> WatchController::showInPane(int place) const {
    if (place < paneCount() || place >= placeCount()) return std::nullopt;
    Choices choices = this->choices();
    const int last = paneCount() - 1;
    const int site = place - paneCount();
    std::swap(choices.paneSites[last], choices.backgroundSites[site]);
    return choices;
}

OpenOutcome WatchController::openAllFound() {
    found_.openAll();
    return {.toolTips = toolTips()};
}

ToolTips WatchController::restoreUnopened(const QStringList& addresses) {
    found_.markUnopened(addresses);
    return toolTips();
}

}  // namespace quintavia
