// The pattern list editor driven through its controls: Add, Remove, Default, and the search
// text of the disk cleaner window following every change.
#include <gtest/gtest.h>

#include "ui/Forms.h"
#include "diskclean/ExtentionHandller.h"
#include "diskclean/frmExtentions.h"
#include "diskclean/frmLocate.h"
#include "platform/AppSettings.h"
#include "platform/LineFile.h"
#include "tests/support/ProgramFolder.h"

using bw::frmExtentions;
using bw::frmLocate;
using bw::platform::GetSetting;
using namespace bw::test;

namespace {

class PatternEditor : public ::testing::Test {
protected:
    void SetUp() override {
        bw::platform::OverrideAppSettingsRoot(reg_.subkey());
        bw::ExtentionHandller::WriteDefaultPatterns();
        locate_ = &bw::ui::Get<frmLocate>();
        locate_->Load();
        editor_ = &bw::ui::Get<frmExtentions>();
        editor_->Load();
    }
    void TearDown() override {
        bw::ui::Release<frmExtentions>();
        bw::ui::Release<frmLocate>();
        bw::platform::OverrideAppSettingsRoot("");
    }
    std::vector<std::string> Listed() const {
        std::vector<std::string> items;
        for (int i = 0; i < editor_->lstFileTypes.ListCount(); ++i) items.push_back(editor_->lstFileTypes.List(i));
        return items;
    }
    std::string Ext() const { return ReadTextFile(folder_.file("Ext.txt")); }
    void Add(const std::string& text) {
        editor_->txtAdd.SetText(text);
        SendMessageA(editor_->cmdAdd.hwnd(), BM_CLICK, 0, 0);
    }
    void Select(const std::string& pattern) {
        for (int i = 0; i < editor_->lstFileTypes.ListCount(); ++i)
            if (editor_->lstFileTypes.List(i) == pattern) editor_->lstFileTypes.SetListIndex(i);
    }

    ProgramFolder folder_;
    TempRegKey reg_;
    frmLocate* locate_ = nullptr;
    frmExtentions* editor_ = nullptr;
};

}  // namespace

TEST_F(PatternEditor, OpeningListsThePatternsAndStoresMaxLogSizeOnce) {
    EXPECT_EQ(editor_->Caption(), "Options");
    EXPECT_EQ(Listed(), (std::vector<std::string>{"*.tmp", "*.gid", "*.swp", "*.chk"}));
    EXPECT_EQ(editor_->txtAdd.Text(), "*.");
    EXPECT_EQ(GetSetting("DriveScrub", "General", "MaxLogSize", "<missing>"), "80");
    bw::ui::Release<frmExtentions>();
    bw::platform::SaveSetting("DriveScrub", "General", "MaxLogSize", "120");
    bw::ui::Get<frmExtentions>().Load();
    EXPECT_EQ(GetSetting("DriveScrub", "General", "MaxLogSize", "<missing>"), "120");
}

TEST_F(PatternEditor, AddAppendsTrimmedPatternsAndUpdatesTheSearchText) {
    Add("  *.bak  ");
    EXPECT_EQ(Ext(), "*.tmp\r\n*.gid\r\n*.swp\r\n*.chk\r\n*.bak\r\n");
    EXPECT_EQ(locate_->Text1.Text(), "*.tmp;*.gid;*.swp;*.chk;*.bak");
    EXPECT_EQ(Listed().back(), "*.bak");
    EXPECT_EQ(editor_->txtAdd.Text(), "*.");

    Add("*.tmp");  // a second copy is stored too
    EXPECT_EQ(locate_->Text1.Text(), "*.tmp;*.gid;*.swp;*.chk;*.bak;*.tmp");
    Add("*.x;*.y");  // one line, two search entries
    EXPECT_EQ(Listed().back(), "*.x;*.y");
    EXPECT_EQ(locate_->Text1.Text(), "*.tmp;*.gid;*.swp;*.chk;*.bak;*.tmp;*.x;*.y");
}

TEST_F(PatternEditor, AddRefusesWhatIsNotAPattern) {
    for (const char* bad : {".bak", "*bak", "*.", "   "}) {
        MessageBoxWatcher watcher(IDOK);
        Add(bad);
        ASSERT_EQ(watcher.boxes().size(), 1u) << bad;
        EXPECT_EQ(watcher.boxes()[0].title, "Error");
        EXPECT_EQ(watcher.boxes()[0].text, "Please fill a legal extention name and try again!");
        EXPECT_EQ(editor_->txtAdd.Text(), "*.");
    }
    EXPECT_EQ(Ext(), "*.tmp\r\n*.gid\r\n*.swp\r\n*.chk\r\n");
    EXPECT_EQ(locate_->Text1.Text(), "*.tmp;*.gid;*.swp;*.chk");
}

TEST_F(PatternEditor, RemoveDropsTheSelectedPatternEverywhereAndKeepsOtherLines) {
    WriteTextFile(folder_.file("Ext.txt"), "*.tmp\r\nnot a pattern\r\n*.gid\r\n*.tmp\r\n");
    WriteTextFile(folder_.file("temp"), "*.leftover\r\n");  // from an earlier version's interrupted Remove
    editor_->FillPatternList();
    locate_->Text1.SetText("typed by the user");
    Select("*.tmp");
    SendMessageA(editor_->cmdRemove.hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(Ext(), "not a pattern\r\n*.gid\r\n");
    EXPECT_EQ(Listed(), (std::vector<std::string>{"*.gid"}));
    EXPECT_EQ(locate_->Text1.Text(), "*.gid");
    EXPECT_EQ(ReadTextFile(folder_.file("temp")), "*.leftover\r\n") << "never read, never removed";

    // Nothing selected: nothing but empty lines goes.
    WriteTextFile(folder_.file("Ext.txt"), "*.gid\r\n\r\n*.chk\r\n");
    editor_->FillPatternList();
    SendMessageA(editor_->cmdRemove.hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(Ext(), "*.gid\r\n*.chk\r\n");
}

TEST_F(PatternEditor, DefaultAsksAndRestoresTheFourPatterns) {
    WriteTextFile(folder_.file("Ext.txt"), "*.bak\r\n");
    editor_->FillPatternList();
    {
        MessageBoxWatcher no(IDNO);
        SendMessageA(editor_->cmdDefault.hwnd(), BM_CLICK, 0, 0);
        ASSERT_EQ(no.boxes().size(), 1u);
        EXPECT_EQ(no.boxes()[0].title, "Warnning:");
        EXPECT_EQ(no.boxes()[0].text, "Are you sure you want to Return to the defaul settings?");
    }
    EXPECT_EQ(Ext(), "*.bak\r\n");
    EXPECT_EQ(Listed(), (std::vector<std::string>{"*.bak"}));
    {
        MessageBoxWatcher yes(IDYES);
        SendMessageA(editor_->cmdDefault.hwnd(), BM_CLICK, 0, 0);
    }
    EXPECT_EQ(Ext(), "*.tmp\r\n*.gid\r\n*.swp\r\n*.chk\r\n");
    EXPECT_EQ(Listed(), (std::vector<std::string>{"*.tmp", "*.gid", "*.swp", "*.chk"}));
    EXPECT_EQ(locate_->Text1.Text(), "*.tmp;*.gid;*.swp;*.chk");

    SendMessageA(editor_->cmdDone.hwnd(), BM_CLICK, 0, 0);
    EXPECT_FALSE(editor_->IsLoaded());
    EXPECT_TRUE(locate_->IsLoaded());
}

TEST_F(PatternEditor, ATwentyThousandLinePatternFileIsListedWhole) {
    std::string content;
    for (int i = 0; i < 20000; ++i)
        content += "*.e" + std::to_string(i) + (i % 1000 == 999 ? "\r\nremark\r\n" : "\r\n");
    WriteTextFile(folder_.file("Ext.txt"), content);
    bw::ui::Release<frmExtentions>();
    editor_ = &bw::ui::Get<frmExtentions>();
    editor_->Load();
    editor_->Show();
    PumpMessages();
    ASSERT_EQ(editor_->lstFileTypes.ListCount(), 20000);
    EXPECT_EQ(editor_->lstFileTypes.List(0), "*.e0");
    EXPECT_EQ(editor_->lstFileTypes.List(19999), "*.e19999");
    EXPECT_TRUE(IsWindowVisible(editor_->lstFileTypes.hwnd()));

    Select("*.e19999");
    SendMessageA(editor_->cmdRemove.hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(editor_->lstFileTypes.ListCount(), 19999);
    EXPECT_EQ(locate_->Text1.Text().substr(0, 14), "*.e0;*.e1;*.e2");
}

TEST_F(PatternEditor, APatternFileAboveTheSizeLimitOpensAnEmptyList) {
    WriteTextFile(folder_.file("Ext.txt"), "*.tmp\r\n" + std::string(bw::platform::kMaxListFileBytes, 'x'));
    bw::ui::Release<frmExtentions>();
    editor_ = &bw::ui::Get<frmExtentions>();
    editor_->Load();
    EXPECT_EQ(editor_->lstFileTypes.ListCount(), 0);
    Add("*.bak");  // refused quietly: the damaged file is not rewritten
    EXPECT_EQ(editor_->lstFileTypes.ListCount(), 0);
    EXPECT_EQ(ReadTextFile(folder_.file("Ext.txt")).size(), bw::platform::kMaxListFileBytes + 7);
    {
        MessageBoxWatcher yes(IDYES);
        SendMessageA(editor_->cmdDefault.hwnd(), BM_CLICK, 0, 0);
    }
    EXPECT_EQ(Listed(), (std::vector<std::string>{"*.tmp", "*.gid", "*.swp", "*.chk"}));
}
