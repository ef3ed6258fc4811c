#include "core/watch/site_overview.h"

#include <algorithm>
#include <numeric>

namespace quintavia {

QList<int> NewPerDay(const FoundList& found, const QString& id, const QString& name,
                     const QDate& today, int days) {
    QList<int> perDay(std::max(days, 0));
    for (qsizetype row = 0; row < found.size(); ++row) {
        const FoundListing& listing = found.at(row);
        const bool ours = listing.siteId.isEmpty() ? listing.site == name : listing.siteId == id;
        if (!ours || !listing.when.isValid()) continue;
        const qint64 ago = listing.when.date().daysTo(today);
        if (ago < 0 || ago >= perDay.size()) continue;
        ++perDay[perDay.size() - 1 - ago];
    }
    return perDay;
}

QString PerDayBars(const QList<int>& perDay) {
    // Eighths of a cell, from none to full: the busiest day fills it.
    static const char16_t kBars[] = u" ▁▂▃▄▅▆▇█";
    const int most = perDay.isEmpty() ? 0 : *std::ranges::max_element(perDay);
    QString bars;
    for (const int count : perDay) {
        const int eighths = most == 0 ? 0 : std::max(count > 0 ? 1 : 0, count * 8 / most);
        bars += QChar(kBars[eighths]);
    }
    return bars;
}

QString PerDaySpoken(const QList<int>& perDay) {
    const int total = std::accumulate(perDay.begin(), perDay.end(), 0);
    const int today = perDay.isEmpty() ? 0 : perDay.last();
    return QStringLiteral("%1 annunci nuovi negli ultimi %2 giorni, %3 oggi")
        .arg(total)
        .arg(perDay.size())
        .arg(today);
}

}  // namespace quintavia
