// The Office option window: its five boxes, select all, and "OK".
#include <gtest/gtest.h>

#include "settings/Inifun.h"
#include "settings/frmoffice.h"
#include "tests/support/ProgramFolder.h"
#include "ui/Forms.h"

using bw::Inifun::ReadIni;

TEST(frmoffice, SelectAllDrivesAllFiveBoxesAndOkWritesThem) {
    bw::test::ProgramFolder folder;
    bw::frmoffice& form = bw::ui::Get<bw::frmoffice>();
    form.Load();
    form.Check5.SetValue(1);
    for (auto* box : {&form.Check1, &form.Check2, &form.Check3, &form.Check4, &form.Check6}) EXPECT_EQ(box->Value(), 1);
    form.Check3.SetValue(0);
    form.Command1_Click();
    EXPECT_FALSE(form.IsLoaded());
    for (const char* key : {"word", "excel", "frontpage", "access"}) EXPECT_EQ(ReadIni(folder.settings(), "OFFICE", key), "1");
    EXPECT_EQ(ReadIni(folder.settings(), "OFFICE", "powerpoint"), "0");
    bw::ui::Release<bw::frmoffice>();
}
