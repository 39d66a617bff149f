// Every window of the program at 96, 120 and 144 DPI: each caption fits its control. A process
// reads the DPI when it starts, so the windows are measured by a second run of this test program,
// started once the prefix's DPI is set; it also keeps a screenshot of each window.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/frmMainCode.h"
#include "diskclean/frmExtentions.h"
#include "diskclean/frmLocate.h"
#include "engine/frmcleannow.h"
#include "engine/frmpreview.h"
#include "settings/Inifun.h"
#include "settings/frmcookie.h"
#include "settings/frmmoreapp.h"
#include "settings/frmnetscape.h"
#include "settings/frmoffice.h"
#include "settings/frmurl.h"
#include "shell/frmabout.h"
#include "shell/frmoptions.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"
#include "ui/Form.h"
#include "ui/Forms.h"

using namespace bw::test;

namespace {

const char kChildVariable[] = "BW_DPI_CHILD";

// The DPI a new process of this prefix starts with, set in both places Wine reads it from.
class PrefixDpi {
public:
    explicit PrefixDpi(DWORD dpi) {
        for (const auto& [root, key] : kKeys) {
            DWORD old = 0, size = sizeof old;
            olds_.push_back(RegGetValueA(root, key, "LogPixels", RRF_RT_REG_DWORD, nullptr, &old, &size) == ERROR_SUCCESS
                                ? old
                                : 0);
            Set(root, key, dpi);
        }
    }
    ~PrefixDpi() {
        for (size_t i = 0; i < 2; ++i) {
            HKEY key;
            if (RegOpenKeyExA(kKeys[i].first, kKeys[i].second, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) continue;
            if (olds_[i]) RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&olds_[i]), 4);
            else RegDeleteValueA(key, "LogPixels");
            RegCloseKey(key);
        }
    }

private:
    static void Set(HKEY root, const char* path, DWORD dpi) {
        HKEY key;
        if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
        RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        RegCloseKey(key);
    }
    static inline const std::pair<HKEY, const char*> kKeys[2] = {
        {HKEY_CURRENT_USER, "Control Panel\\Desktop"},
        {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"}};
    std::vector<DWORD> olds_;
};

TEST(Dpi, NoCaptionIsCutAt96And120And144Dpi) {
    for (DWORD dpiValue : {96u, 120u, 144u}) {
        PrefixDpi dpi(dpiValue);
        TempDir scratch;
        const std::string output = scratch / "child.txt";
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string command = std::string("\"") + self + "\" --gtest_also_run_disabled_tests --gtest_filter=DpiChild.*";
        SetEnvironmentVariableA(kChildVariable, std::to_string(dpiValue).c_str());
        const long code = RunAndWait(command, "", output, 90000);
        SetEnvironmentVariableA(kChildVariable, nullptr);
        const std::string report = ReadTextFile(output);
        EXPECT_EQ(code, 0) << dpiValue << " DPI:\n" << report;
        EXPECT_NE(report.find("[  PASSED  ] 1 test"), std::string::npos) << dpiValue << " DPI:\n" << report;
    }
}

// What a caption needs beside its text: a check box's box, a button's edges, a frame's indent.
int Extra(HWND control) {
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (ClassOf(control) != "Button") return 0;
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return bw::ui::Scaled(13 + 4);
    case BS_GROUPBOX:
        return bw::ui::Scaled(8 + 8);
    default:
        return bw::ui::Scaled(6);
    }
}

// The captions of `form`'s visible controls that do not fit, as "caption: needs w x h, has w x h".
std::vector<std::string> CutCaptions(HWND form) {
    std::vector<std::string> cut;
    HDC dc = GetDC(nullptr);
    for (HWND control : Descendants(form)) {
        if (!IsWindowVisible(control)) continue;
        const std::string cls = ClassOf(control);
        const LONG style = GetWindowLongA(control, GWL_STYLE);
        if (cls == "Static" && (style & SS_TYPEMASK) > SS_RIGHT) continue;  // pictures
        if (cls != "Static" && cls != "Button") continue;
        std::string text = WindowText(control);
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
        if (text.empty()) continue;
        RECT client;
        GetClientRect(control, &client);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
        const int room = client.right - Extra(control);
        const UINT prefix = (cls == "Static" && (style & SS_NOPREFIX)) ? DT_NOPREFIX : 0;
        RECT line{0, 0, 0, 0};
        DrawTextA(dc, text.c_str(), -1, &line, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE | prefix);
        // A caption too long for one line wraps, and a wrapped label wraps a little inside its
        // edge (Label::PaintWrapped), as it must: Wine draws text a little wider than it
        // measures it.
        const bool wraps = line.right > room && (cls == "Static" || (style & BS_MULTILINE));
        const int width = wraps ? room - std::max(room / 40, 3) : room;
        RECT need{0, 0, width, 0};
        DrawTextA(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_EXPANDTABS | prefix | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        SelectObject(dc, old);
        if (need.right > width || need.bottom > client.bottom)
            cut.push_back("\"" + text + "\": needs " + std::to_string(need.right) + " x " + std::to_string(need.bottom) +
                          ", has " + std::to_string(room) + " x " + std::to_string(client.bottom));
    }
    ReleaseDC(nullptr, dc);
    return cut;
}

TEST(DpiChild, DISABLED_EveryCaptionFits) {
    const char* expected = std::getenv(kChildVariable);
    if (!expected) GTEST_SKIP() << "runs only as the second process of Dpi.NoCaptionIsCutAt96And120And144Dpi";
    ASSERT_EQ(bw::ui::ScreenDpi(), std::atoi(expected)) << "the prefix's DPI did not reach this process";
    const std::string dpi = expected;
    ProgramFolder folder;
    struct Window {
        const char* name;
        std::function<bw::ui::Form&()> form;
    };
    const Window windows[] = {
        {"main", [] () -> bw::ui::Form& { return bw::ui::Get<bw::frmMainCode>(); }},
        {"erase", [] () -> bw::ui::Form& { return bw::ui::Get<bw::frmcleannow>(); }},
        {"options", [] () -> bw::ui::Form& { return bw::ui::Get<bw::frmoptions>(); }},
        {"about", [] () -> bw::ui::Form& { return bw::ui::Get<bw::frmabout>(); }},
        {"urls", [] () -> bw::ui::Form& { return bw::ui::Get<bw::frmurl>(); }},
        {"cookies", [] () -> bw::ui::Form& { return bw::ui::Get<bw::frmcookie>(); }},
        {"netscape", [] () -> bw::ui::Form& { return bw::ui::Get<bw::frmnetscape>(); }},
        {"office", [] () -> bw::ui::Form& { return bw::ui::Get<bw::frmoffice>(); }},
        {"moreapps", [] () -> bw::ui::Form& { return bw::ui::Get<bw::frmmoreapp>(); }},
        {"search", [] () -> bw::ui::Form& { return bw::ui::Get<bw::frmLocate>(); }},
        {"patterns", [] () -> bw::ui::Form& { return bw::ui::Get<bw::frmExtentions>(); }},
    };
    for (const Window& w : windows) {
        bw::ui::Form& form = w.form();
        form.Show();
        PumpMessages();
        SaveScreenshot(ArtifactsDir() + "\\dpi" + dpi + "-" + w.name + ".bmp", form.hwnd());
        for (const std::string& caption : CutCaptions(form.hwnd())) ADD_FAILURE() << w.name << ": " << caption;
        form.Hide();
    }
    // A preview, its details and its report, with a custom item of some megabytes to lead the list.
    TempDir custom;
    WriteTextFile(custom / "big.bin", std::string(1536 * 1024, 'b'));
    bw::Inifun::WriteIni(folder.settings(), "Additional", "Custom", "1");
    WriteTextFile(folder.file("cusd.dat"), custom / "*.bin\r\n");
    bw::frmcleannow& erase = bw::ui::Get<bw::frmcleannow>();
    erase.Show();
    erase.Preview();
    PumpMessages();
    SaveScreenshot(ArtifactsDir() + "\\dpi" + dpi + "-preview.bmp", erase.hwnd());
    bw::frmreport report;
    report.Fill(erase.Plan(), true);
    report.Show();
    PumpMessages();
    SaveScreenshot(ArtifactsDir() + "\\dpi" + dpi + "-report.bmp", report.hwnd());
    report.Unload();
    erase.Hide();
    // The main window's second page.
    bw::frmMainCode& main = bw::ui::Get<bw::frmMainCode>();
    main.Show();
    main.Image2_Click();
    PumpMessages();
    for (const std::string& caption : CutCaptions(main.hwnd())) ADD_FAILURE() << "custom items: " << caption;
    bw::ui::Release<bw::frmMainCode>();
}

}  // namespace
