// The typed-address keep-list window.
#include "settings/frmurl.h"

#include "platform/LineFile.h"
#include "platform/ProgramDir.h"
#include "platform/Registry.h"

namespace bw {

namespace {

const char kTypedUrls[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr DWORD kBuffer = 255;  // name and data buffers of the listing, as the browser's own

// The text of one typed address, read on its own; "error" when it cannot be read.
std::string ReadTypedUrl(const std::string& name) {
    namespace reg = platform::reg;
    reg::Key key;
    if (reg::OpenKeyEx(HKEY_CURRENT_USER, kTypedUrls, KEY_READ, key.put()) != ERROR_SUCCESS) return "error";
    char buffer[kBuffer] = {};
    DWORD size = kBuffer;
    DWORD type = REG_SZ;
    if (reg::QueryValueEx(key.get(), name, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return "error";
    return std::string(buffer, strnlen(buffer, sizeof(buffer)));
}

}  // namespace

frmurl::frmurl() : ui::Form("URL Drop-List Options", 470, 250) {}

void frmurl::Build() {
    Layout({
        {&Frame1, nullptr, "URL Drop-List", 8, 8, 454, 234},
        {&Label1, &Frame1, "Current URL List", 10, 20, 180, 16},
        {&List2, &Frame1, "", 10, 38, 180, 184},
        {&cmdAdd, &Frame1, "Add >", 198, 80, 58, 24},
        {&cmdRemove, &Frame1, "< Remove", 198, 120, 58, 24},
        {&Label2, &Frame1, "URL Keep List", 264, 20, 180, 16},
        {&List1, &Frame1, "", 264, 38, 180, 184},
    });
    cmdAdd.onClick = [this] { cmdAdd_Click(); };
    cmdRemove.onClick = [this] { cmdRemove_Click(); };
}

void frmurl::Form_Load() {
    namespace reg = platform::reg;
    List2.Clear();
    reg::Key key;
    if (reg::OpenKeyEx(HKEY_CURRENT_USER, kTypedUrls, KEY_READ, key.put()) == ERROR_SUCCESS) {
        // The listing ends at the first value it cannot return in its buffers.
        for (DWORD index = 0;; ++index) {
            std::string name;
            std::vector<BYTE> data;
            DWORD type = 0;
            if (reg::EnumValue(key.get(), index, &name, kBuffer, &type, &data, kBuffer) != ERROR_SUCCESS) break;
            std::string text = ReadTypedUrl(name);
            if (text != "error") List2.AddItem(text);
        }
    }
    keeplist::Load(List1, platform::ProgramFile("keepurl.dat"));
}

void frmurl::cmdAdd_Click() { keeplist::Add(List2, List1, platform::ProgramFile("keepurl.dat")); }

void frmurl::cmdRemove_Click() { keeplist::Remove(List1, platform::ProgramFile("keepurl.dat")); }

namespace keeplist {

void Load(ui::ListBox& keep, const std::string& file) {
    std::optional<std::vector<std::string>> lines = platform::ReadLines(file);
    if (!lines) return;
    for (std::string& line : *lines) line = platform::TrimRight(line);
    keep.Clear();
    keep.AddItems(*lines);
}

void Add(const ui::ListBox& current, ui::ListBox& keep, const std::string& file) {
    std::string text = current.ListIndex() >= 0 ? current.List(current.ListIndex()) : std::string();
    if (platform::AppendLine(file, platform::TrimRight(text))) keep.AddItem(text);
}

void Remove(ui::ListBox& keep, const std::string& file) {
    for (int i = 0; i < keep.ListCount();) {
        if (keep.Selected(i)) {
            keep.RemoveItem(i);
            i = 0;
        } else {
            ++i;
        }
    }
    std::vector<std::string> rest;
    for (int i = 0; i < keep.ListCount(); ++i) rest.push_back(keep.List(i));
    platform::WriteLines(file, rest);
}

}  // namespace keeplist

}  // namespace bw
