#pragma once

#include "shell/desktop/beep.h"

namespace quintavia {

class QtBeep final : public Beep {
  public:
    void beep() override;
};

}  // namespace quintavia
