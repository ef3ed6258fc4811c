#pragma once

#include <QString>

// The few calls the program needs that Qt has no word for. Each does what the platform allows
// and nothing where it has no such thing.
namespace quintavia::platform {

// Makes a rename in `folder` outlive a crash of the system: empty, or the reason it could not.
// A filesystem that cannot sync a folder, and a platform without the call, count as done.
QString SyncFolder(const QString& folder);

// Whether the program runs with the system's full powers (root on Unix), where the browser
// engine cannot keep its pages in a sandbox.
bool RunningAsSuperUser();

// The system's words for why a file could not be read or written, in Italian where the system
// (or Qt, which passes them on) gave them in English; words it has no Italian for stay as given.
QString InItalian(const QString& systemText);
QString ErrorText(int error);  // errno's words, in Italian as above

}  // namespace quintavia::platform
