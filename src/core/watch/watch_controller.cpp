#include "core/watch/watch_controller.h"

#include <utility>

#include "core/listings/history_csv.h"
#include "core/page/page_walls.h"
#include "core/text/shown_text.h"
#include "core/watch/scroll_offset.h"
#include "core/watch/site_check.h"

namespace quintavia {

WatchController::WatchController(Catalogue catalogue) : catalogue_(std::move(catalogue)) {
    const QList<SiteRule>& defaults = DefaultRules();
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        const SiteRule* known = rule(defaults[static_cast<qsizetype>(i)].id);
        panes_[i] = known ? *known : defaults[static_cast<qsizetype>(i)];
    }
}

const SiteRule* WatchController::rule(const QString& id) const {
    return catalogue_.find(id);
}

QString& WatchController::lastListingOf(const QString& id) {
    const int at = DefaultPane(id);
    if (at >= 0) return settings_.lastListing[static_cast<std::size_t>(at)];
    return settings_.otherSites[id].lastListing;
}

QString& WatchController::scrollTopOf(const QString& id) {
    const int at = DefaultPane(id);
    if (at >= 0) return settings_.scrollTop[static_cast<std::size_t>(at)];
    return settings_.otherSites[id].scrollTop;
}

QString& WatchController::scrollLeftOf(const QString& id) {
    const int at = DefaultPane(id);
    if (at >= 0) return settings_.scrollLeft[static_cast<std::size_t>(at)];
    return settings_.otherSites[id].scrollLeft;
}

StartUpOutcome WatchController::startUp(const Settings& stored, ListingMemory seen,
                                        const QList<FoundListing>& earlier) {
    StartUpOutcome outcome;
    regionIndex_ = 0;
    settings_ = stored;
    memory_ = std::move(seen);
    LearnFromHistory(memory_, catalogue_.rules, earlier);
    filters_ = FiltersFrom(settings_.includeWords, settings_.excludeWords);
    found_.load(earlier);
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        QString& id = settings_.paneSites[i];
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
        if (DefaultPane(id) == static_cast<int>(i)) id.clear();
    }
    outcome.panes = panes_;
    // The stored region is the one searched from the first refresh on: the first pages, and
    // the titles they announce, are those of the region the box shows.
    outcome.addresses = refresh();
    outcome.regionText = settings_.region;
    outcome.autoPosition = settings_.autoPosition;
    outcome.soundAlert = settings_.soundAlert;
    outcome.desktopNotifications = settings_.desktopNotifications;
    outcome.toolTips = toolTips();
    return outcome;
}

QString WatchController::address(int pane) const {
    return ExpandSearch(panes_.at(static_cast<std::size_t>(pane)).search,
                        {.regionText = settings_.region,
                         .regionIndex = regionIndex_,
                         .keywords = settings_.keywords});
}

Addresses WatchController::refresh() {
    // Jobonline takes the region by its number, the others by the text: a text that names a
    // region must reach all four as that region, however it came into the box.
    if (const std::optional<int> named = RegionNamed(settings_.region))
        regionIndex_ = static_cast<qint16>(*named);
    return addresses();
}

Addresses WatchController::addresses() const {
    Addresses addresses;
    for (int i = 0; i < kSiteCount; ++i) addresses[static_cast<std::size_t>(i)] = address(i);
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
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        if (noticeQuiet_[i] == 0 || --noticeQuiet_[i] > 0) continue;
        if (heldCount_[i] == 0) continue;
        if (settings_.desktopNotifications) {
            outcome.notices.append(ListingsNotice(panes_[i].name, held_[i], heldCount_[i]));
            noticeQuiet_[i] = kNoticeQuietSeconds;
        }
        heldCount_[i] = 0;
        held_.at(i).clear();
    }
    outcome.title = CountdownTitle(secondsLeft_, state);
    outcome.trayToolTip = toolTips().tray;
    return outcome;
}

PageOutcome WatchController::pageCaptured(int site, const PageCapture& capture,
                                          const QDateTime& when) {
    // A page that gives nothing to read, or that is not the site's own, ends the handling once
    // the site's watch has heard of it: no title, and no scroll either.
    PageOutcome outcome;
    if (!IsSiteIndex(site)) return outcome;
    const auto i = static_cast<std::size_t>(site);
    const SiteRule& row = panes_[i];
    const PageListings read = ReadListings(row, capture);
    SiteWatch& watch = watches_[i];
    if (capture.startedByProgram) {
        const QString reasonBefore = watch.reason();
        outcome.watch = watch.observe(Observe(row, WatchFacts(row, capture, read)));
        if (outcome.watch && settings_.desktopNotifications) {
            outcome.watchNotice =
                outcome.watch->kind == WatchChange::Kind::TurnedBlind
                    ? BlindNotice(row.name, outcome.watch->reason, outcome.watch->advice)
                    : WatchedAgainNotice(row.name);
        }
        if (watch.reason() != reasonBefore) outcome.toolTips = toolTips();
    }
    if (read.listings.isEmpty()) return outcome;

    // Only the loads the program asked for bring news: a page that reloads itself, or one the
    // user went to, shows what the next refresh finds all the same.
    if (capture.startedByProgram) {
        const QString search = capture.requested.isEmpty() ? address(site) : capture.requested;
        News news = FindNews(memory_, row, search, read.listings, capture.url, filters_, when);
        outcome.memoryChanged = news.memoryChanged;
        if (!news.found.isEmpty()) {
            QList<FoundListing> announced;
            for (qsizetype k = 0; k < news.found.size(); ++k) {
                outcome.records.append(HistoryLine(news.found[k]));
                if (news.announced[k]) announced.append(news.found[k]);
            }
            // Added oldest first: the top of the page ends at the top of the list.
            QList<FoundListing> reversed(news.found.rbegin(), news.found.rend());
            QList<bool> flags(news.announced.rbegin(), news.announced.rend());
            found_.add(reversed, flags);
            if (!announced.isEmpty()) {
                outcome.foundNotice = noticeFor(i, announced);
                outcome.toolTips = toolTips();
            }
            outcome.found = std::move(news.found);
        }
    }

    QString& last = lastListingOf(row.id);
    const QString title = CutTitle(read.listings.first().title);
    if (!title.isEmpty() && title != last) {
        // Kept exact, to be compared with the next page's; shown without what hides or turns
        // the text around.
        last = title;
        outcome.listing =
            NewListing{.site = site,
                       .siteId = row.id,
                       .title = title,
                       .address = read.listings.first().link,
                       .logEntry = row.logLabel + QStringLiteral(": ") + ShownText(title),
                       .sound = settings_.soundAlert == TriState::Ticked};
        outcome.listingsChanged = true;
    }

    if (settings_.autoPosition == TriState::Ticked) {
        // A stored vertical offset that is no number stops the restore before either offset.
        if (const std::optional<double> top = ScrollOffsetFromText(scrollTopOf(row.id)))
            outcome.scroll = ScrollTo{*top, ScrollOffsetFromText(scrollLeftOf(row.id))};
    }
    return outcome;
}

QStringList WatchController::savePositions(
    const std::array<std::optional<QPointF>, kSiteCount>& offsets) {
    QStringList saved;
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        if (!offsets[i]) continue;
        const QString& id = panes_[i].id;
        const std::optional<QString> top = ScrollOffsetToText(offsets[i]->y());
        const std::optional<QString> left = ScrollOffsetToText(offsets[i]->x());
        if (top) scrollTopOf(id) = *top;
        if (left) scrollLeftOf(id) = *left;
        if (!saved.contains(id)) saved.append(id);
    }
    return saved;
}

Choices WatchController::choices() const {
    Choices current;
    for (std::size_t i = 0; i < panes_.size(); ++i) current.paneSites[i] = panes_[i].id;
    current.keywords = settings_.keywords;
    current.desktopNotifications = settings_.desktopNotifications;
    current.includeWords = settings_.includeWords;
    current.excludeWords = settings_.excludeWords;
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

ChoicesOutcome WatchController::choose(const Choices& choices) {
    const Addresses before = addresses();
    const PaneRules rulesBefore = panes_;
    settings_.keywords = choices.keywords;
    settings_.desktopNotifications = choices.desktopNotifications;
    settings_.includeWords = choices.includeWords;
    settings_.excludeWords = choices.excludeWords;
    filters_ = FiltersFrom(settings_.includeWords, settings_.excludeWords);
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        const SiteRule* chosen = rule(choices.paneSites[i]);
        if (!chosen) continue;  // the dialog offers the catalogue alone
        panes_[i] = *chosen;
        settings_.paneSites[i] =
            DefaultPane(chosen->id) == static_cast<int>(i) ? QString() : chosen->id;
    }
    ChoicesOutcome outcome;
    const Addresses after = addresses();
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        // Another site's watch starts afresh: what the one before it met says nothing of it,
        // and what it shows first is a new search, not news.
        if (panes_[i].id != rulesBefore[i].id) {
            watches_[i] = SiteWatch();
            heldCount_[i] = 0;
            held_.at(i).clear();
            ForgetSearch(memory_, panes_[i].id);
        }
        if (panes_[i].id != rulesBefore[i].id || after[i] != before[i])
            outcome.reload[i] = after[i];
    }
    outcome.panes = panes_;
    outcome.toolTips = toolTips();
    outcome.desktopNotifications = settings_.desktopNotifications;
    return outcome;
}

std::optional<Notice> WatchController::noticeFor(std::size_t pane,
                                                 const QList<FoundListing>& announced) {
    if (!settings_.desktopNotifications) return std::nullopt;
    const auto count = static_cast<int>(announced.size());
    if (noticeQuiet_[pane] == 0) {
        noticeQuiet_[pane] = kNoticeQuietSeconds;
        return ListingsNotice(panes_[pane].name, announced, count);
    }
    // The newest first: what this capture found goes ahead of what was held before.
    heldCount_[pane] += count;
    QList<FoundListing>& held = held_[pane];
    held = announced.first(std::min(announced.size(), kNoticeTitles)) + held;
    held.resize(std::min(held.size(), kNoticeTitles));
    return std::nullopt;
}

ToolTips WatchController::toolTips() const {
    ToolTips tips;
    std::array<QString, kSiteCount> names;
    std::array<QString, kSiteCount> reasons;
    for (std::size_t i = 0; i < reasons.size(); ++i) {
        names[i] = panes_[i].name;
        reasons[i] = watches_[i].reason();
        tips.siteLabels[i] = SiteLabelToolTip(reasons[i]);
    }
    tips.tray = TrayToolTip(secondsLeft_, names, reasons, found_.unopenedCount());
    return tips;
}

}  // namespace quintavia
