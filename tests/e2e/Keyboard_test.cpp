// Brightwipe without a mouse: every window opened from the main window by Tab or an access key,
// closed again with Esc, and the keyboard back on the main window afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/Driver.h"

using namespace bw::test;

namespace {

// Presses `key` as the keyboard would, with Alt held when `alt`.
void Press(WORD key, bool alt = false) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    };
    if (alt) add(VK_MENU, false);
    add(key, false);
    add(key, true);
    if (alt) add(VK_MENU, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(60);
}

GUITHREADINFO ThreadState(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

// Tabs through `main` until `target` has the keyboard; false after a full round without it.
bool TabTo(HWND main, HWND target) {
    for (int i = 0; i < 80; ++i) {
        if (ThreadState(main).hwndFocus == target) return true;
        Press(VK_TAB);
    }
    return false;
}

// The n-th (from 0) descendant of `parent` of class `cls` whose text is `text`.
HWND NthChild(HWND parent, const std::string& cls, const std::string& text, int n) {
    for (HWND h : Descendants(parent))
        if (ClassOf(h) == cls && WindowText(h) == text && n-- == 0) return h;
    return nullptr;
}

struct Row {
    const char* way;    // how the user gets there
    const char* title;  // the window that opens
    std::function<bool(HWND main)> open;
};

TEST(Keyboard, EveryWindowOpensByKeyClosesByEscAndGivesTheKeyboardBack) {
    TempDir folder;
    ASSERT_TRUE(InstallProgram(folder.path()));
    Program program(folder.path());
    ASSERT_TRUE(program.started());
    HWND main = WaitForTopWindow(program.pid(), "BrightwipeForm", "Brightwipe V2.60", 20000);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ThreadState(main).hwndActive == main; }, 10000)) << "the main window is not active";

    auto alt = [](WORD letter) { return [letter](HWND) { Press(letter, true); return true; }; };
    auto tabThenSpace = [](const char* cls, const char* text, int n) {
        return [=](HWND main) {
            HWND target = NthChild(main, cls, text, n);
            if (!target || !TabTo(main, target)) return false;
            Press(VK_SPACE);
            return true;
        };
    };
    // The navigation label under its picture (the picture, of the same caption, comes first).
    auto tabThenEnter = [](const char* cls, const char* text) {
        return [=](HWND main) {
            HWND target = NthChild(main, cls, text, 1);
            if (!target || !TabTo(main, target)) return false;
            Press(VK_RETURN);
            return true;
        };
    };
    const Row rows[] = {
        {"Alt+O", "Erase Options", alt('O')},
        {"Alt+B", "About", alt('B')},
        {"Alt+F", "Search & Erase", alt('F')},
        {"Alt+M", "More Applications", alt('M')},
        {"Alt+E", "Brightwipe", alt('E')},
        {"Tab to ERASE NOW, Enter", "Brightwipe", tabThenEnter("Static", "ERASE NOW")},
        {"Tab to Erase Options, Enter", "Erase Options", tabThenEnter("Static", "Erase Options")},
        {"Tab to IE Location Bar History's Options, Space", "URL Drop-List Options", tabThenSpace("Button", "Options", 0)},
        {"Tab to IE Cookies' Options, Space", "Cookies Options", tabThenSpace("Button", "Options", 1)},
        {"Tab to Netscape's Options, Space", "Netscape Navigator", tabThenSpace("Button", "Options", 2)},
        {"Tab to MS-Office's Options, Space", "MS Office", tabThenSpace("Button", "Options", 5)},
        {"Tab to More Applications, Space", "More Applications", tabThenSpace("Static", "More Applications", 0)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.way);
        ASSERT_TRUE(row.open(main)) << "not reachable by the keyboard";
        HWND window = WaitForTopWindow(program.pid(), "BrightwipeForm", row.title, 10000);
        ASSERT_NE(window, nullptr) << row.title << " did not open";
        EXPECT_TRUE(WaitFor([&] { return ThreadState(window).hwndActive == window; }, 5000)) << "not active";
        if (std::string(row.title) == "Search & Erase") {
            // Its menu bar answers Alt and the underlined letter.
            Press('F', true);
            EXPECT_TRUE(WaitFor([&] { return ThreadState(window).flags & GUI_INMENUMODE; }, 5000))
                << "Alt+F did not open the File menu";
            Press(VK_ESCAPE);
            Press(VK_ESCAPE);
            WaitFor([&] { return !(ThreadState(window).flags & GUI_INMENUMODE); }, 5000);
        }
        Press(VK_ESCAPE);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, 5000)) << "Esc left it open";
        EXPECT_TRUE(WaitFor([&] { return ThreadState(main).hwndActive == main; }, 5000))
            << "the keyboard did not come back to the main window";
        if (IsWindow(window) && IsWindowVisible(window)) PostMessageA(window, WM_CLOSE, 0, 0);
    }

    // Esc on the main window itself does not end the program; Alt+X does.
    Press(VK_ESCAPE);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(main));
    Press('X', true);
    EXPECT_TRUE(program.WaitForExit(15000)) << "Alt+X did not end the program";
}

}  // namespace
