// Drive list, folder tree list and result list of the disk cleaner.
#include "diskclean/DriveLists.h"

#include <algorithm>

#include "platform/Drives.h"
#include "platform/FileOperations.h"
#include "platform/FileSystem.h"
#include "platform/TextCompare.h"

namespace bw::diskclean {

namespace {

std::string DriveOf(const std::string& path) {
    if (path.size() < 2 || path[1] != ':') return {};
    char letter = path[0];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    return std::string(1, letter) + ":";
}

bool LessNoCase(const std::string& a, const std::string& b) { return platform::CompareNoCase(a, b) < 0; }

}  // namespace

void DriveListBox::Fill() {
    const std::string current = Drive();
    roots_ = platform::LogicalDriveStrings();
    Clear();
    for (const std::string& root : roots_) {
        std::string shown = root.substr(0, 2);
        shown[0] = static_cast<char>(shown[0] >= 'A' && shown[0] <= 'Z' ? shown[0] - 'A' + 'a' : shown[0]);
        AddItem(shown);
    }
    if (!current.empty()) SetDrive(current, false);
}

std::string DriveListBox::Drive() const {
    int i = ListIndex();
    if (i < 0 || i >= static_cast<int>(roots_.size())) return {};
    return DriveOf(roots_[static_cast<size_t>(i)]);
}

bool DriveListBox::SetDrive(const std::string& path, bool notify) {
    const std::string drive = DriveOf(path);
    for (size_t i = 0; i < roots_.size(); ++i) {
        if (DriveOf(roots_[i]) != drive) continue;
        const bool changed = Drive() != drive;
        SetListIndex(static_cast<int>(i), false);
        if (changed && notify && onDriveChange) onDriveChange();
        return true;
    }
    return false;
}

void DriveListBox::OnCommand(WORD code) {
    if (code == CBN_SELCHANGE && onDriveChange) onDriveChange();
}

bool DirListBox::SetPath(const std::string& path) {
    if (path.size() < 2 || path[1] != ':' || !platform::fs::FolderExists(path)) return false;
    std::string normal = DriveOf(path) + path.substr(2);
    while (normal.size() > 3 && normal.back() == '\\') normal.pop_back();
    if (normal.size() == 2) normal += "\\";
    const bool changed = normal != path_;
    path_ = normal;
    Refill();
    if (changed && onPathChange) onPathChange();
    return true;
}

std::string DirListBox::PathAt(int index) const {
    if (index < 0 || index >= static_cast<int>(paths_.size())) return {};
    return paths_[static_cast<size_t>(index)];
}

void DirListBox::Refill() {
    paths_.clear();
    Clear();
    if (path_.empty()) return;
    // The chain from the root down to the current folder.
    std::string root = path_.substr(0, 3);
    paths_.push_back(root);
    AddItem(root);
    size_t depth = 0;
    size_t pos = 3;
    while (pos < path_.size()) {
        size_t slash = path_.find('\\', pos);
        std::string name = path_.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        ++depth;
        paths_.push_back(path_.substr(0, slash == std::string::npos ? std::string::npos : slash));
        AddItem(std::string(2 * depth, ' ') + name);
        if (slash == std::string::npos) break;
        pos = slash + 1;
    }
    const int current = static_cast<int>(paths_.size()) - 1;
    // The current folder's subfolders, one level deeper.
    std::vector<std::string> names;
    platform::fs::ListFolder(path_, [&](const platform::fs::DirEntry& entry) {
        if (entry.IsFolder()) names.push_back(entry.name);
        return true;
    });
    std::sort(names.begin(), names.end(), LessNoCase);
    const std::string base = path_.back() == '\\' ? path_ : path_ + "\\";
    for (const std::string& name : names) {
        paths_.push_back(base + name);
        AddItem(std::string(2 * (depth + 1), ' ') + name);
    }
    SetListIndex(current, false);
}

void DirListBox::OnCommand(WORD code) {
    if (code == LBN_DBLCLK) SetPath(PathAt(ListIndex()));
}

void DirListBox::ResetState() {
    path_.clear();
    paths_.clear();
}

bool DirListBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == WM_KEYDOWN && wp == VK_RETURN) {
        SetPath(PathAt(ListIndex()));
        *result = 0;
        return true;
    }
    return false;
}

int ResultListBox::AddLines(const std::vector<std::string>& lines, const std::vector<std::wstring>& paths) {
    if (!hwnd() || lines.empty() || lines.size() != paths.size()) return 0;
    const size_t added = AddItems(lines);
    paths_.insert(paths_.end(), paths.begin(), paths.begin() + static_cast<std::ptrdiff_t>(added));
    return TextWidth(lines);
}

void ResultListBox::Clear() {
    ui::ListBox::Clear();
    paths_.clear();
}

std::wstring ResultListBox::TruePath(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= paths_.size() || static_cast<size_t>(ListCount()) != paths_.size())
        return {};
    return paths_[static_cast<size_t>(index)];
}

}  // namespace bw::diskclean
