#include "core/listings/listing_news.h"

#include <QHash>
#include <QSet>
#include <algorithm>

#include "core/listings/listing_key.h"
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

// The listings of `listings` with a title, cut as every title is, each once by its key, with
// the link they are written and opened by.
struct Keyed {
    Listing listing;
    QString key;
    QString linkKey;  // the canonical link, as an earlier version knew the listing by
};

QList<Keyed> KeyedListings(const SiteRule& site, const QList<Listing>& listings, bool byTitle) {
    QList<Keyed> keyed;
    QSet<QString> keys;
    for (const Listing& listing : listings) {
        const QString title = CutTitle(listing.title);
        if (title.trimmed().isEmpty()) continue;
        Listing cut = listing;
        cut.title = title;
        const QString key = KeyOf(site, cut, byTitle).value;
        if (keys.contains(key)) continue;
        keys.insert(key);
        const bool linked = site.findBy != FindBy::Marker;
        cut.link = linked ? ListingLink(site, listing) : QUrl();
        const QString linkKey = linked && !listing.link.isEmpty()
                                    ? QString::fromLatin1(CanonicalLink(listing.link).toEncoded())
                                    : QString();
        keyed.append({std::move(cut), key, linkKey});
    }
    return keyed;
}

QString Folded(QStringView text) {
    QString folded = FoldText(text);
    folded.truncate(kFoldedUnitsKept);
    return folded;
}

// The most listings a load's marks are kept of: more than a page shows.
constexpr qsizetype kMaxListingsMarked = 100;

// A load whose listings are few cannot tell links that change from listings that do.
constexpr qsizetype kGuardListings = 3;

// Most of the load's listings are new, and nearly all of those the last load showed.
bool LinksChanged(const QList<Keyed>& keyed, const QList<qsizetype>& fresh,
                  const QStringList& lastTitles) {
    if (fresh.size() < kGuardListings || fresh.size() * 5 < keyed.size() * 4) return false;
    const QSet<QString> last(lastTitles.cbegin(), lastTitles.cend());
    qsizetype again = 0;
    for (const qsizetype k : fresh) again += last.contains(TitleMark(keyed[k].listing)) ? 1 : 0;
    return again * 10 >= fresh.size() * 9;
}

}  // namespace

ListingFilters FiltersFrom(const QString& include, const QString& exclude) {
    return {Phrases(include), Phrases(exclude)};
}

bool PassesFilters(const ListingFilters& filters, QStringView title, QStringView company,
                   QStringView place) {
    if (filters.include.isEmpty() && filters.exclude.isEmpty()) return true;
    // Each apart: a phrase does not run from the title into the company.
    const QStringList parts[] = {FoldedWords(title), FoldedWords(company), FoldedWords(place)};
    const auto held = [&](const QString& phrase) {
        for (const QStringList& words : parts)
            if (HoldsPhrase(words, phrase)) return true;
        return false;
    };
    for (const QString& phrase : filters.exclude)
        if (held(phrase)) return false;
    if (filters.include.isEmpty()) return true;
    for (const QString& phrase : filters.include)
        if (held(phrase)) return true;
    return false;
}

QString TitleMark(const Listing& listing) {
    return Folded(listing.title) + u'\n' + Folded(listing.company);
}

bool SameJob(const Announced& one, const Announced& other) {
    if (one.title != other.title) return false;
    const bool oneKnown = !one.company.isEmpty();
    const bool otherKnown = !other.company.isEmpty();
    if (oneKnown && otherKnown) return one.company == other.company;
    if (oneKnown != otherKnown) return one.place == other.place;
    return true;
}

News FindNews(ListingMemory& memory, const SiteRule& site, const QString& search,
              const QList<Listing>& listings, const QUrl& page, const ListingFilters& filters,
              const QDateTime& when) {
    News news;
    SeenKeys& seen = memory.sites[site.id];
    QList<Keyed> keyed = KeyedListings(site, listings, seen.byTitle);
    if (keyed.isEmpty()) return news;
    const bool learnOnly = seen.keys.isEmpty() || seen.search != search;
    if (seen.search != search) seen.search = search;

    QSet<QString> known;
    for (const QString& key : seen.keys) known.insert(key);
    const auto isKnown = [&](const Keyed& one) {
        return known.contains(one.key) || (!one.linkKey.isEmpty() && known.contains(one.linkKey));
    };
    QList<qsizetype> fresh;
    for (qsizetype k = 0; k < keyed.size(); ++k)
        if (!isKnown(keyed[k])) fresh.append(k);

    const QStringList lastBefore = seen.lastTitles;
    seen.lastTitles.clear();
    for (const Keyed& one : keyed) seen.lastTitles.append(TitleMark(one.listing));
    const bool lastChanged = seen.lastTitles != lastBefore;

    const bool tripped = !learnOnly && !seen.byTitle && site.findBy != FindBy::Marker &&
                         LinksChanged(keyed, fresh, lastBefore);
    if (tripped) {
        // What the site knew by its links says nothing of what it shows by title.
        seen.byTitle = true;
        seen.keys.clear();
        keyed = KeyedListings(site, listings, true);
        news.linksChange = QStringLiteral(
                               "i link di %1 cambiano a ogni caricamento: da ora i suoi annunci "
                               "sono riconosciuti dal titolo e dall'azienda")
                               .arg(site.name);
    }

    // The page's listings become the newest keys, in page order, the oldest going first.
    QSet<QString> shown;
    for (const Keyed& one : keyed) shown.insert(one.key);
    seen.keys.removeIf([&](const QString& key) { return shown.contains(key); });
    for (qsizetype i = keyed.size() - 1; i >= 0; --i) seen.keys.append(keyed[i].key);

    const QDateTime weekBefore = when.addDays(-kAnnouncedDays);
    for (const Keyed& one : keyed) {
        if (learnOnly || tripped || isKnown(one)) continue;
        const Listing& listing = one.listing;
        FoundListing found{
            .when = when,
            .siteId = site.id,
            .site = site.name,
            .title = listing.title,
            .link = listing.link,
            .page = page,
            .filtered = !PassesFilters(filters, listing.title, listing.company, listing.place),
            .company = listing.company,
            .place = listing.place,
            .published = listing.published,
            .key = one.key};
        if (!found.filtered) {
            const Announced job{
                Folded(found.title), site.id, site.name, when, Folded(found.company),
                Folded(found.place)};
            for (const Announced& earlier : memory.announced) {
                if (earlier.siteId != site.id && earlier.when >= weekBefore &&
                    SameJob(earlier, job)) {
                    found.alsoOn = earlier.site;
                    break;
                }
            }
            if (found.alsoOn.isEmpty() && !job.title.isEmpty()) memory.announced.append(job);
        }
        news.announced.append(!found.filtered && found.alsoOn.isEmpty());
        news.found.append(std::move(found));
    }
    KeepBounds(memory, when);
    news.memoryChanged = learnOnly || tripped || lastChanged || !news.found.isEmpty();
    return news;
}

void KeepBounds(ListingMemory& memory, const QDateTime& now) {
    for (SeenKeys& seen : memory.sites) {
        if (seen.keys.size() > kSeenKeysKept) seen.keys.remove(0, seen.keys.size() - kSeenKeysKept);
        qsizetype units = 0;
        qsizetype kept = seen.keys.size();
        while (kept > 0 && units + seen.keys[kept - 1].size() <= kSeenKeyUnitsKept)
            units += seen.keys[--kept].size();
        if (kept > 0) seen.keys.remove(0, kept);
        if (seen.lastTitles.size() > kMaxListingsMarked) seen.lastTitles.resize(kMaxListingsMarked);
    }
    for (Announced& job : memory.announced) {
        job.title.truncate(kFoldedUnitsKept);
        job.company.truncate(kFoldedUnitsKept);
        job.place.truncate(kFoldedUnitsKept);
    }
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
    // Two sites may share a name: an older line teaches each of them.
    QMultiHash<QString, const SiteRule*> byName;
    QHash<QString, const SiteRule*> byId;
    for (const SiteRule& site : sites) {
        byName.insert(site.name, &site);
        byId.insert(site.id, &site);
    }
    QHash<QString, QSet<QString>> known;
    const auto teach = [&](const QString& siteId, const QString& key) {
        if (key.isEmpty() || !memory.sites.contains(siteId)) return;
        SeenKeys& seen = memory.sites[siteId];
        auto keys = known.find(siteId);
        if (keys == known.end())
            keys = known.insert(siteId, QSet<QString>(seen.keys.cbegin(), seen.keys.cend()));
        if (keys->contains(key)) return;
        keys->insert(key);
        seen.keys.append(key);
        if (seen.keys.size() > kSeenKeysKept) seen.keys.removeFirst();
    };
    for (const FoundListing& listing : found) {
        if (!listing.siteId.isEmpty() && !listing.key.isEmpty()) {
            teach(listing.siteId, listing.key);
            continue;
        }
        const QList<const SiteRule*> named =
            listing.siteId.isEmpty() ? byName.values(listing.site)
                                     : QList<const SiteRule*>{byId.value(listing.siteId)};
        for (const SiteRule* site : named) {
            if (!site) continue;
            // The history holds a listing's own link where the site gives links, else the
            // page's.
            const Listing read{listing.title,
                               site->findBy != FindBy::Marker ? listing.address() : QUrl(),
                               listing.company};
            teach(site->id, KeyOf(*site, read, memory.sites.value(site->id).byTitle).value);
        }
    }
}

void ForgetSearch(ListingMemory& memory, const QString& siteId) {
    const auto it = memory.sites.find(siteId);
    if (it != memory.sites.end()) it->search.clear();
}

ListingMemory MergeMemories(const ListingMemory& onDisk, const ListingMemory& ours) {
    ListingMemory merged = ours;
    for (auto disk = onDisk.sites.cbegin(); disk != onDisk.sites.cend(); ++disk) {
        const auto mine = merged.sites.find(disk.key());
        if (mine == merged.sites.end()) {
            merged.sites.insert(disk.key(), disk.value());
            continue;
        }
        if (mine->search != disk->search) continue;
        const QSet<QString> known(mine->keys.cbegin(), mine->keys.cend());
        QStringList keys;
        for (const QString& key : disk->keys)
            if (!known.contains(key)) keys.append(key);
        mine->keys = keys + mine->keys;
    }
    for (const Announced& job : onDisk.announced)
        if (!merged.announced.contains(job)) merged.announced.append(job);
    std::stable_sort(merged.announced.begin(), merged.announced.end(),
                     [](const Announced& a, const Announced& b) { return a.when < b.when; });
    return merged;
}

}  // namespace quintavia
