#include "core/watch_controller.h"

#include <utility>

#include "core/history_csv.h"
#include "core/page_walls.h"
#include "core/scroll_offset.h"
#include "core/shown_text.h"
#include "core/site_check.h"

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

StartUpOutcome WatchController::startUp(const Settings& stored) {
    StartUpOutcome outcome;
    regionIndex_ = 0;
    settings_ = stored;
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
            outcome.notices.append(
                HeldListingsNotice(panes_[i].name, heldCount_[i], heldLatest_[i]));
            noticeQuiet_[i] = kNoticeQuietSeconds;
        }
        heldCount_[i] = 0;
        heldLatest_.at(i).clear();
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
    // Each load the program asked for may add one line to the history: what a page loads by
    // itself never pushes older lines out faster than the refreshes would.
    if (capture.startedByProgram) historyDue_[i] = true;
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

    QString& last = lastListingOf(row.id);
    const QString title = CutTitle(read.listings.first().title);
    if (!title.isEmpty() && title != last) {
        // Kept exact, to be compared with the next page's; shown without what hides or turns
        // the text around.
        last = title;
        const QUrl address = read.listings.first().link;
        NewListing listing{.site = site,
                           .siteId = row.id,
                           .title = title,
                           .address = address,
                           .logEntry = row.logLabel + QStringLiteral(": ") + ShownText(title),
                           .sound = settings_.soundAlert == TriState::Ticked,
                           .notice = noticeFor(i, title),
                           .record = std::nullopt};
        if (std::exchange(historyDue_[i], false))
            listing.record = HistoryLine({.when = when,
                                          .siteId = row.id,
                                          .site = row.name,
                                          .title = title,
                                          .link = address});
        outcome.listing = std::move(listing);
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
    return current;
}

ChoicesOutcome WatchController::choose(const Choices& choices) {
    const Addresses before = addresses();
    const PaneRules rulesBefore = panes_;
    settings_.keywords = choices.keywords;
    settings_.desktopNotifications = choices.desktopNotifications;
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
        // Another site's watch starts afresh: what the one before it met says nothing of it.
        if (panes_[i].id != rulesBefore[i].id) {
            watches_[i] = SiteWatch();
            heldCount_[i] = 0;
        }
        if (panes_[i].id != rulesBefore[i].id || after[i] != before[i])
            outcome.reload[i] = after[i];
    }
    outcome.panes = panes_;
    outcome.toolTips = toolTips();
    outcome.desktopNotifications = settings_.desktopNotifications;
    return outcome;
}

std::optional<Notice> WatchController::noticeFor(std::size_t pane, const QString& title) {
    if (!settings_.desktopNotifications) return std::nullopt;
    if (noticeQuiet_[pane] == 0) {
        noticeQuiet_[pane] = kNoticeQuietSeconds;
        return NewListingNotice(panes_[pane].name, title);
    }
    ++heldCount_[pane];
    heldLatest_[pane] = title;
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
    tips.tray = TrayToolTip(secondsLeft_, names, reasons);
    return tips;
}

}  // namespace quintavia
