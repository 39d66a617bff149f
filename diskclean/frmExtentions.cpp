// The pattern list editor of the disk cleaner.
#include "diskclean/frmExtentions.h"

#include <string>
#include <utility>
#include <vector>

#include "ui/Forms.h"
#include "diskclean/ExtentionHandller.h"
#include "diskclean/frmLocate.h"
#include "platform/AppSettings.h"
#include "platform/MessageBox.h"

namespace bw {

namespace {

std::string TrimSpaces(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

frmExtentions::frmExtentions() : ui::Form("Options", 330, 250) {}

void frmExtentions::Build() {
    Layout({
        {&Frame1, nullptr, "Extention List:", 8, 8, 150, 234},
        {&lstFileTypes, &Frame1, "", 8, 20, 134, 206},
        {&Frame2, nullptr, "Extention Options:", 166, 8, 156, 234},
        {&Label2, &Frame2, "Extention:", 10, 22, 136, 16},
        {&txtAdd, &Frame2, "*.", 10, 40, 136, 22},
        {&cmdAdd, &Frame2, "&Add", 10, 72, 136, 26},
        {&cmdRemove, &Frame2, "&Remove", 10, 106, 136, 26},
        {&cmdDefault, &Frame2, "&Default", 10, 140, 136, 26},
        {&cmdDone, &Frame2, "D&one", 10, 196, 136, 26},
    });
    cmdAdd.onClick = [this] { cmdAdd_Click(); };
    cmdRemove.onClick = [this] { cmdRemove_Click(); };
    cmdDefault.onClick = [this] { cmdDefault_Click(); };
    cmdDone.onClick = [this] { cmdDone_Click(); };
}

void frmExtentions::Form_Load() {
    if (platform::GetSetting(frmLocate::kApp, "General", "MaxLogSize", "").empty())
        platform::SaveSetting(frmLocate::kApp, "General", "MaxLogSize", "80");
    FillPatternList();
}

void frmExtentions::FillPatternList() {
    std::vector<std::string> patterns;
    for (std::string& line : ExtentionHandller::ReadLines())
        if (ExtentionHandller::IsValidPattern(line)) patterns.push_back(std::move(line));
    lstFileTypes.Clear();
    lstFileTypes.AddItems(patterns);
}

void frmExtentions::PushPatternText() {
    if (ui::IsLoaded<frmLocate>()) ui::Get<frmLocate>().Text1.SetText(ExtentionHandller::LoadPatternString());
}

void frmExtentions::cmdAdd_Click() {
    const std::string pattern = TrimSpaces(txtAdd.Text());
    if (ExtentionHandller::IsValidPattern(pattern)) {
        ExtentionHandller::AppendPattern(pattern);
        FillPatternList();
        PushPatternText();
        txtAdd.SetText("*.");
        return;
    }
    platform::MsgBox(hwnd(), "Please fill a legal extention name and try again!", "Error", MB_OK | MB_ICONSTOP);
    txtAdd.SetText("*.");
    txtAdd.SetFocus();
}

void frmExtentions::cmdRemove_Click() {
    // With nothing selected the text is empty, and only empty lines go.
    const std::string selected = lstFileTypes.List(lstFileTypes.ListIndex());
    ExtentionHandller::RemovePattern(selected);
    FillPatternList();
    PushPatternText();
}

void frmExtentions::cmdDefault_Click() {
    if (platform::MsgBox(hwnd(), "Are you sure you want to Return to the defaul settings?", "Warnning:", MB_YESNO) !=
        IDYES)
        return;
    ExtentionHandller::WriteDefaultPatterns();
    FillPatternList();
    PushPatternText();
}

void frmExtentions::cmdDone_Click() { Unload(); }

}  // namespace bw
