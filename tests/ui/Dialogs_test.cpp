// The standard file dialogs, driven from a second thread as a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"
#include "ui/Dialogs.h"

using namespace bw::test;

namespace {

// Waits for this process's dialog window and hands it to `act` on the watching thread.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(HWND)> act)
        : thread_([this, act] {
              for (int i = 0; i < 1000 && !stop_; ++i) {
                  if (HWND dlg = FindOwnDialog()) {
                      Sleep(200);  // let the dialog finish filling itself
                      act(dlg);
                      return;
                  }
                  Sleep(10);
              }
          }) {}
    ~DialogDriver() {
        stop_ = true;
        thread_.join();
    }

private:
    static BOOL CALLBACK Match(HWND w, LPARAM param) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w) && lstrcmpA(cls, "#32770") == 0) {
            *reinterpret_cast<HWND*>(param) = w;
            return FALSE;
        }
        return TRUE;
    }
    static HWND FindOwnDialog() {
        HWND found = nullptr;
        EnumWindows(Match, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    LRESULT n = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char buf[256] = {};
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
        items.push_back(buf);
    }
    return items;
}

HWND FileNameBox(HWND dlg) {
    HWND box = GetDlgItem(dlg, cmb13);
    return box ? box : GetDlgItem(dlg, edt1);
}

}  // namespace

TEST(Dialogs, SaveDialogShowsThePipeFilterAndAddsItsExtension) {
    TempDir dir;
    std::vector<std::string> filters;
    std::string shownName;
    std::optional<std::string> chosen;
    {
        DialogDriver driver([&](HWND dlg) {
            filters = ComboItems(GetDlgItem(dlg, cmb1));
            char buf[MAX_PATH] = {};
            GetWindowTextA(FileNameBox(dlg), buf, sizeof buf);
            shownName = buf;
            SetWindowTextA(FileNameBox(dlg), (dir / "favorites").c_str());
            PostMessageA(dlg, WM_COMMAND, IDOK, 0);
        });
        chosen = bw::ui::ShowSaveDialog(nullptr, "(*.htm)|*.htm|All files|*.*", "bookmark.htm");
    }
    EXPECT_EQ(filters, (std::vector<std::string>{"(*.htm)", "All files"}));
    EXPECT_EQ(shownName, "bookmark.htm");
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, dir / "favorites.htm");
    EXPECT_FALSE(PathExists(*chosen));  // choosing a name creates nothing
}

TEST(Dialogs, CancelGivesNothing) {
    std::optional<std::string> chosen;
    {
        DialogDriver driver([](HWND dlg) { PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0); });
        chosen = bw::ui::ShowOpenDialog(nullptr, "(*.htm)|*.htm", "");
    }
    EXPECT_FALSE(chosen.has_value());
}
