// The control panel keystroke module against a panel of its own: keys reach only the page it
// verified and that page's own dialogs, and nothing when the page or the process is wrong.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/ControlPanel.h"
#include "platform/Keystrokes.h"

namespace {

// A stand-in for an Internet Options panel, run by a thread of this process: a "General" page
// whose "&Current page" button must never be pressed, and a "Content" page whose
// "A&utoComplete..." opens settings with "&Clear Forms", which asks for confirmation.
namespace fakepanel {

std::atomic<bool> currentPressed{false}, formsCleared{false}, closed{false};

// Builds an in-memory dialog template of push buttons.
class Template {
public:
    Template(DWORD style, const wchar_t* caption, int cx, int cy, int buttons) {
        Dword(style);
        Dword(0);
        words_.push_back(static_cast<WORD>(buttons));
        for (int v : {0, 0, cx, cy}) words_.push_back(static_cast<WORD>(v));
        words_.push_back(0);  // no menu
        words_.push_back(0);  // standard class
        String(caption);
    }
    void Button(int id, const wchar_t* text, int y, DWORD extra = BS_PUSHBUTTON) {
        if (words_.size() % 2) words_.push_back(0);
        Dword(WS_CHILD | WS_VISIBLE | WS_TABSTOP | extra);
        Dword(0);
        for (int v : {10, y, 120, 14}) words_.push_back(static_cast<WORD>(v));
        words_.push_back(static_cast<WORD>(id));
        words_.push_back(0xFFFF);
        words_.push_back(0x0080);  // BUTTON
        String(text);
        words_.push_back(0);
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Dword(DWORD v) {
        words_.push_back(LOWORD(v));
        words_.push_back(HIWORD(v));
    }
    void String(const wchar_t* text) {
        while (*text) words_.push_back(static_cast<WORD>(*text++));
        words_.push_back(0);
    }
    std::vector<WORD> words_;
};

INT_PTR CALLBACK SettingsProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg != WM_COMMAND) return FALSE;
    if (LOWORD(wp) == 200 && MessageBoxW(hwnd, L"Clear forms?", L"AutoComplete", MB_OKCANCEL) == IDOK)
        formsCleared = true;
    if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) EndDialog(hwnd, LOWORD(wp));
    return TRUE;
}

INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg != WM_COMMAND) return FALSE;
    if (LOWORD(wp) == 300) currentPressed = true;
    if (LOWORD(wp) == 100) {
        Template settings(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"AutoComplete Settings", 200, 100, 2);
        settings.Button(200, L"&Clear Forms", 10);
        settings.Button(IDOK, L"OK", 40, BS_DEFPUSHBUTTON);
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), settings.get(), GetParent(hwnd), SettingsProc, 0);
    }
    return TRUE;
}

// Shows the panel modally on page `startPage` (0 General, 1 Content) until it is closed.
void Run(int startPage) {
    InitCommonControls();
    Template general(WS_CHILD | DS_CONTROL, L"General", 200, 100, 1);
    general.Button(300, L"&Current page", 10);
    Template content(WS_CHILD | DS_CONTROL, L"Content", 200, 100, 1);
    content.Button(100, L"A&utoComplete...", 10);
    PROPSHEETPAGEW pages[2] = {};
    const Template* templates[2] = {&general, &content};
    for (int i = 0; i < 2; ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEW);
        pages[i].dwFlags = PSP_DLGINDIRECT;
        pages[i].pResource = templates[i]->get();
        pages[i].pfnDlgProc = PageProc;
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    header.pszCaption = L"Test Options";
    header.nPages = 2;
    header.nStartPage = static_cast<UINT>(startPage);
    header.ppsp = pages;
    PropertySheetW(&header);
    closed = true;
}

// A key lost on a loaded machine leaves dialogs open: close them one by one, so the panel's
// thread always ends and a test fails on its expectations instead of hanging.
void CloseAndJoin(std::thread& panel) {
    for (int i = 0; i < 200 && !closed; ++i) {
        PostMessageA(bw::platform::keys::ActiveDialog(GetCurrentProcessId()), WM_CLOSE, 0, 0);
        Sleep(50);
    }
    panel.join();
}

}  // namespace fakepanel

TEST(PanelKeys, GoOnlyToTheVerifiedPageAndItsOwnDialogs) {
    fakepanel::currentPressed = fakepanel::formsCleared = fakepanel::closed = false;
    std::thread panel(fakepanel::Run, 1);
    int pressed = bw::platform::PressKeysOnPage(GetCurrentProcessId(), "Content", "AutoComplete",
                                                {"{U}", "{C}", "{ENTER}", "{ESC}", "{ESC}"}, 5000, 2000, 3000);
    for (int i = 0; i < 100 && !fakepanel::closed; ++i) Sleep(20);
    fakepanel::CloseAndJoin(panel);
    EXPECT_EQ(pressed, 5);
    EXPECT_TRUE(fakepanel::formsCleared) << "the confirmed Clear Forms ran";
    EXPECT_TRUE(fakepanel::closed) << "the last Escape closed the panel";
    EXPECT_FALSE(fakepanel::currentPressed);
}

TEST(PanelKeys, WrongPageGetsNoKeyAtAll) {
    fakepanel::currentPressed = fakepanel::formsCleared = fakepanel::closed = false;
    std::thread panel(fakepanel::Run, 0);  // opens on General, as Wine's panel does
    int pressed = bw::platform::PressKeysOnPage(GetCurrentProcessId(), "Content", "AutoComplete",
                                                {"{U}", "{C}", "{ENTER}", "{ESC}", "{ESC}"}, 5000, 500, 3000);
    EXPECT_EQ(pressed, 0);
    EXPECT_FALSE(fakepanel::currentPressed) << "{C} must not press \"&Current page\"";
    EXPECT_FALSE(fakepanel::formsCleared);
    HWND sheet = bw::platform::WaitForPropertySheet(GetCurrentProcessId(), 1000);
    EXPECT_NE(sheet, nullptr);
    if (sheet) {
        EXPECT_EQ(bw::platform::CurrentPageCaption(sheet), "General");
    }
    fakepanel::CloseAndJoin(panel);
}

TEST(PanelKeys, NoDialogOfThatProcessMeansNoKey) {
    // A process id with no windows: nothing to press, nothing sent anywhere.
    EXPECT_FALSE(bw::platform::keys::PressKey(0xFFFFFFF0u, "{ESC}", 100));
    EXPECT_EQ(bw::platform::keys::ActiveDialog(0xFFFFFFF0u), nullptr);
}

}  // namespace
