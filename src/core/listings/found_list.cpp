#include "core/listings/found_list.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <utility>

#include "core/text/text_fold.h"

namespace quintavia {

FoundList::Row FoundList::RowOf(const FoundListing& listing, bool waits) {
    return {listing,
            FoldText(listing.title + u' ' + listing.site + u' ' + listing.company + u' ' +
                     listing.place),
            waits};
}

const FoundList::Row& FoundList::rowAt(qsizetype row) const {
    return rows_.at(rows_.size() - 1 - row);
}

void FoundList::dropOldest() {
    const qsizetype over = rows_.size() - kKept;
    if (over <= 0) return;
    for (qsizetype i = 0; i < over; ++i) unopened_ -= rows_.at(i).unopened ? 1 : 0;
    rows_.remove(0, over);
    loaded_ = std::max<qsizetype>(0, loaded_ - over);
}

void FoundList::load(const QList<FoundListing>& earlier) {
    QList<Row> rows;
    rows.reserve(earlier.size() + rows_.size() - loaded_);
    for (const FoundListing& listing : earlier) rows.append(RowOf(listing, false));
    rows.append(rows_.sliced(loaded_));
    rows_ = std::move(rows);
    loaded_ = earlier.size();
    dropOldest();
}

void FoundList::add(const QList<FoundListing>& found, const QList<bool>& announced) {
    for (qsizetype i = 0; i < found.size(); ++i) {
        const bool waits = i < announced.size() && announced.at(i);
        rows_.append(RowOf(found.at(i), waits));
        unopened_ += waits ? 1 : 0;
    }
    dropOldest();
}

qsizetype FoundList::size() const {
    return rows_.size();
}

const FoundListing& FoundList::at(qsizetype row) const {
    return rowAt(row).listing;
}

bool FoundList::unopened(qsizetype row) const {
    return rowAt(row).unopened;
}

QList<qsizetype> FoundList::shown(const QString& query, bool withFiltered) const {
    const QStringList words = FoldedWords(query);
    QList<qsizetype> rows;
    for (qsizetype row = 0; row < rows_.size(); ++row) {
        const Row& entry = rowAt(row);
        if (entry.listing.filtered && !withFiltered) continue;
        // The folded text has single spaces between words, and a query's word none: found in
        // the text, it is found within one word.
        const bool holds = std::all_of(words.cbegin(), words.cend(), [&](const QString& word) {
            return entry.folded.contains(word);
        });
        if (holds) rows.append(row);
    }
    return rows;
}

std::optional<QUrl> FoundList::open(qsizetype row) {
    Row& entry = rows_[rows_.size() - 1 - row];
    if (std::exchange(entry.unopened, false)) --unopened_;
    const QUrl address = entry.listing.address();
    if (!IsOpenableLink(address)) return std::nullopt;
    return address;
}

void FoundList::openedElsewhere(const QUrl& link) {
    if (link.isEmpty()) return;
    for (Row& row : rows_) {
        if (row.unopened && row.listing.address() == link) {
            row.unopened = false;
            --unopened_;
        }
    }
}

int FoundList::unopenedCount() const {
    return unopened_;
}

void FoundList::openAll() {
    for (Row& row : rows_) row.unopened = false;
    unopened_ = 0;
}

QStringList FoundList::unopenedAddresses() const {
    QStringList addresses;
    for (const Row& row : rows_)
        if (row.unopened) addresses << row.listing.address().toString(QUrl::FullyEncoded);
    return addresses;
}

void FoundList::markUnopened(const QStringList& addresses) {
    if (addresses.isEmpty()) return;
    const QSet<QString> waiting(addresses.cbegin(), addresses.cend());
    for (qsizetype i = 0; i < loaded_; ++i) {
        Row& row = rows_[i];
        if (row.unopened || !waiting.contains(row.listing.address().toString(QUrl::FullyEncoded)))
            continue;
        row.unopened = true;
        ++unopened_;
    }
}

QString FoundListingsTitle(int unopened) {
    const QString title = QStringLiteral("Annunci trovati");
    if (unopened <= 0) return title;
    return title + QStringLiteral(" (%1 da aprire)").arg(unopened);
}

}  // namespace quintavia
