#pragma once

#include <QString>
#include <memory>

#include "shell/desktop/beep.h"

class QSoundEffect;

namespace quintavia {

// The program's one player of wave files, over QSoundEffect. A file that is missing, is no
// whole wave file or cannot be decoded sounds the default alert instead; a machine without an
// audio device plays nothing, and that is no failure.
// Plays in the background: never waits, ignores the outcome, and a new sound stops the one
// playing.
class QtSound final {
  public:
    explicit QtSound(Beep& fallback);
    ~QtSound();

    void play(const QString& path);
    // Whether the last sound asked for has loaded or failed: from then on it says nothing more
    // of it. An observation point for tests.
    bool settled() const;

  private:
    Beep& fallback_;
    // Made on the first sound: opening the audio system costs time that most runs never need.
    std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace quintavia
