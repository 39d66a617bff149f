// Under Wine, checks and renames made by the Linux system calls on the descriptors behind open
// handles: Wine itself names and renames files by path text, which a Linux process can change
// between a check and an act whatever Windows share modes say.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace bw::platform::wine {

// True when the Linux descriptors of open handles can be had and used (Wine's ntdll hands them
// out, and this is the 32-bit program Wine runs as a Linux process). False on Windows.
bool HandlesReachLinux();

// Whether the object open as `child` is at this moment the entry `name` (one true name) of the
// folder open as `parent`, itself and not a link there (same device and inode, the entry looked
// up without following a link). nullopt when HandlesReachLinux() is false or the name cannot be
// given to Linux as is.
std::optional<bool> IsEntryOf(HANDLE parent, const std::wstring& name, HANDLE child);

// What a rename between two folders held open did.
enum class Move { Moved, NameTaken, Failed, MovedOther };

// Renames the entry `fromName` of the folder open as `fromDir` to `toName` in the folder open as
// `toDir` (renameat2 between their descriptors, never replacing: NameTaken when `toName` is
// there; Failed for another device and every other refusal), then checks that what arrived is
// the file open as `file`; anything else is put back where it was (MovedOther when that fails).
// Failed when HandlesReachLinux() is false.
Move RenameBetween(HANDLE fromDir, const std::wstring& fromName, HANDLE toDir, const std::wstring& toName,
                   HANDLE file);

}  // namespace bw::platform::wine
