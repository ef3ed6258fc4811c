#pragma once

#include <QByteArrayView>
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
    // V8 runs without its JIT, and so without WebAssembly: asked for, and not overridden by
    // the user's own --js-flags.
    bool hardened = false;
};

// An engine built on a Chromium older than this major version no longer gets its security
// fixes in any distribution we know of: it starts hardened. Years of V8 and renderer flaws are
// then open in it, most of them reached through the JIT or the GPU paths.
inline constexpr int kHardenedBelowChromiumMajor = 120;

// Whether an engine on this Chromium version ("102.0.5005.177") starts hardened; a version
// that cannot be read does too.
bool EngineNeedsHardening(QStringView chromiumVersion);

// The sites' language: what the pages are asked for in, first of all.
inline constexpr char kAcceptLanguage[] = "it-IT,it;q=0.9";

// The sandbox stays on for a normal user, whatever the environment says; as root, where the
// engine cannot sandbox its pages, it goes off with a warning. The engine's own log stays quiet
// unless the environment asks for its log. The engine speaks Italian (its error pages and the
// other texts of its own resources) unless the environment names another language. `flags` is
// QTWEBENGINE_CHROMIUM_FLAGS as inherited (empty when unset); the engine then reads its switches
// from there alone, none from the program's arguments. `harden` adds V8's --jitless unless the
// flags already name --js-flags, which then win.
EngineStart PlanEngineStart(bool root, bool sandboxDisabledByEnvironment, const QString& flags,
                            bool harden);

// Whether a message of Qt's logging is one of the notices the engine prints on every start
// (the sandbox switched off, its graphics set-up, a missing runtime folder) or a page's console
// message: neither tells the user of anything wrong with the program.
bool IsEngineNotice(QStringView category, QStringView message);

// Whether a line that a page's process writes to standard error is V8's word, at every start
// without its JIT, that WebAssembly went with it: the hardening as planned, nothing wrong.
bool IsHardeningNotice(QByteArrayView line);

}  // namespace quintavia
