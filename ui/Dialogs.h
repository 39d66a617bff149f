// The standard file dialogs (open, save) and the folder browser, each shown modally.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace bw::ui {

// `filter` is written in pipe form, description then pattern, repeated:
// "(*.htm)|*.htm" or "Web pages|*.htm;*.html|All files|*.*". A trailing pipe is allowed.
// Both dialogs return the full path chosen, or nullopt when the user cancels or the dialog
// cannot be shown. The save dialog asks before replacing an existing file and adds the first
// filter's extension to a name typed without one; the open dialog accepts only existing files.
// Neither changes the process's current directory.
std::optional<std::string> ShowSaveDialog(HWND owner, const std::string& filter,
                                          const std::string& initialName);
std::optional<std::string> ShowOpenDialog(HWND owner, const std::string& filter,
                                          const std::string& initialName);

// The shell's folder browser with `prompt` above the tree, file-system folders only.
// The chosen folder's path, or nullopt when cancelled or when the choice has no path.
// `flags` are the BIF_* flags of the browser (BIF_RETURNONLYFSDIRS when not given).
std::optional<std::string> BrowseForFolder(HWND owner, const std::string& prompt, UINT flags = 0x0001);

}  // namespace bw::ui
