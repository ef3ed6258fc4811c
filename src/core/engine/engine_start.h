#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace quintavia {

// How the browser engine is to start, decided before it does from what the environment holds.
struct EngineStart {
    // QTWEBENGINE_DISABLE_SANDBOX is set to 1 when true, removed when false.
    bool disableSandbox = false;
    // What QTWEBENGINE_CHROMIUM_FLAGS is set to.
    QString chromiumFlags;
    // Lines for standard error, each whole.
    QStringList notices;
};

// The sites' language: what the pages are asked for in, first of all.
inline constexpr char kAcceptLanguage[] = "it-IT,it;q=0.9";

// The sandbox stays on for a normal user, whatever the environment says; as root, where the
// engine cannot sandbox its pages, it goes off with a warning. The engine's own log stays quiet
// unless the environment asks for its log. The engine speaks Italian (its error pages and the
// other texts of its own resources) unless the environment names another language. `flags` is
// QTWEBENGINE_CHROMIUM_FLAGS as inherited (empty when unset); the engine then reads its switches
// from there alone, none from the program's arguments.
EngineStart PlanEngineStart(bool root, bool sandboxDisabledByEnvironment, const QString& flags);

// Whether a message of Qt's logging is one of the notices the engine prints on every start
// (the sandbox switched off, its graphics set-up, a missing runtime folder) or a page's console
// message: neither tells the user of anything wrong with the program.
bool IsEngineNotice(QStringView category, QStringView message);

}  // namespace quintavia
