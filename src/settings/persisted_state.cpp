#include "settings/persisted_state.h"

#include <QLocale>

#include "settings/settings_keys.h"

namespace quintavia {

std::optional<qint16> CheckValueFromText(const QString& text) {
    bool ok = false;
    const short value = QLocale::system().toShort(text, &ok);
    if (!ok) return std::nullopt;
    return value;
}

QString CheckValueToText(int value) {
    return QString::number(value);
}

void RestorePersistedState(SettingsStore* store, WindowControls& controls,
                           std::array<QString, kSiteCount>& lastListing) {
    if (!store) return;
    for (int i = 0; i < kSiteCount; ++i) {
        lastListing[static_cast<std::size_t>(i)] =
            store->GetSetting(kAppName, kSectionLastListing, QString::number(i), QString());
    }
    const auto restoreCheck = [&](CheckBox box, const QString& key) {
        const auto value = CheckValueFromText(
            store->GetSetting(kAppName, kSectionOptions, key, CheckValueToText(kUnticked)));
        if (value) controls.setCheckValue(box, *value);
    };
    restoreCheck(CheckBox::Check1, kKeyAutoPosition);
    controls.setRegionText(
        store->GetSetting(kAppName, kSectionOptions, kKeyRegionText, kDefaultRegionText));
    restoreCheck(CheckBox::Check2, kKeySoundAlert);
}

bool PersistState(SettingsStore* store, const WindowControls& controls,
                  const std::array<QString, kSiteCount>& lastListing) {
    if (!store) return false;
    for (int i = 0; i < kSiteCount; ++i) {
        if (!store->SaveSetting(kAppName, kSectionLastListing, QString::number(i),
                                lastListing[static_cast<std::size_t>(i)]))
            return false;
    }
    return store->SaveSetting(kAppName, kSectionOptions, kKeyAutoPosition,
                              CheckValueToText(controls.checkValue(CheckBox::Check1))) &&
           store->SaveSetting(kAppName, kSectionOptions, kKeyRegionText, controls.regionText()) &&
           store->SaveSetting(kAppName, kSectionOptions, kKeySoundAlert,
                              CheckValueToText(controls.checkValue(CheckBox::Check2)));
}

}  // namespace quintavia
