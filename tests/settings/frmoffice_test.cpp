// The Office option window: select all drives its five boxes, "OK" writes them.
#include <gtest/gtest.h>

#include "settings/Inifun.h"
#include "settings/frmoffice.h"
#include "tests/support/ProgramFolder.h"
#include "ui/Forms.h"

TEST(frmoffice, SelectAllDrivesAllFiveBoxesAndOkWritesThem) {
    bw::test::ProgramFolder folder;
    bw::frmoffice& form = bw::ui::Get<bw::frmoffice>();
    form.Load();
    form.Check5.SetValue(1);
    form.Check3.SetValue(0);
    form.Command1_Click();
    std::string stored;
    for (const char* key : {"word", "excel", "powerpoint", "frontpage", "access"})
        stored += bw::Inifun::ReadIni(folder.settings(), "OFFICE", key);
    EXPECT_EQ(stored, "11011");
}
