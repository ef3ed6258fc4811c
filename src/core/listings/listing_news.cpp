#include "core/listings/listing_news.h"

#include <QHash>
#include <QSet>

#include "core/listings/listing.h"
#include "core/text/text_fold.h"

namespace quintavia {
namespace {

QStringList Phrases(const QString& text) {
    QStringList phrases;
    for (const QString& part : text.split(u',')) {
        const QString folded = FoldText(part);
        if (!folded.isEmpty()) phrases.append(folded);
    }
    return phrases;
}

}  // namespace

QString KeyOf(const SiteRule& site, const QString& title, const QUrl& link) {
    if (site.findBy != FindBy::Marker && !link.isEmpty())
        return QString::fromLatin1(link.toEncoded());
    return CutTitle(title);
}

namespace {

// The listings of `listings` with a title, cut as every title is, each once by its key.
struct Keyed {
    Listing listing;
    QString key;
};

QList<Keyed> KeyedListings(const SiteRule& site, const QList<Listing>& listings) {
    QList<Keyed> keyed;
    QSet<QString> keys;
    for (const Listing& listing : listings) {
        const QString title = CutTitle(listing.title);
        if (title.trimmed().isEmpty()) continue;
        const QString key = KeyOf(site, title, listing.link);
        if (keys.contains(key)) continue;
        keys.insert(key);
        const bool linked = site.findBy != FindBy::Marker;
        keyed.append({{title, linked ? listing.link : QUrl()}, key});
    }
    return keyed;
}

}  // namespace

ListingFilters FiltersFrom(const QString& include, const QString& exclude) {
    return {Phrases(include), Phrases(exclude)};
}

bool PassesFilters(const ListingFilters& filters, QStringView title) {
    if (filters.include.isEmpty() && filters.exclude.isEmpty()) return true;
    const QStringList words = FoldedWords(title);
    for (const QString& phrase : filters.exclude)
        if (HoldsPhrase(words, phrase)) return false;
    if (filters.include.isEmpty()) return true;
    for (const QString& phrase : filters.include)
        if (HoldsPhrase(words, phrase)) return true;
    return false;
}

News FindNews(ListingMemory& memory, const SiteRule& site, const QString& search,
              const QList<Listing>& listings, const QUrl& page, const ListingFilters& filters,
              const QDateTime& when) {
    News news;
    const QList<Keyed> keyed = KeyedListings(site, listings);
    if (keyed.isEmpty()) return news;
    SeenKeys& seen = memory.sites[site.id];
    const bool learnOnly = seen.keys.isEmpty() || seen.search != search;
    if (seen.search != search) seen.search = search;

    // The page's listings become the newest keys, in page order, the oldest going first.
    QSet<QString> shown;
    for (const Keyed& one : keyed) shown.insert(one.key);
    QSet<QString> known;
    for (const QString& key : seen.keys) known.insert(key);
    seen.keys.removeIf([&](const QString& key) { return shown.contains(key); });
    for (qsizetype i = keyed.size() - 1; i >= 0; --i) seen.keys.append(keyed[i].key);

    const QDateTime weekBefore = when.addDays(-kAnnouncedDays);
    for (const Keyed& one : keyed) {
        if (learnOnly || known.contains(one.key)) continue;
        FoundListing found{.when = when,
                           .siteId = site.id,
                           .site = site.name,
                           .title = one.listing.title,
                           .link = one.listing.link,
                           .page = page,
                           .filtered = !PassesFilters(filters, one.listing.title)};
        if (!found.filtered) {
            const QString folded = FoldText(found.title);
            for (const Announced& earlier : memory.announced) {
                if (earlier.title == folded && earlier.siteId != site.id &&
                    earlier.when >= weekBefore) {
                    found.alsoOn = earlier.site;
                    break;
                }
            }
            if (found.alsoOn.isEmpty() && !folded.isEmpty())
                memory.announced.append({folded, site.id, site.name, when});
        }
        news.announced.append(!found.filtered && found.alsoOn.isEmpty());
        news.found.append(std::move(found));
    }
    KeepBounds(memory, when);
    news.memoryChanged = learnOnly || !news.found.isEmpty();
    return news;
}

void KeepBounds(ListingMemory& memory, const QDateTime& now) {
    for (SeenKeys& seen : memory.sites)
        if (seen.keys.size() > kSeenKeysKept) seen.keys.remove(0, seen.keys.size() - kSeenKeysKept);
    if (now.isValid()) {
        const QDateTime oldestKept = now.addDays(-kAnnouncedDays);
        memory.announced.removeIf(
            [&](const Announced& job) { return !job.when.isValid() || job.when < oldestKept; });
    }
    if (memory.announced.size() > kAnnouncedKept)
        memory.announced.remove(0, memory.announced.size() - kAnnouncedKept);
}

void LearnFromHistory(ListingMemory& memory, const QList<SiteRule>& sites,
                      const QList<FoundListing>& found) {
    QHash<QString, const SiteRule*> byName;
    for (const SiteRule& site : sites) byName.insert(site.name, &site);
    QHash<QString, QSet<QString>> known;
    for (const FoundListing& listing : found) {
        const SiteRule* site = byName.value(listing.site);
        if (!site || !memory.sites.contains(site->id)) continue;
        SeenKeys& seen = memory.sites[site->id];
        auto keys = known.find(site->id);
        if (keys == known.end())
            keys = known.insert(site->id, QSet<QString>(seen.keys.cbegin(), seen.keys.cend()));
        // The history holds a listing's own link where the site gives links, else the page's.
        const QString key = KeyOf(*site, listing.title, listing.address());
        if (key.isEmpty() || keys->contains(key)) continue;
        keys->insert(key);
        seen.keys.append(key);
        if (seen.keys.size() > kSeenKeysKept) seen.keys.removeFirst();
    }
}

void ForgetSearch(ListingMemory& memory, const QString& siteId) {
    const auto it = memory.sites.find(siteId);
    if (it != memory.sites.end()) it->search.clear();
}

}  // namespace quintavia
