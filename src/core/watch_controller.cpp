#include "core/watch_controller.h"

#include "core/history_csv.h"
#include "core/listing_probe.h"
#include "core/scroll_offset.h"

namespace quintavia {

StartUpOutcome WatchController::startUp(const Settings& stored) {
    StartUpOutcome outcome;
    regionIndex_ = 0;
    outcome.addresses = refresh();
    settings_ = stored;
    outcome.regionText = settings_.region;
    outcome.autoPosition = settings_.autoPosition;
    outcome.soundAlert = settings_.soundAlert;
    outcome.desktopNotifications = settings_.desktopNotifications;
    outcome.toolTips = toolTips();
    return outcome;
}

Addresses WatchController::refresh() const {
    return SearchAddresses(settings_.region, regionIndex_);
}

Addresses WatchController::chooseRegion(int listIndex) {
    regionIndex_ = static_cast<qint16>(listIndex);
    return refresh();
}

TickOutcome WatchController::tick(WindowState state) {
    TickOutcome outcome;
    if (secondsLeft_ <= 0) {
        secondsLeft_ = kCountdownStart;
        outcome.refresh = refresh();
    }
    --secondsLeft_;
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
    const Site& row = SiteAt(site);
    const auto i = static_cast<std::size_t>(site);
    std::optional<NewestListing> read;
    if (capture.markup && IsOnSiteDomain(site, capture.url))
        read = FindNewestListing(*capture.markup, QString::fromLatin1(row.marker));
    SiteWatch& watch = watches_[i];
    const QString reasonBefore = watch.reason();
    outcome.watch = watch.observe(Observe(site, {.url = capture.url,
                                                 .loadSucceeded = capture.loadSucceeded,
                                                 .httpStatus = capture.httpStatus,
                                                 .markerSeen = read && read->markerPosition > 0}));
    if (outcome.watch && settings_.desktopNotifications) {
        outcome.watchNotice = outcome.watch->kind == WatchChange::Kind::TurnedBlind
                                  ? BlindNotice(site, outcome.watch->reason)
                                  : WatchedAgainNotice(site);
    }
    if (watch.reason() != reasonBefore) outcome.toolTips = toolTips();
    if (!read || read->outcome != ProbeOutcome::Title) return outcome;
    const NewestListing& found = *read;

    QString& last = settings_.lastListing[i];
    const QString title = CutTitle(found.title);
    if (!title.isEmpty() && title != last) {
        last = title;
        NewListing listing{
            .site = site,
            .title = title,
            .address = capture.url,
            .logEntry = QLatin1String(row.logLabel) + QStringLiteral(": ") + title,
            .sound = settings_.soundAlert == TriState::Ticked,
            .notice = std::nullopt,
            .record = HistoryLine(when, QString::fromLatin1(row.name), title, capture.url)};
        if (settings_.desktopNotifications) listing.notice = NewListingNotice(site, title);
        outcome.listing = std::move(listing);
        outcome.listingsChanged = true;
    }

    if (settings_.autoPosition == TriState::Ticked) {
        // A stored vertical offset that is no number stops the restore before either offset.
        if (const std::optional<double> top = ScrollOffsetFromText(settings_.scrollTop[i]))
            outcome.scroll = ScrollTo{*top, ScrollOffsetFromText(settings_.scrollLeft[i])};
    }
    return outcome;
}

QList<int> WatchController::savePositions(
    const std::array<std::optional<QPointF>, kSiteCount>& offsets) {
    QList<int> saved;
    for (int site = 0; site < kSiteCount; ++site) {
        const auto i = static_cast<std::size_t>(site);
        if (!offsets[i]) continue;
        const std::optional<QString> top = ScrollOffsetToText(offsets[i]->y());
        const std::optional<QString> left = ScrollOffsetToText(offsets[i]->x());
        if (top) settings_.scrollTop[i] = *top;
        if (left) settings_.scrollLeft[i] = *left;
        saved.append(site);
    }
    return saved;
}

ToolTips WatchController::toolTips() const {
    ToolTips tips;
    std::array<QString, kSiteCount> reasons;
    for (std::size_t i = 0; i < reasons.size(); ++i) {
        reasons[i] = watches_[i].reason();
        tips.siteLabels[i] = SiteLabelToolTip(reasons[i]);
    }
    tips.tray = TrayToolTip(secondsLeft_, reasons);
    return tips;
}

}  // namespace quintavia
