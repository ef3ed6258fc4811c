#pragma once

namespace quintavia {

// The panes of the design's grid, two by two, each showing one site. Everything kept per pane
// is sized from the count a window is made with, so a grid of another size is one value.
inline constexpr int kPaneCount = 4;

constexpr bool IsPaneIndex(int pane, int paneCount) {
    return pane >= 0 && pane < paneCount;
}

// The grids the user chooses among, by their number of panes: two by two, three by two and
// three by three.
inline constexpr int kGridChoices[] = {4, 6, 9};

constexpr bool IsGridChoice(int paneCount) {
    for (const int choice : kGridChoices)
        if (choice == paneCount) return true;
    return false;
}

}  // namespace quintavia
