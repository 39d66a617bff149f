// Moving one checked file into the recycle bin through handles, with the bin's record of where
// it came from, so that it can be restored.
#pragma once
#include <string>

#include "platform/FileSystem.h"

namespace bw::platform {

// Moves the file `name` (one true name) out of the folder `folder` holds into the recycle bin.
// The file is opened relative to the folder's handle and must pass the name check of
// fs::OpenFileInPlace (a link to a file elsewhere, or a file reached through a folder swapped
// for a link, is refused); it must be a plain file, not read-only, that no program holds without
// sharing deletion. It is then renamed relative to handles only, so a folder renamed or swapped
// after the check moves nothing else:
//  - Under Wine, into the desktop's trash (the folder WineTrashFolder names): its "Trash",
//    "files" and "info" folders are opened once, each relative to the one above and refused when
//    it is a link; the record "info\<name>.trashinfo" ("[Trash Info]", "Path=" the file's Linux
//    path percent-encoded, "DeletionDate=" local time) is created first, which reserves the name
//    (a taken name becomes "<stem>.2<ext>", "<stem>.3<ext>"...), then the file is moved to
//    "files\<name>". Wine renames by path text even for a handle, and a Linux process can swap a
//    folder whatever Windows share modes say, so the move is the Linux rename between the
//    folders' own descriptors (renameat2 with RENAME_NOREPLACE), checked afterwards to have moved
//    the very file opened (device and inode), and moved back otherwise. Where Wine does not hand
//    out those descriptors the file stays: FileRenameInformation, even relative to the "files"
//    handle, is a rename of path text there, and a folder swapped meanwhile sends another file.
//  - On Windows, into the drive's "$Recycle.Bin\<user SID>" folder (it must exist, as Explorer
//    makes it; the bins of Windows XP are not written): "$I<six random>.<ext>" holds the record
//    (version 2, size, deletion time, the path's length in characters with its NUL, the path),
//    and the file becomes "$R<same>.<ext>" through FileRenameInformation relative to the bin's
//    handle. This branch cannot be run under Wine and has no test.
// A file on another volume than the bin, or a bin that cannot be reached or checked, stays where
// it is and false is returned; nothing is ever deleted here. On any failure after the record was
// made, the record is removed again (unless an entry of the folder arrived that could not be put
// back: its record stays with it). True when the file is in the bin with its record.
bool MoveToRecycleBin(const fs::FolderGuard& folder, const std::wstring& name);

// Under Wine, the trash's record text for a file whose Linux path is `unixPath` (UTF-8) deleted
// at the local time `deleted`: "[Trash Info]\nPath=<percent-encoded path>\nDeletionDate=
// YYYY-MM-DDThh:mm:ss\n". Every byte but letters, digits, "/", "-", "_", ".", "~" is encoded.
std::string TrashInfoText(const std::string& unixPath, const SYSTEMTIME& deleted);

}  // namespace bw::platform
