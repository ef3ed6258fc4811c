#pragma once

#include "shell/desktop/beep.h"

namespace support {

// Hears the program's alerts in place of the platform, counting them.
class CountingBeep final : public quintavia::Beep {
  public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

}  // namespace support
