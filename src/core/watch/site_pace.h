#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

#include "core/watch/site_watch.h"

namespace quintavia {

// How often each site is loaded. Boards differ: one adds listings every hour, another every
// week, and one answers a quick reload by asking to slow down. The clock is the countdown's,
// in seconds since the window started: a tool that drives the countdown faster drives the
// sites' paces with it.

inline constexpr int kDefaultPaceMinutes = 5;  // the countdown's own
// The intervals the user chooses among, in minutes.
inline constexpr int kPaceChoices[] = {5, 10, 15, 30, 60};
// A site that keeps asking is never left longer than this by the doubling alone.
inline constexpr qint64 kLongestPaceSeconds = 60 * 60;
// A Retry-After further out than this is taken as this: a board's typo must not silence it for
// a year.
inline constexpr qint64 kLongestRetryAfterSeconds = 24 * 60 * 60;

bool IsPaceChoice(int minutes);

// Why a site's loads are held back.
enum class SlowDown {
    TooManyRequests,  // HTTP 429
    Unavailable,      // HTTP 503
    BotCheck,         // a challenge page instead of the listings
    TimedOut,         // the load did not end in time
};

// The seconds a Retry-After value asks for, as of `now`: a number of seconds, or an HTTP date
// (a date already past asks for none). nullopt for anything else.
std::optional<qint64> RetryAfterSeconds(const QString& value, const QDateTime& now);

// What a load the program asked for says of the pace: an answer that asks to slow down, a bot
// check, or a load that did not end in time; nullopt for any other.
std::optional<SlowDown> SlowDownIn(const Observation& seen, bool timedOut);

// Why a site is held back, in plain Italian, lower case, to follow a colon.
QString SlowDownReason(SlowDown why);

// One site's pace: its own interval, doubled (up to kLongestPaceSeconds) for as long as it asks
// to slow down, and the moment it is next due.
class SitePace {
  public:
    explicit SitePace(int minutes = kDefaultPaceMinutes) { setMinutes(minutes); }

    // The user's choice; an interval that is not a choice is the default. A site held back
    // stays held back.
    void setMinutes(int minutes);
    int minutes() const { return minutes_; }
    // The interval as it stands: the site's own, or longer while it is held back.
    qint64 intervalSeconds() const;
    bool heldBack() const { return why_.has_value(); }
    std::optional<SlowDown> why() const { return why_; }
    // When it is next due, on the countdown's clock, and as the desktop's clock told it when
    // it was held back (invalid while it is not).
    qint64 nextAt() const { return next_; }
    const QDateTime& heldUntil() const { return until_; }

    bool due(qint64 now) const { return now >= next_; }
    // A load the schedule made at `now`: the next one is an interval later.
    void loaded(qint64 now) { next_ = now + intervalSeconds(); }
    // A load the program asked for showed the site asking to slow down: its interval doubles,
    // and it waits at least as long as it asked. `when`: the desktop's clock at `now`.
    void slowedDown(SlowDown why, qint64 now, std::optional<qint64> retryAfter,
                    const QDateTime& when);
    // A good load: the site's own interval is back, and it is due no later than that from now.
    void answered(qint64 now);

  private:
    int minutes_ = kDefaultPaceMinutes;
    qint64 backedOff_ = 0;  // the doubled interval while held back, else 0
    std::optional<SlowDown> why_;
    qint64 next_ = 0;
    QDateTime until_;
};

// The tooltip's and the overview's line for a site held back: until when and why ("in pausa
// fino alle 10:35: il sito chiede di rallentare"); empty when it is not.
QString HeldBackNote(const SitePace& pace);

}  // namespace quintavia
