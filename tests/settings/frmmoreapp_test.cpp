// The More Applications option window: every box bound to its own key.
#include <gtest/gtest.h>

#include "settings/Inifun.h"
#include "settings/frmmoreapp.h"
#include "tests/support/ProgramFolder.h"
#include "ui/Forms.h"

using bw::Inifun::ReadIni;

TEST(frmmoreapp, BoxesLoadAndSaveTheirOwnKeys) {
    bw::test::ProgramFolder folder;
    bw::Inifun::WriteIni(folder.settings(), "MOREAPPLICATIONS", "NetVampire", "1");  // Check15, listed before Check14
    bw::frmmoreapp& form = bw::ui::Get<bw::frmmoreapp>();
    form.Load();
    EXPECT_EQ(form.Check15.Value() * 10 + form.Check14.Value(), 10);
    form.Check23.SetValue(1);
    form.Command1_Click();
    EXPECT_EQ(ReadIni(folder.settings(), "MOREAPPLICATIONS", "Yahoo!") + ReadIni(folder.settings(), "MOREAPPLICATIONS", "ACDSee5"),
              "10");  // all 23 are written
}
