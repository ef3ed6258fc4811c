#include "store/settings_keys.h"

#include <cstddef>

#include "core/sites/site_rules.h"

namespace quintavia {
namespace {

QString SiteKey(int site) {
    return QString::number(site);
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

Settings ReadSettings(const IniDocument& doc) {
    Settings settings;
    for (int i = 0; i < kSiteCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const QString key = SiteKey(i);
        settings.lastListing[at] =
            doc.value(kSectionLastListing, key).value_or(settings.lastListing[at]);
        settings.scrollTop[at] = doc.value(kSectionScrollTop, key).value_or(settings.scrollTop[at]);
        settings.scrollLeft[at] =
            doc.value(kSectionScrollLeft, key).value_or(settings.scrollLeft[at]);
    }
    settings.autoPosition =
        TriStateOr(doc.value(kSectionOptions, kKeyAutoPosition), settings.autoPosition);
    settings.region = doc.value(kSectionOptions, kKeyRegionText).value_or(settings.region);
    settings.soundAlert =
        TriStateOr(doc.value(kSectionOptions, kKeySoundAlert), settings.soundAlert);
    for (int i = 0; i < kSiteCount; ++i) {
        settings.paneSites[static_cast<std::size_t>(i)] =
            doc.value(kSectionPaneSites, SiteKey(i)).value_or(QString()).trimmed();
    }
    settings.keywords = doc.value(kSectionSearch, kKeyKeywords).value_or(QString());
    settings.includeWords = doc.value(kSectionFilters, kKeyIncludeWords).value_or(QString());
    settings.excludeWords = doc.value(kSectionFilters, kKeyExcludeWords).value_or(QString());
    for (const QString& id : doc.keys(kSectionSiteTitles))
        settings.otherSites[id].lastListing = *doc.value(kSectionSiteTitles, id);
    for (const QString& id : doc.keys(kSectionSiteScrollTop))
        settings.otherSites[id].scrollTop = *doc.value(kSectionSiteScrollTop, id);
    for (const QString& id : doc.keys(kSectionSiteScrollLeft))
        settings.otherSites[id].scrollLeft = *doc.value(kSectionSiteScrollLeft, id);
    settings.desktopNotifications = FlagOr(
        doc.value(kSectionNotifications, kKeyDesktopNotifications), settings.desktopNotifications);
    return settings;
}

SettingsEntries ListingEntries(const Settings& settings) {
    SettingsEntries entries;
    for (int i = 0; i < kSiteCount; ++i) {
        entries.append(
            {kSectionLastListing, SiteKey(i), settings.lastListing[static_cast<std::size_t>(i)]});
    }
    for (auto site = settings.otherSites.cbegin(); site != settings.otherSites.cend(); ++site)
        entries.append({kSectionSiteTitles, site.key(), site->lastListing, true});
    return entries;
}

SettingsEntries ShutdownEntries(const Settings& settings) {
    SettingsEntries entries = ListingEntries(settings);
    entries.append({kSectionOptions, kKeyAutoPosition, TriStateText(settings.autoPosition)});
    entries.append({kSectionOptions, kKeyRegionText, settings.region});
    entries.append({kSectionOptions, kKeySoundAlert, TriStateText(settings.soundAlert)});
    return entries + ChoicesEntries(settings);
}

SettingsEntries ChoicesEntries(const Settings& settings) {
    SettingsEntries entries;
    entries.append({kSectionNotifications, kKeyDesktopNotifications,
                    settings.desktopNotifications ? QStringLiteral("1") : QStringLiteral("0")});
    for (int i = 0; i < kSiteCount; ++i) {
        entries.append(
            {kSectionPaneSites, SiteKey(i), settings.paneSites[static_cast<std::size_t>(i)], true});
    }
    entries.append({kSectionSearch, kKeyKeywords, settings.keywords, true});
    entries.append({kSectionFilters, kKeyIncludeWords, settings.includeWords, true});
    entries.append({kSectionFilters, kKeyExcludeWords, settings.excludeWords, true});
    return entries;
}

SettingsEntries ScrollEntries(const Settings& settings, int site) {
    if (!IsSiteIndex(site)) return {};
    const auto at = static_cast<std::size_t>(site);
    return {{kSectionScrollTop, SiteKey(site), settings.scrollTop[at]},
            {kSectionScrollLeft, SiteKey(site), settings.scrollLeft[at]}};
}

SettingsEntries ScrollEntriesFor(const Settings& settings, const QString& siteId) {
    if (const int pane = DefaultPane(siteId); pane >= 0) return ScrollEntries(settings, pane);
    const SiteMemory kept = settings.otherSites.value(siteId);
    return {{kSectionSiteScrollTop, siteId, kept.scrollTop},
            {kSectionSiteScrollLeft, siteId, kept.scrollLeft}};
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
