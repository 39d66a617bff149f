// Test fixtures that point a registry value or environment variables elsewhere for one test and
// put the old state back afterwards.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/TestSupport.h"

namespace bw::test {

// Sets a string value for one test and puts the old state back afterwards (null: no value).
class ValueOverride {
public:
    ValueOverride(HKEY root, std::string subkey, std::string name, const std::string* value)
        : root_(root), subkey_(std::move(subkey)), name_(std::move(name)) {
        had_ = GetString(root_, subkey_, name_, &old_);
        Put(value);
    }
    ~ValueOverride() { Put(had_ ? &old_ : nullptr); }
    ValueOverride(const ValueOverride&) = delete;
    ValueOverride& operator=(const ValueOverride&) = delete;

private:
    void Put(const std::string* value) {
        HKEY key;
        if (RegCreateKeyA(root_, subkey_.c_str(), &key) != ERROR_SUCCESS) return;
        if (value)
            RegSetValueExA(key, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                           static_cast<DWORD>(value->size() + 1));
        else
            RegDeleteValueA(key, name_.c_str());
        RegCloseKey(key);
    }
    HKEY root_;
    std::string subkey_, name_, old_;
    bool had_ = false;
};

// Points environment variables elsewhere for one test and puts them back afterwards.
class EnvironmentOverride {
public:
    EnvironmentOverride() = default;
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;
    void Set(const char* name, const std::string& value) {
        saved_.push_back({name, Get(name), GetEnvironmentVariableA(name, nullptr, 0) != 0});
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~EnvironmentOverride() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            SetEnvironmentVariableA(it->name.c_str(), it->existed ? it->value.c_str() : nullptr);
    }

private:
    static std::string Get(const char* name) {
        char buf[4096];
        DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
        return (n > 0 && n < sizeof buf) ? std::string(buf, n) : std::string();
    }
    struct Saved {
        std::string name, value;
        bool existed;
    };
    std::vector<Saved> saved_;
};

// TMP and TEMP pointed at a fresh private folder for the object's life. The folder is made
// before the switch and removed after the variables are back.
class PrivateTemp {
public:
    PrivateTemp() {
        env_.Set("TMP", dir_.path());
        env_.Set("TEMP", dir_.path());
    }
    const TempDir& dir() const { return dir_; }
    const std::string& path() const { return dir_.path(); }
    std::string operator/(const std::string& rel) const { return dir_ / rel; }

private:
    TempDir dir_;
    EnvironmentOverride env_;
};

}  // namespace bw::test
