// The small steps every erase item is written in. Each ignores every failure: a key or value
// that is missing, a folder that cannot be read, all leave the run going on. Keys are reached one
// name at a time without following a registry link: a key that is a link is removed itself (never
// its target), a value is never deleted through a link, and a key behind a link is left (a plan
// shows it as refused).
#pragma once
#include <windows.h>

#include <string>

#include "engine/EraseRun.h"

namespace bw {

// Leaves the key existing and empty of values. (A key that still has subkeys cannot be
// deleted on NT-family Windows; its values then stay. That failure is ignored.)
void ResetKey(HKEY root, const std::string& path);

// Leaves the key gone (same caveat about subkeys).
void RemoveKey(HKEY root, const std::string& path);

// Leaves the value gone.
void RemoveValue(HKEY root, const std::string& path, const std::string& name);

// The same as plan targets, each added only when there is something to remove: a key to reset
// when it holds a value or a subkey (it is removed and made again, empty), a key to remove when
// it exists, a value when it exists.
void PlanResetKey(ErasePlan& plan, HKEY root, const std::string& path);
void PlanRemoveKey(ErasePlan& plan, HKEY root, const std::string& path);
void PlanRemoveValue(ErasePlan& plan, HKEY root, const std::string& path, const std::string& name);

// A user folder from the Explorer "Shell Folders" key (platform::ShellFolderValue); check it
// with platform::paths::IsUsableFolder before use.
std::string ShellFolderPath(const std::string& valueName);

// The downloaded-program-files folder ("ActiveXCache" of the Internet Settings key), read
// and cleaned like ShellFolderPath.
std::string ActiveXCachePath();

// Adds the folder tree's size in bytes to run.filesize; adds nothing when the folder cannot
// be read.
void FolderSize(EraseRun& run, const std::string& path);

}  // namespace bw
