#pragma once

#include <QString>
#include <memory>

class QWebEngineProfile;

namespace quintavia {

class FileLock;

// The browser engine's profile for the panes and the windows they open, as a browser keeps
// one: cookies, local storage and the sites' HTTPS-only promises survive restarts (a consent
// banner accepted once stays accepted). Its data lives under the program's data folder
// ($XDG_DATA_HOME/Quintavia/Quintavia/QtWebEngine/Quintavia), its disk cache, capped, under
// its cache folder. One run at a time holds it: a second instance falls back to a profile kept
// in memory, and notice() says so. Made once the application object exists and has its names
// (the engine starts with it); it must outlive every page.
class EngineProfile final {
  public:
    static constexpr const char* kName = "Quintavia";
    static constexpr qint64 kCacheBytes = 50LL * 1024 * 1024;

    EngineProfile();
    ~EngineProfile();
    EngineProfile(const EngineProfile&) = delete;
    EngineProfile& operator=(const EngineProfile&) = delete;

    QWebEngineProfile& profile() { return *profile_; }
    // One line for standard error when the profile is the fallback; empty otherwise.
    const QString& notice() const { return notice_; }

    // Where the data of the profile is kept.
    static QString storagePath();

  private:
    std::unique_ptr<FileLock> lock_;
    std::unique_ptr<QWebEngineProfile> profile_;
    QString notice_;
};

// What every page of the program's profiles may do and send: no WebGL, no plugins, media waits
// for a user gesture (a page's own sound is never taken for the program's alert), no
// navigation by dropping a file, local content reads neither local files nor remote addresses,
// unknown schemes are never handed to a desktop program, no full screen, and a script reaches
// the clipboard only on the user's click (a copy that the click asks for goes through, as in
// any browser) and never pastes; Italian first in the language asked of sites; every download
// refused, its partial file kept in a folder of ours, never the user's; advertisements,
// trackers and malware addresses stopped (RequestBlocker).
// An engine as old as ours also runs without accelerated 2D canvas and without the PDF viewer,
// two large parts of the engine that a page reaches without asking.
void GuardProfile(QWebEngineProfile& profile);

// Whether the engine this program runs on is old enough to be hardened.
bool EngineNeedsHardening();

// Starts the browser engine, once in a run, before the first profile of ours. The processes
// that run the pages descend from one the engine forks as it starts; that one gets a standard
// error of its own, copied to the program's but for V8's line on the hardening, which every
// page process would otherwise print on a normal run.
void StartEngine();

}  // namespace quintavia
