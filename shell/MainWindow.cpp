// Where the shell windows find the main window.
#include "shell/MainWindow.h"

namespace bw::shell {

std::function<ui::Form&()>& MainWindowAccessor() {
    static std::function<ui::Form&()> accessor;
    return accessor;
}

ui::Form* MainWindow() {
    auto& accessor = MainWindowAccessor();
    return accessor ? &accessor() : nullptr;
}

}  // namespace bw::shell
