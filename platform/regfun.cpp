// Registry access by key path text.
#include "platform/regfun.h"

#include <cstring>

#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace bw::regfun {

namespace {

constexpr DWORD kReadBufferSize = 255;

struct RootName {
    const char* name;
    HKEY key;
};

// Searched in this order; the first exact match wins.
const RootName kRootNames[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", HKEY_USERS},
    {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    {"HKEY_DYN_DATA", HKEY_DYN_DATA},
};

bool IsWellFormed(const std::string& path) {
    return path.compare(0, 5, "HKEY_") == 0 && path.back() != '\\';
}

}  // namespace

HKEY RootKeyFromName(const std::string& name) {
    for (const RootName& root : kRootNames) {
        if (name == root.name) return root.key;
    }
    return nullptr;
}

void ParseKeyPath(std::string& path, HKEY* root) {
    *root = nullptr;
    if (!IsWellFormed(path)) {
        platform::MsgBox(nullptr, "Incorrect Format:\n\n" + path, "Brightwipe", MB_OK);
        return;
    }
    const size_t slash = path.find('\\');
    if (slash == std::string::npos) {
        *root = RootKeyFromName(path);
        path.clear();
        return;
    }
    *root = RootKeyFromName(path.substr(0, slash));
    path.erase(0, slash + 1);
}

std::string GetKeyValue(const std::string& path, const std::string& name) {
    std::string subkey = path;
    HKEY root = nullptr;
    ParseKeyPath(subkey, &root);
    if (!root) return std::string();

    platform::reg::Key key;
    if (platform::reg::OpenKeyEx(root, subkey, KEY_READ, key.put()) != ERROR_SUCCESS) return "Error";

    // One byte more than Windows is told about, always NUL, so the text below can never run
    // past the buffer even when the data fills it without a terminator.
    char buffer[kReadBufferSize + 1];
    std::memset(buffer, ' ', kReadBufferSize);
    buffer[kReadBufferSize] = '\0';
    DWORD length = kReadBufferSize;
    DWORD type = REG_SZ;
    LONG status = platform::reg::QueryValueEx(key.get(), name, &type,
                                              reinterpret_cast<BYTE*>(buffer), &length);
    key.reset();
    if (status != ERROR_SUCCESS) return "Error";

    // The text ends at the terminating NUL; data stored without one ends at its length.
    if (length > kReadBufferSize) length = kReadBufferSize;
    std::string text(buffer, length);
    const size_t nul = text.find('\0');
    if (nul != std::string::npos) text.erase(nul);
    const size_t first = text.find_first_not_of(' ');
    text.erase(0, first == std::string::npos ? text.size() : first);
    return text;
}

void SetKeyValue(const std::string& path, const std::string& name, const std::string& text) {
    std::string subkey = path;
    HKEY root = nullptr;
    ParseKeyPath(subkey, &root);
    if (!root) return;

    platform::reg::Key key;
    if (platform::reg::OpenKeyEx(root, subkey, KEY_WRITE, key.put()) != ERROR_SUCCESS) return;
    // Stored without its NUL: Windows and Wine add one on reading when there is room.
    platform::reg::SetValueEx(key.get(), name, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size()));
}

void CreateKey(const std::string& path) {
    std::string subkey = path;
    HKEY root = nullptr;
    ParseKeyPath(subkey, &root);
    if (!root) return;

    platform::reg::Key created;
    platform::reg::CreateKey(root, subkey, created.put());
}

void DeleteKey(const std::string& path) {
    std::string subkey = path;
    HKEY root = nullptr;
    ParseKeyPath(subkey, &root);
    if (!root) return;
    // An empty subkey would ask Windows to delete the root key itself.
    if (subkey.empty()) return;

    // Reached one name at a time without following a registry link, and removed through its own
    // handle: a link is removed itself, never its target.
    platform::reg::Key key;
    const platform::reg::Reached reached =
        platform::reg::OpenNoFollow(root, platform::paths::Widen(subkey), DELETE, 0, &key);
    if (reached == platform::reg::Reached::Key || reached == platform::reg::Reached::Link)
        platform::reg::DeleteByHandle(key.get());
}

}  // namespace bw::regfun
