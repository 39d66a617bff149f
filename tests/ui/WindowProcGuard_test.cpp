// The exception barrier: an exception thrown while a form or a control handles a message ends
// the program with the error's text, instead of unwinding through user32.
#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

#include "ui/Buttons.h"
#include "ui/Form.h"
#include "ui/WindowProcGuard.h"

namespace {

class ThrowingForm : public bw::ui::Form {
public:
    ThrowingForm() : Form("Barrier test", 200, 100) {}
    bw::ui::CommandButton Command1;

protected:
    void Build() override {
        Layout({{&Command1, nullptr, "Go", 5, 5, 60, 24}});
        // Runs in the button's own (subclassed) window procedure, not the form's.
        Command1.onMouseMove = [] { throw std::runtime_error("moved into a fault"); };
    }
    bool HandleMessage(UINT msg, WPARAM, LPARAM, LRESULT*) override {
        if (msg == WM_APP) throw 42;  // not even a std::exception
        return false;
    }
};

void ReportToStderr(const char* text) {
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
}

TEST(WindowProcGuardDeathTest, ExceptionInAFormOrAControlEndsTheProgramWithItsText) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            bw::ui::SetFatalErrorReport(ReportToStderr);
            ThrowingForm form;
            form.Load();
            SendMessageA(form.Command1.hwnd(), WM_MOUSEMOVE, 0, 0);
        },
        testing::ExitedWithCode(3), "moved into a fault");
    EXPECT_EXIT(
        {
            bw::ui::SetFatalErrorReport(ReportToStderr);
            ThrowingForm form;
            form.Load();
            SendMessageA(form.hwnd(), WM_APP, 0, 0);
        },
        testing::ExitedWithCode(3), "cannot recover");
}

}  // namespace
