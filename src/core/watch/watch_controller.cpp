#include "core/watch/watch_controller.h"

#include <utility>

#include "core/page/page_listings.h"
#include "core/sites/sites.h"
#include "core/text/shown_text.h"
#include "core/watch/scroll_offset.h"

namespace quintavia {

WatchController::WatchController(Catalogue catalogue, int paneCount)
    : catalogue_(std::move(catalogue)) {
    for (int i = 0; i < std::max(paneCount, 1); ++i) panes_.append(defaultRule(i));
    watches_.resize(panes_.size());
    kept_.options.paneSites.resize(panes_.size());
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
    paneSites.resize(panes_.size());
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
                QStringLiteral("the site \"%1\" chosen for pane %2 is not known: the pane shows %3")
                    .arg(id, QString::number(i), panes_[i].name));
            id.clear();
            continue;
        }
        panes_[i] = *chosen;
        if (defaultRule(i).id == id) id.clear();
    }
    outcome.panes = panes_;
    // The stored region is the one searched from the first refresh on: the first pages, and
    // the titles they announce, are those of the region the box shows.
    outcome.addresses = refresh();
    outcome.options = kept_.options;
    outcome.toolTips = toolTips();
    return outcome;
}

QString WatchController::address(int pane) const {
    return ExpandSearch(panes_.at(pane).search, {.regionText = kept_.options.region,
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
    if (secondsLeft_ <= 0) {
        secondsLeft_ = kCountdownStart;
        outcome.refresh = refresh();
    }
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
    PageOutcome outcome;
    if (!IsPaneIndex(pane, paneCount())) return outcome;
    const SiteRule& own = panes_[pane];
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
    SiteWatch& watch = watches_[pane];
    if (capture.startedByProgram) {
        const QString reasonBefore = watch.reason();
        outcome.watch = watch.observe(Observe(row, WatchFacts(row, capture, read)));
        if (outcome.watch) {
            outcome.watchNotice =
                outcome.watch->kind == WatchChange::Kind::TurnedBlind
                    ? BlindNotice(row.name, outcome.watch->reason, outcome.watch->advice)
                    : WatchedAgainNotice(row.name);
        }
        if (watch.reason() != reasonBefore) outcome.toolTips = toolTips();
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

    SiteKept& kept = kept_.sites[row.id];
    const QString title = CutTitle(read.listings.first().title);
    if (!title.isEmpty() && title != kept.lastListing) {
        // Kept exact, to be compared with the next page's; shown without what hides or turns
        // the text around.
        kept.lastListing = title;
        outcome.newest =
            NewestTitle{.pane = pane,
                        .siteId = row.id,
                        .title = title,
                        .address = read.listings.first().link,
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
    return current;
}

OpenOutcome WatchController::openFound(qsizetype row) {
    OpenOutcome outcome;
    if (row < 0 || row >= found_.size()) return outcome;
    outcome.link = found_.open(row);
    outcome.toolTips = toolTips();
    return outcome;
}

OpenOutcome WatchController::noticeClicked(NoticeAction action, const QUrl& link) {
    OpenOutcome outcome;
    switch (action) {
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
    Options& options = kept_.options;
    options.keywords = choices.keywords;
    options.desktopNotifications = choices.desktopNotifications;
    options.includeWords = choices.includeWords;
    options.excludeWords = choices.excludeWords;
    filters_ = FiltersFrom(options.includeWords, options.excludeWords);
    for (int i = 0; i < std::min(paneCount(), static_cast<int>(choices.paneSites.size())); ++i) {
        const SiteRule* chosen = rule(choices.paneSites[i]);
        if (!chosen) continue;  // the dialog offers the catalogue alone
        panes_[i] = *chosen;
        options.paneSites[i] = defaultRule(i).id == chosen->id ? QString() : chosen->id;
    }
    ChoicesOutcome outcome;
    const Addresses after = addresses();
    outcome.reload.resize(panes_.size());
    for (int i = 0; i < paneCount(); ++i) {
        // Another site's watch starts afresh: what the one before it met says nothing of it,
        // and what it shows first is a new search, not news.
        if (panes_[i].id != rulesBefore[i].id) {
            watches_[i] = SiteWatch();
            notices_.forget(rulesBefore[i].id);
            ForgetSearch(memory_, panes_[i].id);
        }
        if (panes_[i].id != rulesBefore[i].id || after[i] != before[i])
            outcome.reload[i] = after[i];
    }
    outcome.panes = panes_;
    outcome.toolTips = toolTips();
    outcome.desktopNotifications = options.desktopNotifications;
    outcome.keep = {.kept = kept_, .choices = true};
    return outcome;
}

ToolTips WatchController::toolTips() const {
    ToolTips tips;
    QStringList names;
    QStringList reasons;
    for (int i = 0; i < paneCount(); ++i) {
        names.append(panes_[i].name);
        reasons.append(watches_[i].reason());
        tips.paneLabels.append(SiteLabelToolTip(reasons.last()));
    }
    tips.tray = TrayToolTip(secondsLeft_, names, reasons, found_.unopenedCount());
    return tips;
}

}  // namespace quintavia
