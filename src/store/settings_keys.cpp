#include "store/settings_keys.h"

#include <cstddef>

#include "core/sites/site_rules.h"
#include "core/watch/site_pace.h"

namespace quintavia {
namespace {

// More panes than any grid holds are never read: a hand-edited number must not size a list.
constexpr int kMostPanesKept = 100;

QString PaneKey(int pane) {
    return QString::number(pane);
}

TriState TriStateOr(const std::optional<QString>& text, TriState fallback) {
    if (!text) return fallback;
    return TriStateFromText(*text).value_or(fallback);
}

// Anything but "0" or "1" (blanks around allowed) leaves the default.
bool FlagOr(const std::optional<QString>& text, bool fallback) {
    if (!text) return fallback;
    const QString value = text->trimmed();
    if (value == u"0") return false;
    if (value == u"1") return true;
    return fallback;
}

}  // namespace

Kept ReadKept(const IniDocument& doc) {
    Kept kept;
    Options& options = kept.options;
    const QList<SiteRule>& defaults = DefaultRules();
    for (int i = 0; i < defaults.size(); ++i) {
        const QString key = PaneKey(i);
        SiteKept& site = kept.sites[defaults[i].id];
        site.lastListing = doc.value(kSectionLastListing, key).value_or(site.lastListing);
        site.scrollTop = doc.value(kSectionScrollTop, key).value_or(site.scrollTop);
        site.scrollLeft = doc.value(kSectionScrollLeft, key).value_or(site.scrollLeft);
    }
    options.autoPosition =
        TriStateOr(doc.value(kSectionOptions, kKeyAutoPosition), options.autoPosition);
    options.region = doc.value(kSectionOptions, kKeyRegionText).value_or(options.region);
    options.soundAlert = TriStateOr(doc.value(kSectionOptions, kKeySoundAlert), options.soundAlert);
    // The panes' sites in order of their numbers: a number left out keeps its pane's default.
    for (const QString& key : doc.keys(kSectionPaneSites)) {
        bool isNumber = false;
        const int pane = key.toInt(&isNumber);
        if (!isNumber || pane < 0 || pane >= kMostPanesKept || key != PaneKey(pane)) continue;
        if (options.paneSites.size() <= pane) options.paneSites.resize(pane + 1);
        options.paneSites[pane] = doc.value(kSectionPaneSites, key).value_or(QString()).trimmed();
    }
    options.keywords = doc.value(kSectionSearch, kKeyKeywords).value_or(QString());
    options.includeWords = doc.value(kSectionFilters, kKeyIncludeWords).value_or(QString());
    options.excludeWords = doc.value(kSectionFilters, kKeyExcludeWords).value_or(QString());
    // A default site's id among the others' sections is no other site: its place is above.
    const auto others = [&](const QString& section) {
        QStringList ids = doc.keys(section);
        ids.removeIf([](const QString& id) { return DefaultPane(id) >= 0; });
        return ids;
    };
    for (const QString& id : others(kSectionSiteTitles))
        kept.sites[id].lastListing = *doc.value(kSectionSiteTitles, id);
    for (const QString& id : others(kSectionSiteScrollTop))
        kept.sites[id].scrollTop = *doc.value(kSectionSiteScrollTop, id);
    for (const QString& id : others(kSectionSiteScrollLeft))
        kept.sites[id].scrollLeft = *doc.value(kSectionSiteScrollLeft, id);
    options.desktopNotifications = FlagOr(
        doc.value(kSectionNotifications, kKeyDesktopNotifications), options.desktopNotifications);
    // An interval that is not one of the choices is the default.
    for (const QString& id : doc.keys(kSectionIntervals)) {
        bool isNumber = false;
        const int minutes =
            doc.value(kSectionIntervals, id).value_or(QString()).trimmed().toInt(&isNumber);
        if (isNumber && IsPaceChoice(minutes)) options.intervals.insert(id, minutes);
    }
    bool isNumber = false;
    const int panes =
        doc.value(kSectionGrid, kKeyPaneCount).value_or(QString()).trimmed().toInt(&isNumber);
    if (isNumber && IsGridChoice(panes)) options.paneCount = panes;
    return kept;
}

SettingsEntries ListingEntries(const Kept& kept) {
    SettingsEntries entries;
    const QList<SiteRule>& defaults = DefaultRules();
    for (int i = 0; i < defaults.size(); ++i)
        entries.append({kSectionLastListing, PaneKey(i), kept.site(defaults[i].id).lastListing});
    for (auto site = kept.sites.cbegin(); site != kept.sites.cend(); ++site) {
        if (DefaultPane(site.key()) >= 0) continue;
        entries.append({kSectionSiteTitles, site.key(), site->lastListing, true});
    }
    return entries;
}

SettingsEntries ShutdownEntries(const Kept& kept) {
    const Options& options = kept.options;
    SettingsEntries entries = ListingEntries(kept);
    entries.append({kSectionOptions, kKeyAutoPosition, TriStateText(options.autoPosition)});
    entries.append({kSectionOptions, kKeyRegionText, options.region});
    entries.append({kSectionOptions, kKeySoundAlert, TriStateText(options.soundAlert)});
    return entries + ChoicesEntries(options);
}

SettingsEntries ChoicesEntries(const Options& options) {
    SettingsEntries entries;
    entries.append({kSectionNotifications, kKeyDesktopNotifications,
                    options.desktopNotifications ? QStringLiteral("1") : QStringLiteral("0")});
    for (int i = 0; i < options.paneSites.size(); ++i)
        entries.append({kSectionPaneSites, PaneKey(i), options.paneSites[i], true});
    entries.append({kSectionSearch, kKeyKeywords, options.keywords, true});
    entries.append({kSectionFilters, kKeyIncludeWords, options.includeWords, true});
    entries.append({kSectionFilters, kKeyExcludeWords, options.excludeWords, true});
    for (auto site = options.intervals.cbegin(); site != options.intervals.cend(); ++site)
        entries.append({kSectionIntervals, site.key(), QString::number(*site)});
    entries.append(
        {kSectionGrid, kKeyPaneCount,
         options.paneCount == kPaneCount ? QString() : QString::number(options.paneCount), true});
    return entries;
}

SettingsEntries ScrollEntries(const Kept& kept, int defaultPane) {
    const QList<SiteRule>& defaults = DefaultRules();
    if (defaultPane < 0 || defaultPane >= defaults.size()) return {};
    const SiteKept site = kept.site(defaults[defaultPane].id);
    return {{kSectionScrollTop, PaneKey(defaultPane), site.scrollTop},
            {kSectionScrollLeft, PaneKey(defaultPane), site.scrollLeft}};
}

SettingsEntries ScrollEntriesFor(const Kept& kept, const QString& siteId) {
    if (const int pane = DefaultPane(siteId); pane >= 0) return ScrollEntries(kept, pane);
    const SiteKept site = kept.site(siteId);
    return {{kSectionSiteScrollTop, siteId, site.scrollTop},
            {kSectionSiteScrollLeft, siteId, site.scrollLeft}};
}

void ApplyEntries(IniDocument& doc, const SettingsEntries& entries) {
    for (const SettingsEntry& entry : entries) {
        if (!IsIniName(entry.section) || !IsIniName(entry.key)) continue;
        if (entry.onlyIfSet && entry.value.isEmpty() && !doc.value(entry.section, entry.key))
            continue;
        doc.setValue(entry.section, entry.key, entry.value);
    }
}

}  // namespace quintavia
