// Top-level forms: creation, showing (modeless and modal), unloading and message dispatch.
#include "ui/Form.h"

#include <vector>

#include "ui/Menu.h"
#include "ui/Statics.h"
#include "ui/WindowProcGuard.h"

namespace bw::ui {

namespace {

const char kFormClass[] = "BrightwipeForm";
int loadedForms = 0;
bool quitWhenLastGone = false;
int screenPointer = 0;

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
    RegisterFormClass(GuardedWindowProc<WndProc>);
    RECT rc{0, 0, width_, height_};
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

void Form::Show() {
    Load();
    if (!hwnd_) return;
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
    DisabledWindows disabled;
    std::pair<HWND, DisabledWindows*> ctx{hwnd_, &disabled};
    EnumThreadWindows(GetCurrentThreadId(), DisableOthers, reinterpret_cast<LPARAM>(&ctx));
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
    for (HWND h : disabled.list)
        if (IsWindow(h)) EnableWindow(h, TRUE);
}

void Form::Hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void Form::Unload() {
    if (!hwnd_) return;
    Form_Unload();
    if (!hwnd_) return;  // Form_Unload may have unloaded us already
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
    --loadedForms;
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
        p.control->Create(parent, p);
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

bool RouteDialogMessage(MSG* msg) {
    HWND active = GetActiveWindow();
    if (!active || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    char cls[32];
    if (!GetClassNameA(active, cls, sizeof cls) || lstrcmpA(cls, kFormClass) != 0) return false;
    if (msg->hwnd != active && !IsChild(active, msg->hwnd)) return false;
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
        // A menu item's command: no control sent it (lParam 0) and it is no accelerator.
        if (lp == 0 && HIWORD(wp) == 0 && MenuItem::Dispatch(LOWORD(wp))) return 0;
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
