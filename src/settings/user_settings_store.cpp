#include "settings/user_settings_store.h"

#ifdef Q_OS_WIN
#include <QSettings>

#include "settings/ini_document.h"
#else
#include <QStandardPaths>

#include "settings/ini_file_store.h"
#endif

namespace quintavia {

#ifdef Q_OS_WIN
namespace {

// HKEY_CURRENT_USER\Software\<app>\<section>, one string value per key.
class RegistryStore final : public UserSettingsStore {
  public:
    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& defaultValue) override {
        if (!IsName(app) || !IsName(section) || !IsName(key)) return defaultValue;
        QSettings settings(Root(app), QSettings::NativeFormat);
        const QVariant value = settings.value(section + u'/' + key);
        return value.isValid() ? value.toString() : defaultValue;
    }

    bool SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override {
        if (!IsName(app) || !IsName(section) || !IsName(key)) {
            lastError_ = QStringLiteral("cannot save %1 [%2] %3: not a registry key name")
                             .arg(app, section, key);
            return false;
        }
        QSettings settings(Root(app), QSettings::NativeFormat);
        settings.setValue(section + u'/' + key, value);
        settings.sync();
        if (settings.status() == QSettings::NoError) return true;
        lastError_ = QStringLiteral("cannot write %1\\%2: the registry refused the value")
                         .arg(Root(app), section);
        return false;
    }

    QString lastError() const override { return lastError_; }

  private:
    static QString Root(const QString& app) {
        return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + app;
    }
    static bool IsName(const QString& name) { return IsIniName(name) && !name.contains(u'/'); }

    QString lastError_;
};

}  // namespace

std::unique_ptr<UserSettingsStore> OpenUserSettingsStore() {
    return std::make_unique<RegistryStore>();
}

#else

std::unique_ptr<UserSettingsStore> OpenUserSettingsStore() {
    return std::make_unique<IniFileStore>(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

#endif

}  // namespace quintavia
