// Drive list, folder tree list and result list of the disk cleaner.
#include "diskclean/DriveLists.h"

#include <algorithm>

#include "platform/Drives.h"
#include "platform/FileOperations.h"
#include "platform/FileSystem.h"

namespace bw::diskclean {

namespace {

std::string DriveOf(const std::string& path) {
    if (path.size() < 2 || path[1] != ':') return {};
    char letter = path[0];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    return std::string(1, letter) + ":";
}

bool LessNoCase(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
}

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
        if (hwnd()) SendMessageA(hwnd(), CB_SETCURSEL, i, 0);
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
    int depth = 0;
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
    if (hwnd()) SendMessageA(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(current), 0);
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
    HWND list = hwnd();
    // Drawing held off and room made for the batch at once: adding a line then costs about a
    // microsecond instead of several (and milliseconds in a shown list that redraws each one).
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    size_t bytes = 0;
    for (const std::string& line : lines) bytes += line.size() + 1;
    SendMessageA(list, LB_INITSTORAGE, static_cast<WPARAM>(lines.size()), static_cast<LPARAM>(bytes));
    // The lines go straight to the list box's own procedure: the control's subclass has nothing
    // to do with them, and under Wine passing it costs a property lookup in the server per
    // message, several times what adding the line costs.
    const auto listProc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(list, GCLP_WNDPROC));
    for (const std::string& line : lines)
        CallWindowProcA(listProc, list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    paths_.insert(paths_.end(), paths.begin(), paths.end());
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);

    // Only the longest lines can be the widest; measuring each of them is enough. A line of
    // ASCII text measures as its characters' widths added up (a text extent takes no kerning),
    // which a table gives at once; other lines, where a code page may join two bytes into one
    // character, are measured by the font.
    size_t longest = 0;
    for (const std::string& line : lines) longest = std::max(longest, line.size());
    HDC dc = GetDC(list);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
    INT asciiWidths[128];
    const bool haveWidths = GetCharWidth32A(dc, 0, 127, asciiWidths) != 0;
    int widest = 0;
    for (const std::string& line : lines) {
        if (line.size() + 8 < longest) continue;  // proportional fonts: allow some slack
        int width = 0;
        bool ascii = haveWidths;
        for (size_t i = 0; ascii && i < line.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(line[i]);
            if (c < 128)
                width += asciiWidths[c];
            else
                ascii = false;
        }
        SIZE size{};
        if (!ascii) width = GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size) ? size.cx : 0;
        widest = std::max(widest, width);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(list, dc);
    return widest;
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

void ResultListBox::SelectAll(bool on) {
    if (hwnd()) SendMessageA(hwnd(), LB_SETSEL, on ? TRUE : FALSE, static_cast<LPARAM>(-1));
}

std::vector<int> ResultListBox::SelectedIndexes() const {
    std::vector<int> indexes;
    if (!hwnd()) return indexes;
    LRESULT count = SendMessageA(hwnd(), LB_GETSELCOUNT, 0, 0);
    if (count <= 0) return indexes;
    indexes.resize(static_cast<size_t>(count));
    LRESULT got = SendMessageA(hwnd(), LB_GETSELITEMS, static_cast<WPARAM>(count),
                               reinterpret_cast<LPARAM>(indexes.data()));
    indexes.resize(got > 0 ? static_cast<size_t>(got) : 0);
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

void ResultListBox::SetHorizontalExtent(int pixels) {
    if (hwnd()) SendMessageA(hwnd(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(pixels), 0);
}

int ResultListBox::HorizontalExtent() const {
    return hwnd() ? static_cast<int>(SendMessageA(hwnd(), LB_GETHORIZONTALEXTENT, 0, 0)) : 0;
}

}  // namespace bw::diskclean
