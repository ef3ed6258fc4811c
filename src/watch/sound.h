#pragma once

#include <QString>

namespace quintavia {

// Plays a wave file in the background: never waits, ignores the outcome, and a new sound
// stops the one playing. A file that cannot be played gives the platform's default alert.
class Sound {
  public:
    virtual ~Sound() = default;
    virtual void play(const QString& path) = 0;
};

}  // namespace quintavia
