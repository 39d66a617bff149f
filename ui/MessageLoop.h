// The program's main message loop.
#pragma once

namespace bw::ui {

// Gets and dispatches messages, with every form's keyboard navigation (RouteDialogMessage),
// until WM_QUIT; returns the quit message's exit code (0 when getting a message failed).
int RunMessageLoop();

}  // namespace bw::ui
