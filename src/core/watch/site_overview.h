#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include "core/listings/found_list.h"

namespace quintavia {

// "Siti seguiti": one row for every site watched, in a pane or without one.

// The days the overview counts new listings over, today the last.
inline constexpr int kOverviewDays = 14;

struct SiteOverviewRow {
    QString id{};
    QString name{};
    int pane = -1;        // the pane that shows it; -1 when it is watched without one
    QString place{};      // "Riquadro 3" or "Senza riquadro"
    QString state{};      // "Sorvegliato", "Non sorvegliato: …" or "In pausa fino alle …: …"
    QDateTime last{};     // the last load the program asked for that was read; invalid: none yet
    QDateTime next{};     // when it is loaded next
    QList<int> perDay{};  // new listings a day over the last kOverviewDays days, oldest first

    bool operator==(const SiteOverviewRow&) const = default;
};

// The new listings a day that the site with this id (or, for rows of an older history that
// name the site alone, this name) found, on each of the `days` days up to `today`, oldest
// first; what is filtered out counts, as the site showed it.
QList<int> NewPerDay(const FoundList& found, const QString& id, const QString& name,
                     const QDate& today, int days = kOverviewDays);

// The counts as a row of bars, one character a day, for a cell of a list; and as words.
QString PerDayBars(const QList<int>& perDay);
QString PerDaySpoken(const QList<int>& perDay);

}  // namespace quintavia
