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

}  // namespace quintavia::platform
