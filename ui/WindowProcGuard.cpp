// The exception barrier of the toolkit's window procedures.
#include "ui/WindowProcGuard.h"

#include <string>

namespace bw::ui {

namespace {
void (*fatalReport)(const char* text) = nullptr;
}  // namespace

void SetFatalErrorReport(void (*report)(const char* text)) { fatalReport = report; }

void EndOnException(const char* what) noexcept {
    std::string text = "Brightwipe met an error it cannot recover from and will close.";
    if (what && *what) text += std::string("\n\n") + what;
    if (fatalReport)
        fatalReport(text.c_str());
    else
        MessageBoxA(nullptr, text.c_str(), "Brightwipe", MB_OK | MB_ICONSTOP | MB_TASKMODAL | MB_SETFOREGROUND);
    ExitProcess(3);
}

}  // namespace bw::ui
