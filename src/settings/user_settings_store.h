#pragma once

#include <QString>
#include <memory>

#include "settings/settings_store.h"

namespace quintavia {

// The store that outlives the program: the current user's settings.
class UserSettingsStore : public SettingsStore {
  public:
    // What the last failed write was trying to write and why it failed, for the user.
    virtual QString lastError() const = 0;
};

// On Windows, the user's registry area for application settings; elsewhere an INI file per
// application in the user's configuration folder ($XDG_CONFIG_HOME, else ~/.config).
std::unique_ptr<UserSettingsStore> OpenUserSettingsStore();

}  // namespace quintavia
