#pragma once

#include <QString>
#include <memory>

#include "shell/window/main_window.h"

class QWebEngineProfile;

namespace quintavia {

// The program's start, shared by main() and the tools that drive the real window: what the
// settings file holds and the sites the program knows (the built-in ones, with the user's
// sites file beside the settings file over them) are read, every warning goes to standard
// error, and the window starts up with them, not yet shown.
std::unique_ptr<MainWindow> StartProgram(SettingsFile& store, QWebEngineProfile& profile,
                                         Beep* beep = nullptr);

// The user's sites file beside the settings file at `settingsPath`.
QString SitesPathBeside(const QString& settingsPath);

}  // namespace quintavia
