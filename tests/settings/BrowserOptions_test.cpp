// The browser option windows (Netscape, Opera, MSN Explorer): opening reads the settings file,
// "Select all of the above" drives the four boxes, "OK" writes, any other close writes nothing.
#include <gtest/gtest.h>
#include <windows.h>

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

template <class F>
F& Open() {
    ui::Release<F>();
    ui::Get<F>().Load();
    return ui::Get<F>();
}

TEST(BrowserOptions, OpenSelectAllOkAndCloseWithoutOk) {
    struct Window {
        const char* section;
        BrowserOptions& (*open)();
    };
    for (const Window& w : {Window{"NETSCAPE", [] () -> BrowserOptions& { return Open<frmnetscape>(); }},
                            Window{"OPERA", [] () -> BrowserOptions& { return Open<frmopera>(); }},
                            Window{"MSN", [] () -> BrowserOptions& { return Open<frmmsn>(); }}}) {
        test::ProgramFolder folder;
        WriteIni(folder.settings(), w.section, "Location", "1.0");  // a number equal to 1
        WriteIni(folder.settings(), w.section, "Cookies", "yes");
        BrowserOptions& form = w.open();
        EXPECT_EQ(form.Check1.Value() * 10 + form.Check2.Value() + form.Check5.Value(), 10) << w.section;
        SendMessageA(form.Check5.hwnd(), BM_CLICK, 0, 0);
        EXPECT_EQ(form.Check2.Value() + form.Check3.Value() + form.Check4.Value(), 3) << w.section;
        SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);  // discards
        EXPECT_EQ(ReadIni(folder.settings(), w.section, "Cookies"), "yes") << w.section;

        BrowserOptions& again = w.open();
        EXPECT_EQ(again.Check5.Value() + again.Check2.Value(), 0) << w.section;
        again.Check3.SetValue(1);
        SendMessageA(again.Command1.hwnd(), BM_CLICK, 0, 0);
        EXPECT_FALSE(again.IsLoaded());
        EXPECT_EQ(ReadIni(folder.settings(), w.section, "Location") + ReadIni(folder.settings(), w.section, "Cookies") +
                      ReadIni(folder.settings(), w.section, "Cache") + ReadIni(folder.settings(), w.section, "History"),
                  "1010") << w.section;
    }
}

TEST(BrowserOptions, OperaFolderIsKeptAsTypedAndDefaultsWhenEmpty) {
    test::ProgramFolder folder;
    Open<frmopera>().Command1_Click();
    EXPECT_EQ(ReadIni(folder.settings(), "opera", "path"), "C:\\Program Files\\Opera7");
    WriteIni(folder.settings(), "OPERA", "Path", "D:\\No Such Folder");
    frmopera& again = Open<frmopera>();
    EXPECT_EQ(again.Text1.Text(), "D:\\No Such Folder");
    again.Command1_Click();
    EXPECT_EQ(ReadIni(folder.settings(), "OPERA", "Path"), "D:\\No Such Folder");
}

}  // namespace
