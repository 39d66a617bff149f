// The More Applications option window: every box bound to its own key.
#include <gtest/gtest.h>

#include "settings/Inifun.h"
#include "settings/frmmoreapp.h"
#include "tests/support/ProgramFolder.h"
#include "ui/Forms.h"

using bw::Inifun::ReadIni;
using bw::Inifun::WriteIni;

TEST(frmmoreapp, EachBoxLoadsAndSavesItsOwnKey) {
    bw::test::ProgramFolder folder;
    // Check14 and Check15 are bound out of their screen order.
    WriteIni(folder.settings(), "MOREAPPLICATIONS", "NetVampire", "1");
    WriteIni(folder.settings(), "MOREAPPLICATIONS", "Yahoo!", "1");
    bw::frmmoreapp& form = bw::ui::Get<bw::frmmoreapp>();
    form.Load();
    EXPECT_EQ(form.Check15.Value(), 1);
    EXPECT_EQ(form.Check14.Value(), 0);
    EXPECT_EQ(form.Check23.Value(), 1);
    form.Check14.SetValue(1);
    form.Check23.SetValue(0);
    form.Command1_Click();
    EXPECT_EQ(ReadIni(folder.settings(), "MOREAPPLICATIONS", "MSNMessager"), "1");
    EXPECT_EQ(ReadIni(folder.settings(), "MOREAPPLICATIONS", "Yahoo!"), "0");
    EXPECT_EQ(ReadIni(folder.settings(), "MOREAPPLICATIONS", "ACDSee5"), "0");  // all 23 are written
    bw::ui::Release<bw::frmmoreapp>();
}
