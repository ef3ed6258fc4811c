#pragma once

namespace quintavia {

// Makes Qt's own texts Italian, as the program's are: Qt's translations from its installation
// (the line edits' and the dialogs' texts), and the browser engine's menus, for which Qt has no
// Italian of its own. Once the application object exists and before any window does: a page's
// menu takes its texts when it is first made.
void InstallItalianTranslations();

}  // namespace quintavia
