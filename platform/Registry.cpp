// Raw registry calls (advapi32, ANSI forms) and a holder that closes a key handle.
#include "platform/Registry.h"

#include <utility>

#include "platform/Text.h"

namespace bw::platform::reg {

LONG CreateKey(HKEY root, const std::string& subkey, HKEY* out) {
    return RegCreateKeyA(root, subkey.c_str(), out);
}

LONG OpenKey(HKEY root, const std::string& subkey, HKEY* out) {
    return RegOpenKeyA(root, subkey.c_str(), out);
}

LONG OpenKeyEx(HKEY root, const std::string& subkey, REGSAM access, HKEY* out) {
    return RegOpenKeyExA(root, subkey.c_str(), 0, access, out);
}

LONG QueryValueEx(HKEY key, const std::string& name, DWORD* type, BYTE* data, DWORD* size) {
    return RegQueryValueExA(key, name.c_str(), nullptr, type, data, size);
}

LONG SetValueEx(HKEY key, const std::string& name, DWORD type, const BYTE* data, DWORD size) {
    return RegSetValueExA(key, name.c_str(), 0, type, data, size);
}

LONG EnumValue(HKEY key, DWORD index, std::string* name, DWORD nameCapacity, DWORD* type,
               std::vector<BYTE>* data, DWORD dataCapacity) {
    // One spare byte each, so a full buffer can never leave us reading past its end.
    std::vector<char> nameBuffer(static_cast<size_t>(nameCapacity) + 1, '\0');
    std::vector<BYTE> dataBuffer(static_cast<size_t>(dataCapacity) + 1, 0);
    DWORD nameLength = nameCapacity;
    DWORD dataLength = dataCapacity;
    const bool wantData = data != nullptr;
    LONG status = RegEnumValueA(key, index, nameBuffer.data(), &nameLength, nullptr, type,
                                wantData ? dataBuffer.data() : nullptr,
                                wantData ? &dataLength : nullptr);
    if (name) name->clear();
    if (data) data->clear();
    if (status != ERROR_SUCCESS) return status;
    if (name) {
        if (nameLength > nameCapacity) nameLength = nameCapacity;
        name->assign(nameBuffer.data(), nameLength);
    }
    if (data) {
        if (dataLength > dataCapacity) dataLength = dataCapacity;
        data->assign(dataBuffer.begin(), dataBuffer.begin() + static_cast<std::ptrdiff_t>(dataLength));
    }
    return status;
}

LONG DeleteKey(HKEY root, const std::string& subkey) {
    return RegDeleteKeyA(root, subkey.c_str());
}

LONG DeleteValue(HKEY key, const std::string& name) {
    return RegDeleteValueA(key, name.c_str());
}

LONG CloseKey(HKEY key) { return RegCloseKey(key); }

Key& Key::operator=(Key&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
}

HKEY Key::release() {
    HKEY key = key_;
    key_ = nullptr;
    return key;
}

void Key::reset(HKEY key) {
    if (key_ && key_ != key) CloseKey(key_);
    key_ = key;
}

HKEY* Key::put() {
    reset();
    return &key_;
}

LONG QueryInfoKey(HKEY key, DWORD* subkeys, DWORD* values) {
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, subkeys, nullptr, nullptr, values, nullptr, nullptr,
                            nullptr, nullptr);
}

namespace {

using NtStatus = LONG;
using NtQueryKeyFn = NtStatus(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
using NtDeleteKeyFn = NtStatus(WINAPI*)(HANDLE);
using RtlNtStatusToDosErrorFn = ULONG(WINAPI*)(NtStatus);

constexpr int kKeyNameInformation = 3;

struct NtCalls {
    NtQueryKeyFn queryKey = nullptr;
    NtDeleteKeyFn deleteKey = nullptr;
    RtlNtStatusToDosErrorFn toDosError = nullptr;
};

const NtCalls& Nt() {
    static const NtCalls calls = [] {
        NtCalls c;
        if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
            c.queryKey = reinterpret_cast<NtQueryKeyFn>(GetProcAddress(ntdll, "NtQueryKey"));
            c.deleteKey = reinterpret_cast<NtDeleteKeyFn>(GetProcAddress(ntdll, "NtDeleteKey"));
            c.toDosError = reinterpret_cast<RtlNtStatusToDosErrorFn>(GetProcAddress(ntdll, "RtlNtStatusToDosError"));
        }
        return c;
    }();
    return calls;
}

std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The key just opened as `name` of `parent` is that key, and whether it is a link.
Reached Judge(HKEY parent, const std::wstring& name, const Key& key) {
    const std::wstring parentName = RealName(parent);
    if (!parentName.empty()) {
        const std::wstring reached = Upper(RealName(key.get()));
        if (reached != Upper(parentName + L"\\" + name) && reached != Upper(parentName + L"\\Wow6432Node\\" + name))
            return Reached::Failed;
    }
    return IsLink(key.get()) ? Reached::Link : Reached::Key;
}

bool IsMachineKey(const std::wstring& realName) {
    static const std::wstring kMachine = L"\\REGISTRY\\MACHINE\\";
    return Upper(realName.substr(0, kMachine.size())) == kMachine;
}

bool IsPlainName(const std::wstring& name) { return !name.empty() && name.size() <= 255 && name.find(L'\\') == std::wstring::npos; }

Reached CreateChild(HKEY parent, const std::wstring& name, REGSAM access, REGSAM view, Key* out) {
    out->reset();
    if (!IsPlainName(name)) return Reached::Failed;
    Key made;
    if (RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access | KEY_QUERY_VALUE | view,
                        nullptr, made.put(), nullptr) != ERROR_SUCCESS)
        return Reached::Failed;
    const Reached judged = Judge(parent, name, made);
    // A link that appeared between the look and the creation was followed: nothing is handed out.
    if (judged != Reached::Key) return Reached::Failed;
    *out = std::move(made);
    return judged;
}

Reached Walk(HKEY root, const std::wstring& subkey, REGSAM access, REGSAM view, Key* out, bool create) {
    out->reset();
    const std::vector<std::wstring> names = text::PathParts(subkey);
    if (names.empty()) return Reached::Failed;
    Key current;
    for (size_t i = 0; i < names.size(); ++i) {
        const bool last = i + 1 == names.size();
        const REGSAM want = last ? access : KEY_ENUMERATE_SUB_KEYS | (create ? KEY_CREATE_SUB_KEY : 0);
        const HKEY parent = current ? current.get() : root;
        Key next;
        Reached reached = OpenChild(parent, names[i], want, view, &next);
        if (reached == Reached::Missing && create) reached = CreateChild(parent, names[i], want, view, &next);
        if (reached == Reached::Link && !last) {
            // Windows' own redirections (HKLM\Software\Wow6432Node\Classes, for one) are links among
            // the machine's keys, which only administrators can make: one of them is followed when
            // it leads to another machine key. A link anywhere else is not.
            if (!IsMachineKey(RealName(next.get()))) return Reached::ThroughLink;
            next.reset();
            if (RegOpenKeyExW(parent, names[i].c_str(), 0, want | KEY_QUERY_VALUE | view, next.put()) != ERROR_SUCCESS ||
                !IsMachineKey(RealName(next.get())) || IsLink(next.get()))
                return Reached::ThroughLink;
            reached = Reached::Key;
        }
        if (reached != Reached::Key && reached != Reached::Link) return reached;
        current = std::move(next);
        if (reached == Reached::Link) {
            *out = std::move(current);
            return Reached::Link;
        }
    }
    *out = std::move(current);
    return Reached::Key;
}

}  // namespace

std::wstring RealName(HKEY key) {
    const NtCalls& nt = Nt();
    if (!nt.queryKey || !key) return {};
    // KEY_NAME_INFORMATION: a ULONG byte length, then the name (not NUL-terminated).
    std::vector<ULONG> buffer(1024);
    ULONG got = 0;
    NtStatus status = nt.queryKey(key, kKeyNameInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size() * sizeof(ULONG)), &got);
    if (status < 0 && got > buffer.size() * sizeof(ULONG) && got < (1u << 20)) {
        buffer.resize(got / sizeof(ULONG) + 2);
        status = nt.queryKey(key, kKeyNameInformation, buffer.data(),
                             static_cast<ULONG>(buffer.size() * sizeof(ULONG)), &got);
    }
    if (status < 0) return {};
    const ULONG bytes = buffer[0];
    if (bytes > (buffer.size() - 1) * sizeof(ULONG)) return {};
    return std::wstring(reinterpret_cast<const wchar_t*>(buffer.data() + 1), bytes / sizeof(wchar_t));
}

std::wstring CurrentUserRealName() {
    static const std::wstring name = [] {
        Key software;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_QUERY_VALUE, software.put()) != ERROR_SUCCESS)
            return std::wstring();
        std::wstring full = RealName(software.get());
        const size_t slash = full.rfind(L'\\');
        return slash == std::wstring::npos ? std::wstring() : full.substr(0, slash);
    }();
    return name;
}

LONG EnumSubkey(HKEY key, DWORD index, std::wstring* name) {
    name->clear();
    wchar_t buffer[256];
    DWORD length = 256;
    const LONG status = RegEnumKeyExW(key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) name->assign(buffer, length < 256 ? length : 255);
    return status;
}

bool HasValue(HKEY key, const std::wstring& name) {
    return RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool IsLink(HKEY key) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    const LONG status = RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, &size);
    return (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) && type == REG_LINK;
}

Reached OpenChild(HKEY parent, const std::wstring& name, REGSAM access, REGSAM view, Key* out) {
    out->reset();
    if (!IsPlainName(name)) return Reached::Failed;
    Key opened;
    const LONG status =
        RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, access | KEY_QUERY_VALUE | view, opened.put());
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return Reached::Missing;
    if (status != ERROR_SUCCESS) return Reached::Failed;
    const Reached judged = Judge(parent, name, opened);
    if (judged != Reached::Failed) *out = std::move(opened);
    return judged;
}

Reached OpenNoFollow(HKEY root, const std::wstring& subkey, REGSAM access, REGSAM view, Key* out) {
    return Walk(root, subkey, access, view, out, false);
}

Reached CreateNoFollow(HKEY root, const std::wstring& subkey, REGSAM access, REGSAM view, Key* out) {
    return Walk(root, subkey, access, view, out, true);
}

LONG DeleteByHandle(HKEY key) {
    const NtCalls& nt = Nt();
    // Never RegDeleteKey by name in its place: on a link it deletes the target.
    if (!nt.deleteKey || !key) return ERROR_CALL_NOT_IMPLEMENTED;
    const NtStatus status = nt.deleteKey(key);
    if (status >= 0) return ERROR_SUCCESS;
    return nt.toDosError ? static_cast<LONG>(nt.toDosError(status)) : ERROR_ACCESS_DENIED;
}

TreeResult DeleteTree(Key top, bool removeLinks) {
    TreeResult result;
    if (!top) return result;
    if (IsLink(top.get())) {
        if (removeLinks && DeleteByHandle(top.get()) == ERROR_SUCCESS) {
            ++result.links;
            result.topGone = true;
        } else {
            ++result.left;
        }
        return result;
    }
    // Each open key with the number of its subkeys that stay (listed before the ones still to go).
    std::vector<std::pair<Key, DWORD>> stack;
    stack.emplace_back(std::move(top), 0);
    while (!stack.empty()) {
        std::wstring name;
        const HKEY current = stack.back().first.get();
        const LONG status = EnumSubkey(current, stack.back().second, &name);
        if (status == ERROR_SUCCESS) {
            Key child;
            const Reached reached = OpenChild(current, name, DELETE | KEY_ENUMERATE_SUB_KEYS, 0, &child);
            if (reached == Reached::Key) {
                stack.emplace_back(std::move(child), 0);
            } else if (reached == Reached::Link && removeLinks && DeleteByHandle(child.get()) == ERROR_SUCCESS) {
                ++result.links;
            } else {
                ++stack.back().second;
                if (reached != Reached::Missing) ++result.left;
            }
            continue;
        }
        if (status == ERROR_MORE_DATA) {  // a name longer than the registry allows: it stays
            ++stack.back().second;
            ++result.left;
            continue;
        }
        const bool isTop = stack.size() == 1;
        if (DeleteByHandle(current) == ERROR_SUCCESS) {
            ++result.keys;
            if (isTop) result.topGone = true;
            stack.pop_back();
        } else {
            ++result.left;
            stack.pop_back();
            if (!stack.empty()) ++stack.back().second;
        }
    }
    return result;
}

}  // namespace bw::platform::reg
