#pragma once

#include "shell/beep.h"

namespace quintavia {

class QtBeep final : public Beep {
  public:
    void beep() override;
};

}  // namespace quintavia
