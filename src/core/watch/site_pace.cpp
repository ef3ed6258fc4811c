#include "core/watch/site_pace.h"

#include <QLocale>
#include <QTimeZone>
#include <algorithm>

namespace quintavia {
namespace {

// The three forms HTTP has had for dates, past the day of the week (which a two-digit year
// would set against the date); senders must use the first, readers take all.
constexpr const char* kHttpDateForms[] = {
    "dd MMM yyyy HH:mm:ss 'GMT'",  // Sun, 06 Nov 1994 08:49:37 GMT
    "dd-MMM-yy HH:mm:ss 'GMT'",    // Sunday, 06-Nov-94 08:49:37 GMT
    "MMM d HH:mm:ss yyyy",         // Sun Nov  6 08:49:37 1994
};

std::optional<QDateTime> HttpDate(const QString& text) {
    const QLocale c = QLocale::c();
    QString simplified = text.simplified();
    const qsizetype weekday = simplified.indexOf(u' ');
    if (weekday < 0) return std::nullopt;
    simplified = simplified.mid(weekday + 1);
    for (const char* form : kHttpDateForms) {
        QDateTime at = c.toDateTime(simplified, QString::fromLatin1(form));
        if (!at.isValid()) continue;
        // Two-digit years are of this century or the last, whichever is nearer.
        if (at.date().year() < 1970) at = at.addYears(100);
        at.setTimeZone(QTimeZone::utc());
        return at;
    }
    return std::nullopt;
}

}  // namespace

bool IsPaceChoice(int minutes) {
    return std::ranges::find(kPaceChoices, minutes) != std::end(kPaceChoices);
}

std::optional<qint64> RetryAfterSeconds(const QString& value, const QDateTime& now) {
    const QString text = value.trimmed();
    if (text.isEmpty()) return std::nullopt;
    if (std::ranges::all_of(text, [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        bool ok = false;
        const qint64 seconds = text.toLongLong(&ok);
        // A number too long for the type asks for as long as anything may.
        return ok ? seconds : kLongestRetryAfterSeconds;
    }
    const std::optional<QDateTime> at = HttpDate(text);
    if (!at) return std::nullopt;
    return std::max<qint64>(now.secsTo(*at), 0);
}

std::optional<SlowDown> SlowDownIn(const Observation& seen, bool timedOut) {
    if (timedOut) return SlowDown::TimedOut;
    if (seen.kind == Observation::Kind::HttpError && seen.httpStatus == 429)
        return SlowDown::TooManyRequests;
    if (seen.kind == Observation::Kind::HttpError && seen.httpStatus == 503)
        return SlowDown::Unavailable;
    if (seen.kind == Observation::Kind::Wall && seen.wall == WallKind::BotCheck)
        return SlowDown::BotCheck;
    return std::nullopt;
}

QString SlowDownReason(SlowDown why) {
    switch (why) {
        case SlowDown::TooManyRequests:
        case SlowDown::Unavailable:
        case SlowDown::BotCheck:
            return QStringLiteral("il sito chiede di rallentare");
        case SlowDown::TimedOut:
            return QStringLiteral("il sito non risponde in tempo");
    }
    return {};
}

void SitePace::setMinutes(int minutes) {
    minutes_ = IsPaceChoice(minutes) ? minutes : kDefaultPaceMinutes;
}

qint64 SitePace::intervalSeconds() const {
    return std::max<qint64>(backedOff_, qint64{minutes_} * 60);
}

void SitePace::slowedDown(SlowDown why, qint64 now, std::optional<qint64> retryAfter,
                          const QDateTime& when) {
    const qint64 own = qint64{minutes_} * 60;
    backedOff_ = std::max(std::min(intervalSeconds() * 2, kLongestPaceSeconds), own);
    why_ = why;
    const qint64 asked = std::clamp<qint64>(retryAfter.value_or(0), 0, kLongestRetryAfterSeconds);
    const qint64 wait = std::max(backedOff_, asked);
    next_ = now + wait;
    until_ = when.isValid() ? when.addSecs(wait) : QDateTime();
}

void SitePace::answered(qint64 now) {
    if (!why_) return;
    backedOff_ = 0;
    why_.reset();
    until_ = {};
    next_ = std::min(next_, now + intervalSeconds());
}

QString HeldBackNote(const SitePace& pace) {
    if (!pace.why()) return {};
    const QString reason = SlowDownReason(*pace.why());
    if (!pace.heldUntil().isValid()) return QStringLiteral("in pausa: ") + reason;
    return QStringLiteral("in pausa fino alle %1: %2")
        .arg(QLocale::c().toString(pace.heldUntil().toLocalTime().time(), QStringLiteral("HH:mm")),
             reason);
}

}  // namespace quintavia
