// The standard file dialogs and the folder browser.
#include "ui/Dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

namespace bw::ui {

namespace {

// "(*.htm)|*.htm" -> "(*.htm)\0*.htm\0\0", as the dialogs want their filter.
std::string FilterList(const std::string& filter) {
    std::string list = filter;
    for (char& c : list)
        if (c == '|') c = '\0';
    if (list.empty() || list.back() != '\0') list += '\0';
    list += '\0';
    return list;
}

// The extension of the first pattern ("*.htm" -> "htm"); empty for "*.*" or none.
std::string DefaultExtension(const std::string& filter) {
    size_t bar = filter.find('|');
    if (bar == std::string::npos) return {};
    std::string pattern = filter.substr(bar + 1, filter.find_first_of("|;", bar + 1) - bar - 1);
    if (pattern.compare(0, 2, "*.") != 0) return {};
    std::string ext = pattern.substr(2);
    if (ext.empty() || ext.find_first_of("*?") != std::string::npos) return {};
    return ext;
}

std::optional<std::string> ShowFileDialog(bool save, HWND owner, const std::string& filter,
                                          const std::string& initialName) {
    std::string list = FilterList(filter);
    std::string ext = DefaultExtension(filter);
    std::vector<char> file(4096, '\0');
    initialName.copy(file.data(), file.size() - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = list.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = (save && !ext.empty()) ? ext.c_str() : nullptr;
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!ok || !file[0]) return std::nullopt;
    return std::string(file.data());
}

}  // namespace

std::optional<std::string> ShowSaveDialog(HWND owner, const std::string& filter,
                                          const std::string& initialName) {
    return ShowFileDialog(true, owner, filter, initialName);
}

std::optional<std::string> ShowOpenDialog(HWND owner, const std::string& filter,
                                          const std::string& initialName) {
    return ShowFileDialog(false, owner, filter, initialName);
}

std::optional<std::string> BrowseForFolder(HWND owner, const std::string& prompt, UINT flags) {
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.lpszTitle = prompt.c_str();
    info.ulFlags = flags;
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (!item) return std::nullopt;
    char path[MAX_PATH] = {};
    BOOL ok = SHGetPathFromIDListA(item, path);
    CoTaskMemFree(item);
    if (!ok || !path[0]) return std::nullopt;
    return std::string(path);
}

}  // namespace bw::ui
