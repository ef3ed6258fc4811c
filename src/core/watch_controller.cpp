#include "core/watch_controller.h"

#include "core/listing_probe.h"
#include "core/scroll_offset.h"
#include "core/shown_text.h"

namespace quintavia {

QString CutTitle(const QString& title) {
    if (title.size() <= kTitleUnits) return title;
    qsizetype units = kTitleUnits;
    if (title[units - 1].isHighSurrogate() && title[units].isLowSurrogate()) --units;
    return title.left(units);
}

StartUpOutcome WatchController::startUp(const Settings& stored) {
    StartUpOutcome outcome;
    regionIndex_ = 0;
    outcome.addresses = refresh();
    settings_ = stored;
    outcome.regionText = settings_.region;
    outcome.autoPosition = settings_.autoPosition;
    outcome.soundAlert = settings_.soundAlert;
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
    return outcome;
}

PageOutcome WatchController::pageCaptured(int site, const PageCapture& capture) {
    // A page that gives nothing to read, or that is not the site's own, ends the handling once
    // the site's watch has heard of it: no title, and no scroll either.
    PageOutcome outcome;
    if (!IsSiteIndex(site)) return outcome;
    const Site& row = SiteAt(site);
    const auto i = static_cast<std::size_t>(site);
    std::optional<NewestListing> read;
    if (capture.markup && IsOnSiteDomain(site, capture.url))
        read = FindNewestListing(*capture.markup, QString::fromLatin1(row.marker));
    outcome.watch =
        watches_[i].observe(Observe(site, {.url = capture.url,
                                           .loadSucceeded = capture.loadSucceeded,
                                           .httpStatus = capture.httpStatus,
                                           .markerSeen = read && read->markerPosition > 0}));
    if (!read || read->outcome != ProbeOutcome::Title) return outcome;
    const NewestListing& found = *read;

    QString& last = settings_.lastListing[i];
    const QString title = CutTitle(found.title);
    if (!title.isEmpty() && title != last) {
        // Kept exact, to be compared with the next page's; shown without what hides or turns
        // the text around.
        last = title;
        outcome.logEntry = QLatin1String(row.logLabel) + QStringLiteral(": ") + ShownText(last);
        outcome.playSound = settings_.soundAlert == TriState::Ticked;
        outcome.listingsChanged = true;
    }

    if (settings_.autoPosition == TriState::Ticked) {
        // A stored vertical offset that is no number stops the restore before either offset.
        if (const std::optional<double> top = ScrollOffsetFromText(settings_.scrollTop[i]))
            outcome.scroll = ScrollTo{*top, ScrollOffsetFromText(settings_.scrollLeft[i])};
    }
    return outcome;
}

SettingsEntries WatchController::savePositions(
    const std::array<std::optional<QPointF>, kSiteCount>& offsets) {
    SettingsEntries entries;
    for (int site = 0; site < kSiteCount; ++site) {
        const auto i = static_cast<std::size_t>(site);
        if (!offsets[i]) continue;
        const std::optional<QString> top = ScrollOffsetToText(offsets[i]->y());
        const std::optional<QString> left = ScrollOffsetToText(offsets[i]->x());
        if (top) settings_.scrollTop[i] = *top;
        if (left) settings_.scrollLeft[i] = *left;
        entries += ScrollEntries(settings_, site);
    }
    return entries;
}

}  // namespace quintavia
