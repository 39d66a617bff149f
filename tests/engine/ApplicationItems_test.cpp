// The application items on the run's Wine prefix: the registry lists and files of programs that
// are present go, everything beside them stays; programs that are absent leave the prefix as it
// was.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "engine/EraseItems.h"
#include "settings/Inifun.h"
#include "tests/support/Overrides.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;
using bw::Inifun::WriteIni;

namespace {

const char* const kMoreApplications[] = {
    "ACDSee5", "ACDsee4",  "AcrobatReader4", "AcrobatReader5", "AOL",    "CuteFTP", "DivxPlayer", "FlashGet",
    "GetRight", "Hotbar",  "ICQ",            "KaZaA",          "Morpheus", "NetVampire", "MSNMessager", "PowerDVD",
    "QuickTime", "SWiSH",  "ThePlayer",      "Winamp",         "WinRar", "Aol70",   "Yahoo!"};
const char* const kVendorKeys[] = {"Software\\ACD Systems", "Software\\Adobe",        "Software\\DivXNetworks",
                                   "Software\\JetCar",      "Software\\Headlight",    "Software\\Hotbar",
                                   "Software\\Morpheus",    "Software\\DJJ Holdings", "Software\\WinRAR"};
const char kPrograms[] = "C:\\Program Files";
const char* const kProgramFolders[] = {"GlobalSCAPE", "FlashGet", "GetRight", "Hotbar", "ICQ", "KaZaA",
                                       "Net Vampire", "CyberLink", "Winamp", "America Online 7.0", "Yahoo!"};

class MoreApplications : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* key : kMoreApplications) WriteIni(settings_, "MOREAPPLICATIONS", key, "1");
        run_.settingsFile = settings_;
    }
    void TearDown() override {
        for (const char* key : kVendorKeys) DeleteTree(HKEY_CURRENT_USER, key);
        for (const char* folder : kProgramFolders)
            RunUnix("/bin/rm", {"-rf", UnixPath(std::string(kPrograms) + "\\" + folder)});
    }
    TempDir program_;
    std::string settings_ = program_ / "bwsd.dat";
    bw::EraseRun run_;
};

TEST_F(MoreApplications, AbsentProgramsLeaveRegistryAndDiskAsTheyWereAndCount51) {
    TempDir personal;
    ValueOverride documents(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                            "Personal", &personal.path());
    bw::items::MoreApplications(run_);
    EXPECT_EQ(run_.regnum, 51);
    for (const char* key : kVendorKeys) EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key)) << key;
    for (const char* folder : kProgramFolders)
        EXPECT_FALSE(PathExists(std::string(kPrograms) + "\\" + folder)) << folder;
    EXPECT_FALSE(PathExists(personal / "My Received Files"));
}

TEST_F(MoreApplications, PresentProgramsLoseTheirListsAndFilesAndKeepTheRest) {
    const std::string acd = "Software\\ACD Systems\\ACDSee", divx = "Software\\DivXNetworks\\DivX Player";
    SetString(HKEY_CURRENT_USER, acd, "ImageDB", "C:\\photos.db");
    SetString(HKEY_CURRENT_USER, acd, "Favorites", "C:\\holiday");
    SetString(HKEY_CURRENT_USER, acd + "\\50", "HistPaths", "C:\\holiday");
    SetString(HKEY_CURRENT_USER, acd + "\\50", "Zoom", "kept");
    SetString(HKEY_CURRENT_USER, divx + "\\file", "x", "C:\\movie.avi");
    for (const char* name : {"File1", "File8"}) SetString(HKEY_CURRENT_USER, divx, name, "C:\\movie.avi");
    SetString(HKEY_CURRENT_USER, "Software\\Headlight\\GetRight\\MRU", "1", "http://file.example/");
    TempDir personal, outside;
    ValueOverride documents(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                            "Personal", &personal.path());
    const std::string p = kPrograms;
    for (const std::string& file :
         {p + "\\KaZaA\\Db\\a.dbb", p + "\\KaZaA\\Db\\sub\\b.dbb", p + "\\Hotbar\\v3.0\\dynamic\\d\\x.gif",
          p + "\\Hotbar\\v3.0\\static\\y.gif", p + "\\Winamp\\list.m3u", p + "\\Winamp\\winamp.ini",
          p + "\\Yahoo!\\Messenger\\IMVCache\\c\\z.gif", personal / "My Received Files\\photo.jpg"}) {
        MakeDirs(file.substr(0, file.rfind('\\')));
        WriteTextFile(file, "data");
    }
    WriteTextFile(outside / "precious.doc", "the user's own");
    ASSERT_TRUE(MakeLink(outside.path(), p + "\\Hotbar\\v3.0\\dynamic\\linked"));

    bw::items::MoreApplications(run_);

    EXPECT_EQ(run_.regnum, 51);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, acd, "ImageDB"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, acd + "\\50", "HistPaths"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, acd + "\\50", "Zoom"));
    for (const char* name : {"Favorites", "LastFolder", "Openfolder"}) {  // emptied, or made empty
        std::string value = "?";
        EXPECT_TRUE(GetString(HKEY_CURRENT_USER, acd, name, &value) && value.empty()) << name;
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, divx + "\\file"));
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, divx), 1);  // "file", empty
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, divx, "file"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Headlight\\GetRight\\MRU"));
    for (const std::string& gone : {p + "\\KaZaA\\Db\\a.dbb", p + "\\Hotbar\\v3.0\\dynamic\\d",
                                    p + "\\Hotbar\\v3.0\\static\\y.gif", p + "\\Winamp\\list.m3u",
                                    p + "\\Yahoo!\\Messenger\\IMVCache\\c", personal / "My Received Files\\photo.jpg"})
        EXPECT_FALSE(PathExists(gone)) << gone;
    for (const std::string& kept : {p + "\\KaZaA\\Db\\sub\\b.dbb", p + "\\Winamp\\winamp.ini",
                                    p + "\\Yahoo!\\Messenger\\IMVCache", outside / "precious.doc"})
        EXPECT_TRUE(PathExists(kept)) << kept;
}

TEST(ApplicationItems, PlayerAndOfficeListsEndEmptyAndTheirSiblingsStay) {
    const std::string office = "Software\\Microsoft\\Office\\", real = "Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\";
    struct List {
        HKEY root;
        std::string key;
    };
    const List lists[] = {{HKEY_CURRENT_USER, "Software\\Nico Mak Computing\\WinZip\\filemenu"},
                          {HKEY_CURRENT_USER, "Software\\Microsoft\\MediaPlayer\\Player\\RecentURLList"},
                          {HKEY_CURRENT_USER, office + "9.0\\Word\\Data"},
                          {HKEY_CURRENT_USER, office + "8.0\\Excel\\Recent File List"},
                          {HKEY_CURRENT_USER, office + "10.0\\PowerPoint\\Recent File List"},
                          {HKEY_CURRENT_USER, "Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\Recent File List"},
                          {HKEY_CURRENT_USER, office + "10.0\\Access\\Settings"},
                          {HKEY_CLASSES_ROOT, real + "HistoryList"}};
    for (const List& list : lists) SetString(list.root, list.key, "File1", "C:\\secret.doc");
    SetString(HKEY_CLASSES_ROOT, real + "MostRecentClips8", "", "C:\\clip.rm");
    SetString(HKEY_CURRENT_USER, office + "9.0\\Word\\Options", "Keep", "1");
    TempDir program;
    bw::EraseRun run;
    run.settingsFile = program / "bwsd.dat";
    for (const char* key : {"word", "excel", "powerpoint", "frontpage", "access"}) WriteIni(run.settingsFile, "OFFICE", key, "1");

    for (auto item : {bw::items::WinzipRecent, bw::items::MediaPlayerPlaylist, bw::items::RealOnePlaylist,
                      bw::items::RealPlayerPlaylist, bw::items::OfficeTracks})
        item(run);

    for (const List& list : lists) EXPECT_EQ(ValueCount(list.root, list.key), 0) << list.key;
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, real + "MostRecentClips8"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, office + "9.0\\Word\\Options", "Keep"));
    EXPECT_EQ(run.regnum, 0);  // the fixed counts are the run's
    for (const char* key : {"Software\\Nico Mak Computing", "Software\\Microsoft\\Office", "Software\\Microsoft\\FrontPage"})
        DeleteTree(HKEY_CURRENT_USER, key);
    DeleteTree(HKEY_CLASSES_ROOT, "Software\\RealNetworks");
}

}  // namespace
