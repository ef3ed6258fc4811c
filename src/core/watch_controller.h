#pragma once

#include <QPointF>
#include <QString>
#include <QUrl>
#include <array>
#include <optional>

#include "core/countdown.h"
#include "core/site_watch.h"
#include "core/sites.h"
#include "settings/settings.h"

namespace quintavia {

// What a pane tells once a page has finished loading and its markup has been read.
struct PageCapture {
    QUrl url;                       // the address of the document that was read
    std::optional<QString> markup;  // none when the page is not an HTML document
    // As the engine reported the load: a failure is its own error page or an HTTP error
    // status, whose page may be the site's own body.
    bool loadSucceeded = true;
    int httpStatus = 0;  // 0 when unknown
};

// The longest title kept, in UTF-16 units: a page could otherwise grow the log and the
// settings file without limit.
inline constexpr qsizetype kTitleUnits = 500;

// The title as it is compared, logged and stored: its first kTitleUnits units, one fewer when
// the cut would split a surrogate pair (half a character would not survive the settings file).
QString CutTitle(const QString& title);

struct ScrollTo {
    double top = 0;
    std::optional<double> left;  // none when the stored horizontal offset is no number

    bool operator==(const ScrollTo&) const = default;
};

// What the window does once a pane's page has been read.
struct PageOutcome {
    std::optional<QString> logEntry;  // add it to the log and show it
    bool playSound = false;           // play the site's alert sound
    std::optional<ScrollTo> scroll;   // scroll the pane back to the saved offsets
    bool listingsChanged = false;     // a last listing changed: store the listings soon
    // The site turned blind, or is watched again: tell the user.
    std::optional<WatchChange> watch;

    bool operator==(const PageOutcome&) const = default;
};

struct StartUpOutcome {
    QString regionText;  // the region box, and the options, as stored
    TriState autoPosition = TriState::Unticked;
    TriState soundAlert = TriState::Unticked;
    Addresses addresses;  // then the first refresh, for the stored region
};

struct TickOutcome {
    std::optional<Addresses> refresh;
    QString title;
};

// The program's state and the rules that act on it, free of widgets and of the browser
// engine. The window hands it each event as values, on the user-interface thread, and does
// what the returned outcome says.
class WatchController {
  public:
    // Start-up: what was stored takes over, and the first refresh searches the stored region.
    StartUpOutcome startUp(const Settings& stored);

    // "Aggiorna", Enter in the region box, and every other refresh: the search addresses for
    // the region box's text. A text that names a region of the list (in any letter case, with
    // blanks around it) gives Jobonline that region's number, and counts as that region
    // chosen; any other text leaves Jobonline the region last chosen.
    Addresses refresh();
    // A region chosen from the list, by its position (-1 when none is selected).
    Addresses chooseRegion(int listIndex);
    // One tick of the countdown timer.
    TickOutcome tick(WindowState state);
    // Pane `site` has read its page. A page off the site's own domain ends the handling at
    // once: nothing is probed, logged or scrolled for it.
    PageOutcome pageCaptured(int site, const PageCapture& capture);
    // "Salva posizione finestre": each pane's offsets, none for a pane without a page. Gives
    // what is to be stored; a pane without a page keeps what was stored for it.
    SettingsEntries savePositions(const std::array<std::optional<QPointF>, kSiteCount>& offsets);

    // Typing in the region box and clicks on the options change only the state; the next
    // event that needs them reads them.
    void setRegionText(const QString& text) { settings_.region = text; }
    void setAutoPosition(TriState value) { settings_.autoPosition = value; }
    void setSoundAlert(TriState value) { settings_.soundAlert = value; }
    void setDesktopNotifications(bool on) { settings_.desktopNotifications = on; }

    // Everything that outlives the run, as it stands now.
    const Settings& settings() const { return settings_; }
    qint16 regionIndex() const { return regionIndex_; }
    // Whether each site's pages still show its listings; never stored.
    const SiteWatch& siteWatch(int site) const {
        return watches_.at(static_cast<std::size_t>(site));
    }
    int secondsLeft() const { return secondsLeft_; }
    // Runs the countdown out, so that the next tick refreshes: for tools that drive the
    // window faster than the clock.
    void expireCountdown() { secondsLeft_ = 0; }

  private:
    Addresses addresses() const;

    Settings settings_;
    qint16 regionIndex_ = 0;
    int secondsLeft_ = kCountdownStart;
    std::array<SiteWatch, kSiteCount> watches_{};
};

}  // namespace quintavia
