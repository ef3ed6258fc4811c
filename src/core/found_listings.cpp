// Stand-in until the list's model lands.
#include "core/found_listings.h"

namespace quintavia {
namespace {
QList<FoundListing> rows;
}
void FoundListings::load(const QList<FoundListing>&) {}
void FoundListings::add(const QList<FoundListing>&, const QList<bool>&) {}
qsizetype FoundListings::size() const { return 0; }
const FoundListing& FoundListings::at(qsizetype) const { static FoundListing none; return none; }
bool FoundListings::unopened(qsizetype) const { return false; }
QList<qsizetype> FoundListings::shown(const QString&, bool) const { return {}; }
std::optional<QUrl> FoundListings::open(qsizetype) { return std::nullopt; }
void FoundListings::openedElsewhere(const QUrl&) {}
int FoundListings::unopenedCount() const { return 0; }
QString FoundListingsTitle(int) { return {}; }
}  // namespace quintavia
