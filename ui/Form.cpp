// Top-level forms: creation, showing (modeless and modal), unloading and message dispatch.
#include "ui/Form.h"

#include <vector>

#include "ui/Menu.h"
#include "ui/Statics.h"

namespace bw::ui {

namespace {

const char kFormClass[] = "BrightwipeForm";
int loadedForms = 0;
bool quitWhenLastGone = false;
int screenPointer = 0;

std::function<void()>& HelpHandler() {
    static std::function<void()> handler;
    return handler;
}

bool IsFormWindow(HWND hwnd) {
    char cls[32];
    return hwnd && GetClassNameA(hwnd, cls, sizeof cls) && lstrcmpA(cls, kFormClass) == 0;
}

void RegisterFormClass(WNDPROC proc) {
    static bool done = false;
    if (done) return;
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = Instance();
    wc.hIcon = LoadIconA(Instance(), MAKEINTRESOURCEA(1));
    if (!wc.hIcon) wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    RegisterClassA(&wc);
    done = true;
}

struct DisabledWindows {
    std::vector<HWND> list;
};

BOOL CALLBACK DisableOthers(HWND hwnd, LPARAM lp) {
    auto* self = reinterpret_cast<std::pair<HWND, DisabledWindows*>*>(lp);
    if (hwnd != self->first && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        self->second->list.push_back(hwnd);
    }
    return TRUE;
}

}  // namespace

Form::Form(std::string caption, int width, int height)
    : caption_(std::move(caption)), width_(width), height_(height) {}

Form::~Form() {
    if (backBrush_) DeleteObject(backBrush_);
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        --loadedForms;
    }
}

bool Form::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void Form::Load() {
    if (hwnd_) return;
    RegisterFormClass(WndProc);
    RECT rc{0, 0, Scaled(width_), Scaled(height_)};
    AdjustWindowRect(&rc, FormStyle(), FALSE);
    hwnd_ = CreateWindowExA(WS_EX_CONTROLPARENT, kFormClass, caption_.c_str(), FormStyle(),
                            CW_USEDEFAULT, CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top,
                            nullptr, nullptr, Instance(), this);
    if (!hwnd_) return;
    ++loadedForms;
    // Every window opens in the middle of the screen, as dialogs do; Form_Load may move it.
    Center();
    Build();
    Form_Load();
}

void Form::RememberOpener() {
    HWND active = GetActiveWindow();
    if (active && active != hwnd_) opener_ = active;
}

void Form::ReturnToOpener() {
    if (!opener_ || !IsWindow(opener_) || !IsWindowVisible(opener_) || !IsWindowEnabled(opener_)) return;
    SetForegroundWindow(opener_);
    SetActiveWindow(opener_);
}

void Form::EndModal() {
    // As a dialog ends: the windows it disabled come back and the opener is activated while
    // this form is still on screen, so the activation never falls to another program or to
    // the desktop as the form goes.
    const bool wasActive = GetActiveWindow() == hwnd_;
    for (HWND h : disabledByModal_)
        if (IsWindow(h)) EnableWindow(h, TRUE);
    disabledByModal_.clear();
    if (wasActive) ReturnToOpener();
}

void Form::Show() {
    Load();
    if (!hwnd_) return;
    if (!modal_) RememberOpener();
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd_);
    // The keyboard starts where a dialog's would: on the first control Tab reaches.
    HWND focus = GetFocus();
    if (!focus || !IsChild(hwnd_, focus))
        if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) ::SetFocus(first);
    UpdateWindow(hwnd_);
}

void Form::ShowModal() {
    Load();
    if (!hwnd_ || modal_) return;
    RememberOpener();
    DisabledWindows disabled;
    std::pair<HWND, DisabledWindows*> ctx{hwnd_, &disabled};
    EnumThreadWindows(GetCurrentThreadId(), DisableOthers, reinterpret_cast<LPARAM>(&ctx));
    disabledByModal_ = disabled.list;
    modal_ = true;
    Show();
    MSG msg;
    while (hwnd_ && IsWindowVisible(hwnd_)) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (RouteDialogMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    modal_ = false;
    for (HWND h : disabledByModal_)
        if (IsWindow(h)) EnableWindow(h, TRUE);
    disabledByModal_.clear();
}

void Form::Hide() {
    if (!hwnd_) return;
    const bool wasActive = GetActiveWindow() == hwnd_;
    if (modal_) EndModal();
    ShowWindow(hwnd_, SW_HIDE);
    if (wasActive && !modal_) ReturnToOpener();
}

void Form::Unload() {
    if (!hwnd_) return;
    Form_Unload();
    if (!hwnd_) return;  // Form_Unload may have unloaded us already
    HWND hwnd = hwnd_;
    const bool wasActive = GetActiveWindow() == hwnd;
    if (modal_) EndModal();
    hwnd_ = nullptr;
    lastFocus_ = nullptr;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
    --loadedForms;
    if (wasActive && !modal_) ReturnToOpener();
    if (loadedForms == 0 && quitWhenLastGone) PostQuitMessage(0);
}

void Form::Minimize() {
    if (hwnd_) ShowWindow(hwnd_, SW_MINIMIZE);
}

void Form::Center() {
    if (!hwnd_) return;
    RECT work, rc;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(hwnd_, &rc);
    int x = work.left + ((work.right - work.left) - (rc.right - rc.left)) / 2;
    int y = work.top + ((work.bottom - work.top) - (rc.bottom - rc.top)) / 2;
    SetWindowPos(hwnd_, nullptr, x > 0 ? x : 0, y > 0 ? y : 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Form::IsMaximized() const { return hwnd_ && IsZoomed(hwnd_); }

SIZE Form::OuterSize() const {
    RECT rc{};
    if (hwnd_) GetWindowRect(hwnd_, &rc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

void Form::Resize(int width, int height) {
    if (hwnd_) SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Restore() {
    if (hwnd_) ShowWindow(hwnd_, SW_RESTORE);
}

std::string Form::Caption() const { return caption_; }

void Form::SetCaption(const std::string& text) {
    caption_ = text;
    if (hwnd_) SetWindowTextA(hwnd_, text.c_str());
}

void Form::QuitWhenLastFormUnloads(bool on) { quitWhenLastGone = on; }

int Form::LoadedForms() { return loadedForms; }

void Form::Layout(std::initializer_list<Place> places) { Layout(std::vector<Place>(places)); }

void Form::Layout(const std::vector<Place>& places) {
    for (const Place& p : places) {
        HWND parent = p.parent ? p.parent->hwnd() : hwnd_;
        Place scaled = p;
        scaled.x = Scaled(p.x);
        scaled.y = Scaled(p.y);
        scaled.w = Scaled(p.w);
        scaled.h = Scaled(p.h);
        p.control->Create(parent, scaled);
    }
    if (defaultButton_ && defaultButton_->hwnd())
        SendMessageA(defaultButton_->hwnd(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void Form::SetBackColor(COLORREF color) {
    if (backBrush_) DeleteObject(backBrush_);
    backBrush_ = color == CLR_INVALID ? nullptr : CreateSolidBrush(color);
    backColor_ = color;
    if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Form::SetDefaultButton(Control* button) {
    defaultButton_ = button;
    if (button && button->hwnd()) SendMessageA(button->hwnd(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void Form::SetCancelButton(Control* button) { cancelButton_ = button; }

void Form::SetAccessKey(char letter, std::function<void()> action) {
    // The virtual key of a letter is its capital.
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    accessKeys_.emplace_back(letter, std::move(action));
}

void Form::SetHelpHandler(std::function<void()> handler) { HelpHandler() = std::move(handler); }

bool Form::RunAccessKey(WPARAM virtualKey) {
    for (const auto& [letter, action] : accessKeys_)
        if (static_cast<WPARAM>(static_cast<unsigned char>(letter)) == virtualKey && action) {
            action();
            return true;
        }
    return false;
}

bool RouteDialogMessage(MSG* msg) {
    HWND active = GetActiveWindow();
    if (!active || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    if (!IsFormWindow(active)) return false;
    if (msg->hwnd != active && !IsChild(active, msg->hwnd)) return false;
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(active, GWLP_USERDATA));
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1) {
        if (HelpHandler()) HelpHandler()();
        return true;
    }
    if (msg->message == WM_SYSKEYDOWN && form && form->RunAccessKey(msg->wParam)) return true;
    // A menu bar takes Alt and its letters, as in any window that has one; the dialog
    // navigation would swallow them.
    if (GetMenu(active) && (msg->message == WM_SYSKEYDOWN || msg->message == WM_SYSKEYUP || msg->message == WM_SYSCHAR)) {
        if (msg->message == WM_SYSCHAR) {
            SendMessageA(active, WM_SYSCOMMAND, SC_KEYMENU, msg->wParam);
            return true;
        }
        if (msg->wParam == VK_MENU || msg->wParam == VK_F10) {
            if (msg->message == WM_SYSKEYUP) SendMessageA(active, WM_SYSCOMMAND, SC_KEYMENU, 0);
            return true;
        }
        return false;
    }
    // Enter on a push button presses that button, as in a dialog; elsewhere it goes to the
    // default button, if the form has one.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN &&
        (SendMessageA(msg->hwnd, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) &&
        IsWindowEnabled(msg->hwnd)) {
        SendMessageA(msg->hwnd, BM_CLICK, 0, 0);
        return true;
    }
    return IsDialogMessageA(active, msg) != FALSE;
}

LRESULT CALLBACK Form::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    LRESULT result = 0;
    if (DispatchToControl(msg, wp, lp, &result)) return result;
    if (self->HandleMessage(msg, wp, lp, &result)) return result;
    switch (msg) {
    case WM_COMMAND:
        // Esc through the keyboard navigation: the cancel button, as if clicked.
        if (LOWORD(wp) == IDCANCEL && self->cancelButton_) {
            if (self->cancelButton_->Enabled()) self->cancelButton_->OnCommand(BN_CLICKED);
            return 0;
        }
        if (LOWORD(wp) == IDCANCEL && lp == 0 && self->EscapeCloses()) {
            self->Form_QueryClose();
            return 0;
        }
        // A menu item's command: no control sent it (lParam 0) and it is no accelerator.
        if (lp == 0 && HIWORD(wp) == 0 && MenuItem::Dispatch(LOWORD(wp))) return 0;
        break;
    case WM_ACTIVATE:
        // As a dialog does: the control that had the keyboard gets it back when the user
        // returns to the form; the first control Tab reaches when none had it.
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd, focus)) self->lastFocus_ = focus;
            return 0;
        }
        if (!HIWORD(wp)) {
            HWND target = self->lastFocus_;
            if (!target || !IsWindow(target) || !IsChild(hwnd, target) || !IsWindowVisible(target) ||
                !IsWindowEnabled(target))
                target = GetNextDlgTabItem(hwnd, nullptr, FALSE);
            if (target) {
                ::SetFocus(target);
                return 0;
            }
        }
        break;
    case DM_GETDEFID:
        if (self->defaultButton_ && self->defaultButton_->hwnd())
            return MAKELRESULT(GetDlgCtrlID(self->defaultButton_->hwnd()), DC_HASDEFID);
        return 0;
    case WM_ERASEBKGND:
        if (self->backBrush_) {
            RECT rc;
            GetClientRect(hwnd, &rc);
            FillRect(reinterpret_cast<HDC>(wp), &rc, self->backBrush_);
            return 1;
        }
        break;
    case WM_CTLCOLORSTATIC:
        if (auto* label = dynamic_cast<Label*>(Control::FromHwnd(reinterpret_cast<HWND>(lp)));
            label && label->HasFocus()) {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        if (auto* label = dynamic_cast<Label*>(Control::FromHwnd(reinterpret_cast<HWND>(lp)));
            label && label->Backdrop()) {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, label->TextColor());
            SetBrushOrgEx(dc, 0, -label->BackdropTop(), nullptr);
            return reinterpret_cast<LRESULT>(label->Backdrop());
        }
        [[fallthrough]];
    case WM_CTLCOLORBTN:
        if (self->backBrush_) {
            SetBkColor(reinterpret_cast<HDC>(wp), self->backColor_);
            return reinterpret_cast<LRESULT>(self->backBrush_);
        }
        break;
    case WM_PAINT:
        if (self->onPaint) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            self->onPaint(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        break;
    case WM_CLOSE:
        self->Form_QueryClose();
        return 0;
    case WM_SETCURSOR:
        if (screenPointer == kHourglass) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

int ScreenDpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen) ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int Scaled(int pixels) { return MulDiv(pixels, ScreenDpi(), 96); }

void SetScreenMousePointer(int pointer) {
    screenPointer = pointer;
    SetCursor(LoadCursor(nullptr, pointer == kHourglass ? IDC_WAIT : IDC_ARROW));
}

int ScreenMousePointer() { return screenPointer; }

void DoEvents() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace bw::ui
