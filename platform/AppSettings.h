// The per-application settings store of programs of this generation: text values under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>, one REG_SZ
// value per key. Settings that other tools or earlier versions stored there are found as they are.
#pragma once
#include <string>

namespace bw::platform {

// The registry key (relative to HKEY_CURRENT_USER) that holds `section` of `application`.
// Normally under "Software\VB and VBA Program Settings".
std::string AppSettingsKey(const std::string& application, const std::string& section);

// Stores `text` as `key` of `section` of `application`, creating the keys when missing and
// replacing an existing value. A write Windows refuses is ignored. Empty application, section
// or key names store nothing (they would address the wrong key or the key's default value).
void SaveSetting(const std::string& application, const std::string& section, const std::string& key,
                 const std::string& text);

// The text stored as `key`, or `defaultText` when the application, section or key is missing
// or the value cannot be read as text (REG_SZ or REG_EXPAND_SZ, taken as stored). A stored
// empty text reads as "" (not as the default). The text ends at its first NUL.
std::string GetSetting(const std::string& application, const std::string& section, const std::string& key,
                       const std::string& defaultText);

// Removes `key` (or, with an empty key, the whole section) of `application`; nothing when missing.
void DeleteSetting(const std::string& application, const std::string& section, const std::string& key);

// Makes the store live under `subkey` of HKEY_CURRENT_USER instead (empty text restores the
// usual place). For tests, which keep their settings in a throwaway key.
void OverrideAppSettingsRoot(const std::string& subkey);

}  // namespace bw::platform
