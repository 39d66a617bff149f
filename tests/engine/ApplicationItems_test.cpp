// More Applications on the run's Wine prefix: programs that are absent leave it as it was;
// present ones lose their lists and files, and everything beside them stays.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "engine/EraseItems.h"
#include "engine/EraseRunner.h"
#include "settings/Inifun.h"
#include "tests/support/Overrides.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;

namespace {

const char* const kVendorKeys[] = {"Software\\ACD Systems", "Software\\Adobe",     "Software\\DivXNetworks",
                                   "Software\\JetCar",      "Software\\Headlight", "Software\\Hotbar",
                                   "Software\\Morpheus",    "Software\\DJJ Holdings", "Software\\WinRAR"};
const std::string kP = "C:\\Program Files\\";
const char* const kFolders[] = {"GlobalSCAPE", "FlashGet", "GetRight", "Hotbar", "ICQ", "KaZaA", "Net Vampire",
                                "CyberLink", "Winamp", "America Online 7.0", "Yahoo!"};

class MoreApplications : public ::testing::Test {
protected:
    void SetUp() override {
        run_.settingsFile = program_ / "bwsd.dat";
        for (const char* key : {"ACDSee5", "ACDsee4", "AcrobatReader4", "AcrobatReader5", "AOL", "CuteFTP", "DivxPlayer",
                                "FlashGet", "GetRight", "Hotbar", "ICQ", "KaZaA", "Morpheus", "NetVampire", "MSNMessager",
                                "PowerDVD", "QuickTime", "SWiSH", "ThePlayer", "Winamp", "WinRar", "Aol70", "Yahoo!"})
            bw::Inifun::WriteIni(run_.settingsFile, "MOREAPPLICATIONS", key, "1");
    }
    void TearDown() override {
        for (const char* key : kVendorKeys) DeleteTree(HKEY_CURRENT_USER, key);
        for (const char* folder : kFolders) RunUnix("/bin/rm", {"-rf", UnixPath(kP + folder)});
    }
    TempDir program_, personal_, outside_;
    ValueOverride documents_{HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                             "Personal", &personal_.path()};
    bw::EraseRun run_;
};

TEST_F(MoreApplications, AbsentProgramsLeaveRegistryAndDiskAsTheyWereAndCountNothing) {
    bw::EraseItem(bw::items::MoreApplications, run_);
    EXPECT_EQ(run_.regnum, 0);
    for (const char* key : kVendorKeys) EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key)) << key;
    for (const char* folder : kFolders) EXPECT_FALSE(PathExists(kP + folder)) << folder;
    EXPECT_FALSE(PathExists(personal_ / "My Received Files"));
}

TEST_F(MoreApplications, PresentProgramsLoseTheirListsAndFilesAndKeepTheRest) {
    const std::string acd = "Software\\ACD Systems\\ACDSee", divx = "Software\\DivXNetworks\\DivX Player";
    SetString(HKEY_CURRENT_USER, acd, "Favorites", "C:\\holiday");
    SetString(HKEY_CURRENT_USER, acd + "\\50", "HistPaths", "C:\\holiday");
    SetString(HKEY_CURRENT_USER, acd + "\\50", "Zoom", "kept");
    SetString(HKEY_CURRENT_USER, divx + "\\file", "x", "C:\\movie.avi");
    SetString(HKEY_CURRENT_USER, divx, "File8", "C:\\movie.avi");
    for (const std::string& file : {kP + "KaZaA\\Db\\a.dbb", kP + "KaZaA\\Db\\sub\\b.dbb", kP + "Winamp\\winamp.ini",
                                    kP + "Yahoo!\\Messenger\\IMVCache\\c\\z.gif", personal_ / "My Received Files\\p.jpg"}) {
        MakeDirs(file.substr(0, file.rfind('\\')));
        WriteTextFile(file, "data");
    }
    WriteTextFile(outside_ / "precious.doc", "the user's own");
    ASSERT_TRUE(MakeLink(outside_.path(), kP + "Yahoo!\\Messenger\\IMVCache\\linked"));

    bw::EraseItem(bw::items::MoreApplications, run_);

    // HistPaths, Favorites made empty, the key "file" and File8: what was there, measured.
    EXPECT_EQ(run_.regnum, 4);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, acd + "\\50", "HistPaths"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, acd + "\\50", "Zoom"));
    for (const char* name : {"Favorites", "LastFolder", "Openfolder"}) {  // emptied, or made empty
        std::string value = "?";
        EXPECT_TRUE(GetString(HKEY_CURRENT_USER, acd, name, &value) && value.empty()) << name;
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, divx + "\\file"));
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, divx), 1);  // "file", empty
    for (const std::string& gone : {kP + "KaZaA\\Db\\a.dbb", kP + "Yahoo!\\Messenger\\IMVCache\\c",
                                    personal_ / "My Received Files\\p.jpg"})
        EXPECT_FALSE(PathExists(gone)) << gone;
    for (const std::string& kept : {kP + "KaZaA\\Db\\sub\\b.dbb", kP + "Winamp\\winamp.ini", outside_ / "precious.doc"})
        EXPECT_TRUE(PathExists(kept)) << kept;
}

}  // namespace
