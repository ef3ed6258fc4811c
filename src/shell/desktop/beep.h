#pragma once

namespace quintavia {

// The platform's standard alert sound.
class Beep {
  public:
    virtual ~Beep() = default;
    virtual void beep() = 0;
};

}  // namespace quintavia
