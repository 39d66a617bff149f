// The browser option windows (Netscape, Opera, MSN Explorer): opening reads the settings file,
// "Select all of the above" drives the four boxes, "OK" writes, any other close writes nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "settings/Inifun.h"
#include "settings/frmmsn.h"
#include "settings/frmnetscape.h"
#include "settings/frmopera.h"
#include "tests/support/ProgramFolder.h"
#include "ui/Forms.h"

using namespace bw;
using bw::Inifun::ReadIni;
using bw::Inifun::WriteIni;

namespace {

const char* const kKeys[] = {"Location", "Cookies", "Cache", "History"};

template <class F>
BrowserOptions& Open() {
    ui::Release<F>();
    F& form = ui::Get<F>();
    form.Load();
    return form;
}

struct Window {
    const char* section;
    std::function<BrowserOptions&()> open;
};

const Window kWindows[] = {{"NETSCAPE", Open<frmnetscape>}, {"OPERA", Open<frmopera>}, {"MSN", Open<frmmsn>}};

TEST(BrowserOptions, OpenSelectAllOkAndCloseWithoutOk) {
    for (const Window& w : kWindows) {
        test::ProgramFolder folder;
        const std::string file = folder.settings();
        WriteIni(file, w.section, "Location", "1.0");  // a number equal to 1
        WriteIni(file, w.section, "Cookies", "yes");
        WriteIni(file, w.section, "History", "1");
        BrowserOptions& form = w.open();
        EXPECT_EQ(form.Check1.Value(), 1) << w.section;
        EXPECT_EQ(form.Check2.Value() + form.Check3.Value() + form.Check5.Value(), 0) << w.section;
        EXPECT_EQ(form.Check4.Value(), 1) << w.section;

        SendMessageA(form.Check5.hwnd(), BM_CLICK, 0, 0);
        for (auto* box : {&form.Check1, &form.Check2, &form.Check3, &form.Check4}) EXPECT_EQ(box->Value(), 1);
        SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);  // discards
        EXPECT_FALSE(form.IsLoaded());
        EXPECT_EQ(ReadIni(file, w.section, "Cookies"), "yes") << w.section;

        BrowserOptions& again = w.open();
        EXPECT_EQ(again.Check5.Value(), 0);
        again.Check5.SetValue(1);
        again.Check5.SetValue(0);
        again.Check2.SetValue(1);
        SendMessageA(again.Command1.hwnd(), BM_CLICK, 0, 0);
        EXPECT_FALSE(again.IsLoaded());
        const char* expected[] = {"0", "1", "0", "0"};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(ReadIni(file, w.section, kKeys[i]), expected[i]) << w.section << kKeys[i];
    }
}

TEST(BrowserOptions, OperaFolderIsShownAsStoredAndDefaultsWhenEmpty) {
    test::ProgramFolder folder;
    auto& opera = static_cast<frmopera&>(Open<frmopera>());
    EXPECT_EQ(opera.Text1.Text(), "");
    opera.Command1_Click();
    EXPECT_EQ(ReadIni(folder.settings(), "opera", "path"), "C:\\Program Files\\Opera7");
    for (const char* key : kKeys) EXPECT_EQ(ReadIni(folder.settings(), "OPERA", key), "0");

    WriteIni(folder.settings(), "OPERA", "Path", "D:\\No Such Folder");
    auto& again = static_cast<frmopera&>(Open<frmopera>());
    EXPECT_EQ(again.Text1.Text(), "D:\\No Such Folder");
    again.Command1_Click();
    EXPECT_EQ(ReadIni(folder.settings(), "OPERA", "Path"), "D:\\No Such Folder");
    ui::Release<frmopera>();
}

}  // namespace
