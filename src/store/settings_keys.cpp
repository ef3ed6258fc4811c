#include "store/settings_keys.h"

#include <cstddef>

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
    return entries;
}

SettingsEntries ShutdownEntries(const Settings& settings) {
    SettingsEntries entries = ListingEntries(settings);
    entries.append({kSectionOptions, kKeyAutoPosition, TriStateText(settings.autoPosition)});
    entries.append({kSectionOptions, kKeyRegionText, settings.region});
    entries.append({kSectionOptions, kKeySoundAlert, TriStateText(settings.soundAlert)});
    entries.append({kSectionNotifications, kKeyDesktopNotifications,
                    settings.desktopNotifications ? QStringLiteral("1") : QStringLiteral("0")});
    return entries;
}

SettingsEntries ScrollEntries(const Settings& settings, int site) {
    if (!IsSiteIndex(site)) return {};
    const auto at = static_cast<std::size_t>(site);
    return {{kSectionScrollTop, SiteKey(site), settings.scrollTop[at]},
            {kSectionScrollLeft, SiteKey(site), settings.scrollLeft[at]}};
}

void ApplyEntries(IniDocument& doc, const SettingsEntries& entries) {
    for (const SettingsEntry& entry : entries) {
        if (IsIniName(entry.section) && IsIniName(entry.key))
            doc.setValue(entry.section, entry.key, entry.value);
    }
}

}  // namespace quintavia
