// The disk cleaner's drive list, folder list and result list: standard COMBOBOX and LISTBOX
// controls with the behaviour of a drive picker, a folder tree and a multi-select result list.
#pragma once
#include <string>
#include <vector>

#include "ui/Lists.h"

namespace bw::diskclean {

// The logical drives, shown as "c:" and so on. onChange reports a drive picked by the user
// or set by SetDrive.
class DriveListBox : public ui::ComboBox {
public:
    std::function<void()> onDriveChange;
    // Lists the logical drives afresh; the selection stays on the same drive when it is still there.
    void Fill();
    // The chosen drive as "C:"; empty when none is chosen.
    std::string Drive() const;
    // Chooses the drive of `path` ("d:", "D:\", "D:\folder"); `notify` runs onDriveChange when
    // the choice changed. False when that drive is not in the list.
    bool SetDrive(const std::string& path, bool notify);
    void OnCommand(WORD code) override;

protected:
    void AfterCreate() override { Fill(); }

private:
    std::vector<std::string> roots_;
};

// The folder tree of the current drive: the drive root, each folder down to the current one
// (indented by depth), then the current folder's subfolders one level deeper, sorted by name.
// A double click (or Enter) on a line makes it the current folder. onPathChange runs whenever
// the current folder changes, by the user or by SetPath.
class DirListBox : public ui::ListBox {
public:
    DirListBox() : ui::ListBox(Select::Single) {}
    std::function<void()> onPathChange;
    // The current folder: "C:\" for a drive root, "C:\a\b" (no trailing backslash) otherwise;
    // empty before the first SetPath.
    std::string Path() const { return path_; }
    // Makes `path` the current folder (trailing backslash or not) and lists the tree; runs
    // onPathChange when it differs from the current one. False, and nothing changes, when it
    // is not an existing folder.
    bool SetPath(const std::string& path);
    // The folder a line of the list stands for; empty for an index out of range.
    std::string PathAt(int index) const;
    void OnCommand(WORD code) override;

protected:
    void ResetState() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    void Refill();
    std::string path_;
    std::vector<std::string> paths_;
};

// The result list: several lines selectable at once; lines are added a batch at a time with
// drawing held off, and the whole list is selected or cleared with one request. Beside each
// line the list keeps the true path of the file the line stands for: the line shows the path in
// the code page ('?' where a name holds a character the code page lacks), and only the true
// path reaches the file.
class ResultListBox : public ui::ListBox {
public:
    ResultListBox() : ui::ListBox(Select::Extended) {}
    // Appends the lines in order, `paths[i]` the true path of `lines[i]` (the two the same
    // length), and returns the widest line in pixels in the list's font. Lines the list refuses
    // (out of memory) are left out with their paths.
    int AddLines(const std::vector<std::string>& lines, const std::vector<std::wstring>& paths);
    // Empties the list and the paths with it.
    void Clear();
    // The true path of line `index`; empty when out of range or when the list's lines no longer
    // agree with the paths kept (lines added or removed other than through this class), so a
    // line never reaches a file it does not stand for.
    std::wstring TruePath(int index) const;

protected:
    void ResetState() override { paths_.clear(); }

private:
    std::vector<std::wstring> paths_;
};

}  // namespace bw::diskclean
