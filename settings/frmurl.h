// "URL Drop-List Options": the typed addresses of the browser's address bar beside the list of
// addresses to keep when that list is erased ("keepurl.dat" in the program folder). Every change
// of the keep list is written to its file at once; the window has no OK button.
#pragma once
#include <string>

#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Form.h"
#include "ui/Lists.h"
#include "ui/Statics.h"

namespace bw {

class frmurl : public ui::Form {
public:
    frmurl();

    ui::Frame Frame1;                                     // "URL Drop-List"
    ui::Label Label1;                                     // "Current URL List"
    ui::ListBox List2;                                    // typed addresses as they are now
    ui::Label Label2;                                     // "URL Keep List"
    ui::ListBox List1{ui::ListBox::Select::Extended};     // addresses to keep
    ui::CommandButton cmdAdd;                             // "Add >"
    ui::CommandButton cmdRemove;                          // "< Remove"

    void cmdAdd_Click();
    void cmdRemove_Click();

protected:
    void Build() override;
    // Fills List2 from HKCU\Software\Microsoft\Internet Explorer\TypedURLs (empty when the key
    // is missing) and List1 from "keepurl.dat" (left empty when the file is missing).
    void Form_Load() override;
};

// The keep-list behaviour both keep-list windows share.
namespace keeplist {

// Fills `keep` with the lines of `file` (platform::ReadLines), trailing spaces removed, all in
// one go; leaves it alone when the file does not exist or cannot be read (also when it is larger
// than platform::kMaxListFileBytes or longer than platform::kMaxListLines: such a file is no
// keep list).
void Load(ui::ListBox& keep, const std::string& file);

// Appends the selected entry of `current` ("" when none is selected) without trailing spaces as
// a line to `file` (created when missing; an unended last line is ended first, so the two
// entries stay apart), then shows it in `keep`. When the file cannot be written (or exists but
// cannot be read) nothing is shown, so the window never shows an entry the file does not keep.
void Add(const ui::ListBox& current, ui::ListBox& keep, const std::string& file);

// Removes every selected entry of `keep`, then rewrites `file` with the rest, in order (also
// when nothing was selected), with platform::WriteLines (never written through a link).
void Remove(ui::ListBox& keep, const std::string& file);

}  // namespace keeplist

}  // namespace bw
