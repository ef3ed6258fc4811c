#pragma once

#include <QString>

namespace quintavia {

inline const QString kAppName = QStringLiteral("Quintavia");

// Persistent per-user text values addressed by application, section and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // The stored value, or defaultValue when the key is absent. A stored empty text is a value.
    virtual QString GetSetting(const QString& app, const QString& section, const QString& key,
                               const QString& defaultValue) = 0;
    // Creates what is needed and replaces any earlier value; false when the write failed.
    virtual bool SaveSetting(const QString& app, const QString& section, const QString& key,
                             const QString& value) = 0;
};

}  // namespace quintavia
