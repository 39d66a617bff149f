// The program's main window as the start-up, tray and options windows see it. The program
// names it once at start; until then (and in tests that leave it unset) there is none.
#pragma once
#include <functional>

#include "ui/Form.h"

namespace bw::shell {

// The accessor of the main window object (created on first use, not loaded by asking).
std::function<ui::Form&()>& MainWindowAccessor();

// The main window, or null when the program has not named one.
ui::Form* MainWindow();

}  // namespace bw::shell
