#pragma once

#include <QString>

#include "settings/user_settings_store.h"

namespace quintavia {

// Keeps each application's values in <folder>/<app>/<app>.ini (see ini_document.h for the
// format). Every read looks at the file afresh, so a value edited by hand counts from the next
// read; every write replaces the whole file atomically, so a crash, a kill or a full disk
// leaves the previous file whole. A missing, unreadable or corrupt file reads as absent keys.
class IniFileStore final : public UserSettingsStore {
  public:
    explicit IniFileStore(QString folder);

    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& defaultValue) override;
    bool SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override;
    QString lastError() const override { return lastError_; }

    // Empty when the application name cannot be a file name.
    QString filePath(const QString& app) const;

  private:
    bool fail(const QString& error);

    QString folder_;
    QString lastError_;
};

}  // namespace quintavia
