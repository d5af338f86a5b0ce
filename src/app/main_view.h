#pragma once
// The controls of the main window that the logic touches, by name. The Qt
// binding fills this table with its widgets; tests fill it with fakes. A
// control left null is one this build of the window does not have yet.
#include "controls.h"

#include <array>
#include <vector>

namespace kavrin {

struct MainView {
    // Status bar "barra": panels 1 to 5 (index 0 to 4) hold the link counters.
    std::array<Control*, 5> counterPanels{};
    ConnectionPanel* connection = nullptr;
    MessageBoxes* messages = nullptr;
    // "Comm" menu: one item per serial port (mncom 1..n at index 0..n-1).
    std::vector<CheckControl*> mncom;
    // "Data Format" menu entries (mnMode 0 and 1).
    std::array<CheckControl*, 2> mnMode{};
};

} // namespace kavrin
