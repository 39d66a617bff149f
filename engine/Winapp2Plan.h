// A detected community rule turned into erase-plan targets, through the same guards as every other
// erase: what each key would remove here, and what a guard refused, with the key that asked.
#pragma once
#include <string>
#include <string_view>

#include "engine/ErasePlan.h"
#include "engine/Winapp2Scan.h"

namespace bw::winapp2 {

// What one entry added to a plan.
struct EntryPlanCounts {
    size_t files = 0;
    size_t folders = 0;   // folders to remove (REMOVESELF)
    size_t registry = 0;  // keys and values
    size_t refused = 0;   // refusals shown with their keys
};

// Adds to the current item of `plan` what `entry` removes on this computer:
// - FileKey: the files matching its patterns in each folder its path resolves to (RECURSE and
//   REMOVESELF: at any depth, each folder opened relative to its checked parent, never through a
//   link; REMOVESELF: each folder, the key's own included, removed only when everything in it
//   goes by this key). A file an exclusion of the entry keeps stays, and so does every folder
//   holding it.
// - A protected folder (drive root, Windows, Program Files, a profile, a shell folder: see
//   fs::ProtectionOf) is never walked, emptied or removed: there a key may only take files lying
//   directly in it, by a pattern that names a kind of file (not "*", "*.*"), and never program or
//   system files (IsProgramFileName). The user's Temp is no protected folder.
// - RegKey: a value, or a key with everything below it (subkeys first), only inside HKCU and
//   HKLM\Software (RegistryRefusal), never what a REG exclusion keeps.
// Everything refused is added as a refusal target naming the key ("FileKey3=... (line 12)") and
// the reason. An entry with an exclusion line that cannot be read (Entry::refusedExclusion) adds
// only its refusal, naming that line: nothing of it is planned. Reads only; nothing is removed
// until the plan is carried out.
EntryPlanCounts PlanEntry(ErasePlan& plan, const Rules& rules, const Entry& entry, Computer& computer);

// True when `pattern` names a kind of file: it holds a character other than a wildcard or a dot
// ("*.log", "debug.txt"; not "*", "*.*", "?*").
bool NamesAKindOfFile(std::wstring_view pattern);

// True when `name` ends in an extension of programs or of Windows' own files (.exe .dll .sys .ini
// .inf .drv .cpl .ocx .msi .bat .cmd .com .scr), compared without regard to case.
bool IsProgramFileName(std::wstring_view name);

// Why a RegKey on `hive`\`subkey` (a value when `hasValue`) may not act: nullptr when it may.
// Only HKCU and HKLM\Software are acted on, never a hive root, a key directly below one, or the
// keys that hold every program's settings (Software\Microsoft, \Classes, \Policies,
// \Wow6432Node) as a whole.
const char* RegistryRefusal(Hive hive, const std::wstring& subkey, bool hasValue);

// The key line as a person reads it: "FileKey3=%WinDir%|*.log (line 120)".
std::string KeyText(const Rules& rules, const Key& key);

// Why `entry` is not run, naming the exclusion line that stopped it:
// "ExcludeKey8=PATH|... (line 14): duplicate key"; empty when it runs.
std::string EntryRefusalText(const Rules& rules, const Entry& entry);

}  // namespace bw::winapp2
