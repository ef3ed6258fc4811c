#pragma once

#include <QString>
#include <QUrl>
#include <optional>

#include "core/page/page_listings.h"
#include "core/sites/site_rules.h"

namespace quintavia {

// A site's pane can go on loading pages in which the probe finds nothing (a new layout, a
// consent wall, a block, a move to another domain) while the window looks alive. The watch
// tells such a site apart from one that has no new listings.

// What one capture showed.
struct Observation {
    enum class Kind {
        Listings,     // the site's listing marker is in the page
        NoListings,   // a page of the site, without the marker
        Wall,         // a page of the site that asks for consent or a proof of a person
        OtherSite,    // a page on another domain
        HttpError,    // the site answered with an HTTP error status
        EngineError,  // the engine's own error page: no answer, a refused connection, ...
        RuleFault,    // the site's rule cannot be used here: its selector does not parse
    };
    Kind kind = Kind::Listings;
    int httpStatus = 0;              // HttpError
    QString host;                    // OtherSite
    std::optional<WallKind> wall{};  // Wall
    QString closedNote{};            // any kind but Listings, for a site known to have closed
    // The name of the site that took over from this one, when the catalogue holds it: the
    // advice names it instead of "another site".
    QString successor{};

    bool operator==(const Observation&) const = default;
};

Observation Observe(const SiteRule& rule, const CaptureFacts& facts);

// Why a site cannot be watched, in plain Italian, lower case, to follow a colon or a site's
// name; empty for Listings. A site known to have closed says so whatever its pages show.
QString BlindReason(const Observation& observation);
// What the user can do about it, to follow the reason; never empty, as a user told of a blind
// pane needs a way out.
QString BlindAdviceFor(const Observation& observation);

// Three bad captures in a row, not one: a single failed load or a page caught mid-change says
// nothing yet.
inline constexpr int kBadCapturesToTurnBlind = 3;

// Whether one capture says all there is to say: a site known to have closed, a consent wall
// and a bot check do not pass by themselves, so waiting for more loads only keeps the user
// in the dark.
bool BlindAtOnce(const Observation& observation);

// A change of a site's state, told once per episode.
struct WatchChange {
    enum class Kind { TurnedBlind, WatchedAgain };
    Kind kind = Kind::TurnedBlind;
    QString reason;    // TurnedBlind: BlindReason of the capture that made it so
    QString advice{};  // TurnedBlind: BlindAdviceFor that capture
    // TurnedBlind: whether the site had shown its listings before, since its watch began; a
    // site never seen working is not "no longer" watched.
    bool watchedBefore = true;

    bool operator==(const WatchChange&) const = default;
};

// One site's state: watching, or blind with a reason. Only a capture that shows the listing
// marker again ends a blind episode; any other capture is bad.
class SiteWatch {
  public:
    std::optional<WatchChange> observe(const Observation& observation);

    bool blind() const { return blind_; }
    // While blind, the reason of the latest bad capture; empty while watching.
    const QString& reason() const { return reason_; }
    // While blind, what the user can do about it (BlindAdviceFor).
    const QString& advice() const { return advice_; }
    // Whether a capture has shown the site's listings since its watch began: until then, and
    // unless it turned blind, the site is still being checked.
    bool seenListings() const { return seenListings_; }

  private:
    int badInARow_ = 0;
    bool blind_ = false;
    QString reason_;
    QString advice_;
    bool seenListings_ = false;
};

}  // namespace quintavia
