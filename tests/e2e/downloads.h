#pragma once

#include <QObject>
#include <array>

#include "app/form1.h"

namespace quintavia::e2e {

// Counts each pane's finished downloads as the window hears of them.
class DownloadCounter {
  public:
    explicit DownloadCounter(Form1& form) {
        for (int i = 0; i < kSiteCount; ++i) {
            QObject::connect(form.pane(i), &WebPane::downloadComplete, &context_,
                             [this](int site) { ++counts_[static_cast<std::size_t>(site)]; });
        }
    }
    int count(int site) const { return counts_[static_cast<std::size_t>(site)]; }
    bool eachAtLeast(int n) const {
        for (int c : counts_)
            if (c < n) return false;
        return true;
    }

  private:
    QObject context_;
    std::array<int, kSiteCount> counts_{};
};

}  // namespace quintavia::e2e
