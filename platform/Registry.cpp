// Raw registry calls (advapi32, ANSI forms) and a holder that closes a key handle.
#include "platform/Registry.h"

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

}  // namespace bw::platform::reg
