// The walks that find what an erase item removes in folders, adding it to a plan instead of
// deleting: the same choices as the guarded deleting walks (Normal.h, FileSystem.h), each folder
// listed through its own handle and each sub-folder opened relative to its checked parent.
#pragma once
#include <string>

#include "engine/ErasePlan.h"
#include "platform/FileSystem.h"

namespace bw::planwalk {

namespace fs = platform::fs;

// Adds what `rules` choose below the folder `guard` (whose plan folder is `folder`): every chosen
// file, and with `removeFolders` each entered folder after its contents (the starting folder too
// with `removeRoot`). Links to folders are never entered. Nothing when the guard is not usable
// or is a protected folder.
void Walk(ErasePlan& plan, uint32_t folder, fs::FolderGuard guard, const fs::WalkRules& rules);

// As Normal::EmptyFolderBelow, Normal::DeleteNamedFileBelow and Normal::DeleteProfileCacheBelow:
// the same starting checks and choices (hidden and system entries stay), as plan targets.
void EmptyFolderBelow(ErasePlan& plan, const std::string& path, const std::string& below,
                      bool baseMayBeProtected = false);
void NamedFileBelow(ErasePlan& plan, const std::string& path, const std::string& below, const char* fileName,
                    bool baseMayBeProtected = false);
void ProfileCacheBelow(ErasePlan& plan, const std::string& path, const std::string& below,
                       bool baseMayBeProtected = false);
void ProfileCacheIn(ErasePlan& plan, const fs::FolderGuard& start);

// As fs::DeleteFiles: the files directly in the guarded folder whose names match `mask`.
void MatchingFiles(ErasePlan& plan, const fs::FolderGuard& folder, const std::string& mask, bool force = false);
// The files "folder\mask" names directly in its folder, judged on the very folder listed: an
// ordinary folder, or a folder with `reach` Reach::DirectlyIn that is a drive root or, with
// `vitalToo`, one that belongs to Windows, the programs or the profile.
void MatchingFiles(ErasePlan& plan, const std::string& pattern, fs::Reach reach = fs::Reach::Below,
                   bool vitalToo = false);

// As fs::DeleteFolders: the sub-folders of the guarded folder matching `mask`, each with
// everything in it (hidden and system files included, read-only ones not).
void MatchingFolders(ErasePlan& plan, const fs::FolderGuard& parent, const std::string& mask);

}  // namespace bw::planwalk
