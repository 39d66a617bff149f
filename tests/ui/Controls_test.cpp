// The control toolkit: controls are real standard windows, values and clicks agree whoever
// changes them, and a form reloads in its design state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Form.h"
#include "ui/Lists.h"
#include "ui/Statics.h"
#include "ui/TextBox.h"
#include "ui/Timer.h"

namespace {

class TestForm : public bw::ui::Form {
public:
    TestForm() : Form("Toolkit test", 300, 200) {}
    bw::ui::Frame Frame1;
    bw::ui::CheckBox Check1;
    bw::ui::CommandButton Command1;
    bw::ui::Label Label1;
    bw::ui::ListBox List1;
    bw::ui::ListBox List2{bw::ui::ListBox::Select::Extended};
    int clicks = 0;
    int buttonClicks = 0;
    int labelClicks = 0;
    int loads = 0;

protected:
    void Build() override {
        Layout({
            {&Frame1, nullptr, "Group", 5, 5, 150, 80},
            {&Check1, &Frame1, "Item", 8, 20, 100, 20},
            {&Command1, nullptr, "Go", 160, 5, 60, 24},
            {&Label1, nullptr, "Click me", 160, 40, 60, 16},
            {&List1, nullptr, "", 5, 90, 140, 100},
            {&List2, nullptr, "", 150, 90, 140, 100},
        });
        Check1.onClick = [this] { ++clicks; };
        Command1.onClick = [this] { ++buttonClicks; };
        Label1.onClick = [this] { ++labelClicks; };
    }
    void Form_Load() override { ++loads; }
};

TEST(Controls, CheckBoxReportsEveryChangeOnce) {
    TestForm form;
    form.Load();
    form.Check1.SetValue(1);
    form.Check1.SetValue(1);
    EXPECT_EQ(form.clicks, 1);
    EXPECT_EQ(SendMessageA(form.Check1.hwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(form.Check1.hwnd(), BM_CLICK, 0, 0);  // a user's click inside a frame
    EXPECT_EQ(form.clicks, 2);
    EXPECT_EQ(form.Check1.Value(), 0);
    EXPECT_EQ(SendMessageA(form.Check1.hwnd(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST(Controls, DisabledControlsDoNotFire) {
    TestForm form;
    form.Load();
    form.Command1.SetEnabled(false);
    SendMessageA(form.Command1.hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.buttonClicks, 0);
    form.Command1.SetEnabled(true);
    SendMessageA(form.Command1.hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.buttonClicks, 1);
}

TEST(Controls, LabelsAreClickableStatics) {
    TestForm form;
    form.Load();
    EXPECT_EQ(bw::test::ClassOf(form.Label1.hwnd()), "Static");
    SendMessageA(form.Label1.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(form.Label1.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    bw::test::PumpMessages();
    EXPECT_EQ(form.labelClicks, 1);
}

TEST(Controls, ListBoxesHoldTextAndSelections) {
    TestForm form;
    form.Load();
    form.List1.AddItem("first");
    form.List1.AddItem("second line with  two blanks");
    EXPECT_EQ(form.List1.ListCount(), 2);
    EXPECT_EQ(form.List1.List(1), "second line with  two blanks");
    EXPECT_EQ(form.List1.List(7), "");
    EXPECT_EQ(form.List1.ListIndex(), -1);
    form.List1.SetListIndex(1);
    EXPECT_TRUE(form.List1.Selected(1));
    form.List1.Clear();
    EXPECT_EQ(form.List1.ListCount(), 0);

    for (const char* s : {"a", "b", "c"}) form.List2.AddItem(s);
    form.List2.SetSelected(0, true);
    form.List2.SetSelected(2, true);
    EXPECT_TRUE(form.List2.Selected(0));
    EXPECT_FALSE(form.List2.Selected(1));
    EXPECT_TRUE(form.List2.Selected(2));
}

// AddItems appends in order after what is there, keeps the selection, turns drawing back on
// when done, and never shows a list that was hidden.
TEST(Controls, ListBoxAddItemsAppendsAllInOrder) {
    TestForm form;
    form.Load();
    form.Show();
    std::vector<std::string> many;
    for (int i = 0; i < 20000; ++i) many.push_back("line " + std::to_string(i));
    struct Case {
        bool listShown;
        bw::ui::ListBox* list;
    } cases[] = {{true, &form.List1}, {true, &form.List2}, {false, &form.List1}};
    for (const Case& c : cases) {
        bw::ui::ListBox& list = *c.list;
        list.Clear();
        list.SetVisible(c.listShown);
        list.AddItem("before");
        list.SetSelected(0, true);
        list.AddItems({});
        list.AddItems({"a", "", "b  with blanks  "});
        list.AddItems(many);
        ASSERT_EQ(list.ListCount(), 3 + 1 + 20000);
        EXPECT_EQ(list.List(0), "before");
        EXPECT_EQ(list.List(2), "");
        EXPECT_EQ(list.List(3), "b  with blanks  ");
        EXPECT_EQ(list.List(4), "line 0");
        EXPECT_EQ(list.List(20003), "line 19999");
        EXPECT_TRUE(list.Selected(0));
        EXPECT_EQ(IsWindowVisible(list.hwnd()) != 0, c.listShown);
        EXPECT_EQ(list.TopIndex(), 0);
        // Drawing is on again: the scroll bar, which a list box leaves alone while drawing is
        // held off, reaches the last line.
        SCROLLINFO scroll{};
        scroll.cbSize = sizeof scroll;
        scroll.fMask = SIF_RANGE;
        ASSERT_TRUE(GetScrollInfo(list.hwnd(), SB_VERT, &scroll));
        EXPECT_EQ(scroll.nMax, list.ListCount() - 1);
        list.SetVisible(true);
    }
    form.Unload();
}

TEST(Controls, HidingAFrameHidesWhatIsInIt) {
    TestForm form;
    form.Load();
    form.Show();
    form.Frame1.SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(form.Check1.hwnd()));
    form.Frame1.SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(form.Check1.hwnd()));
    form.Unload();
}

TEST(Controls, UnloadThenLoadStartsFromTheDesignState) {
    TestForm form;
    form.Load();
    form.Check1.SetValue(1);
    form.Label1.SetCaption("changed");
    form.List1.AddItem("x");
    form.Unload();
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(form.Check1.hwnd(), nullptr);
    form.Load();
    EXPECT_EQ(form.loads, 2);
    EXPECT_EQ(form.Check1.Value(), 0);
    EXPECT_EQ(form.Label1.Caption(), "Click me");
    EXPECT_EQ(form.List1.ListCount(), 0);
}

TEST(Controls, ModalShowReturnsWhenHidden) {
    TestForm form;
    form.Load();
    bw::ui::Timer timer;
    timer.SetInterval(50);
    timer.onTimer = [&] {
        timer.SetEnabled(false);
        form.Hide();
    };
    timer.SetEnabled(true);
    form.ShowModal();
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(form.IsLoaded());
}

class KeyForm : public bw::ui::Form {
public:
    KeyForm() : Form("Keyboard test", 300, 120) {}
    bw::ui::TextBox Text1;
    bw::ui::CheckBox Check1;
    bw::ui::CommandButton cmdOK, cmdGo, cmdCancel;
    std::string pressed;

protected:
    void Build() override {
        Layout({
            {&Text1, nullptr, "", 5, 5, 120, 22},
            {&Check1, nullptr, "Box", 5, 35, 100, 20},
            {&cmdGo, nullptr, "Go", 5, 80, 60, 24},
            {&cmdOK, nullptr, "OK", 100, 80, 60, 24},
            {&cmdCancel, nullptr, "Cancel", 200, 80, 60, 24},
        });
        cmdOK.onClick = [this] { pressed += "ok "; };
        cmdGo.onClick = [this] { pressed += "go "; };
        cmdCancel.onClick = [this] { pressed += "cancel "; };
        SetDefaultButton(&cmdOK);
        SetCancelButton(&cmdCancel);
    }
};

// A key as the program's message loop meets it: offered to the keyboard navigation first.
void Press(HWND target, WPARAM key) {
    for (UINT message : std::initializer_list<UINT>{WM_KEYDOWN, WM_KEYUP}) {
        MSG msg{};
        msg.hwnd = target;
        msg.message = message;
        msg.wParam = key;
        msg.lParam = message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001u) : 1;
        if (bw::ui::RouteDialogMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    bw::test::PumpMessages();
}

TEST(Controls, KeyboardWorksAsInADialog) {
    KeyForm form;
    form.Show();
    ASSERT_EQ(GetFocus(), form.Text1.hwnd()) << "the keyboard starts on the first control";
    struct Row { bw::ui::Control* focus; WPARAM key; const char* pressed; HWND focusAfter; };
    const Row rows[] = {
        {&form.Text1, VK_RETURN, "ok ", form.Text1.hwnd()},       // Enter: the default button
        {&form.cmdGo, VK_RETURN, "go ", form.cmdGo.hwnd()},       // unless a button has the focus
        {&form.Check1, VK_ESCAPE, "cancel ", form.Check1.hwnd()},  // Esc: Cancel
        {&form.Text1, VK_TAB, "", form.Check1.hwnd()},
        {&form.Check1, VK_SPACE, "", form.Check1.hwnd()},
    };
    for (const Row& row : rows) {
        form.pressed.clear();
        row.focus->SetFocus();
        Press(GetFocus(), row.key);
        EXPECT_EQ(form.pressed, row.pressed) << row.key;
        EXPECT_EQ(GetFocus(), row.focusAfter) << row.key;
    }
    EXPECT_EQ(form.Check1.Value(), 1) << "Space ticks the box";
}

}  // namespace
