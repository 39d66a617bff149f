// The disk cleaner's file, folder and drive helper: existence tests, path parts, file and drive
// records, move/copy/tree delete with their questions, totals and text search over folders,
// temporary names, the folder picker, paths shortened for display and free disk space.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Drives.h"

namespace bw {

// Filled by fso::Get_FileInfo. Dates are the user's default date-and-time text; `Size` is the
// byte count in decimal (64-bit); `Attributes` is the text of fso::Attribute_String.
struct FileInfoRecord {
    std::string Drive, Path, ParentFolder, Size, Type, Extension;
    std::string DateLastAccessed, DateLastModified, DateCreated, Attributes;
};

// Filled by fso::Drive_Exist. `SerialNumber` reads "1234-ABCD"; `IsReady` is "1" or "0";
// `DriveType` is the number 0 unknown, 1 removable, 2 fixed, 3 network, 4 CD-ROM, 5 RAM disk.
struct DriveInfoRecord {
    std::string DriveLetter, ShareName, Path, RootFolder, SerialNumber, VolumeName;
    std::string TotalSize, AvailableSpace, FreeSpace, DriveType, FileSystem, IsReady;
};

// Total, free and used bytes of a drive.
struct DiskSpaceFigures {
    double total = 0, free = 0, used = 0;
};

// Chooses the figures fso::Get_Disk_Space reports: GetDiskFreeSpaceExA's when it answered with
// more than 2,200,000,000 bytes in all; otherwise the cluster figures, multiplied out in 64 bits;
// otherwise GetDiskFreeSpaceExA's smaller figures; nullopt when neither call answered.
std::optional<DiskSpaceFigures> ChooseDiskSpace(const std::optional<platform::DiskSpaceEx>& ex,
                                                const std::optional<platform::DiskClusters>& clusters);

// Holds no handle between calls. Messages are shown only where the operation says so; every
// other failure is a false, an empty text or "0".
class fso {
public:
    fso();
    ~fso();
    fso(const fso&) = delete;
    fso& operator=(const fso&) = delete;

    // While true, Get_FileList and Get_DirList stop at their next step and give an empty text.
    bool CancelProcessing = false;

    FileInfoRecord FileInfo;    // emptied on creation and destruction
    DriveInfoRecord DriveInfo;  // emptied on creation and destruction

    // Raised by Get_FileList for each file it lists by extension, with the new Count.
    std::function<void(const std::string& path, double count)> CountFiles;
    // Raised by Get_Totals for each file it counts, with the running total.
    std::function<void(const std::string& path, uint64_t total)> CountTotals;

    // Files Get_FileList has listed by extension; 0 on creation.
    double Count() const { return count_; }
    void Count(double dblData) { count_ = dblData; }

    // Readiness of the drive named by the first letter (either case); false outside A..Z.
    bool IsDriveReady(const std::string& strDrive);

    // Creates every missing folder along `strPath`. False for a blank path; on a failure shows
    // "Error creating folder" and gives false.
    bool Create_Dir_Struct(const std::string& strPath);

    // Path parts as the scripting file-system object gives them: "C:\a\b.txt" has extension
    // "txt", file name "b.txt" and parent "C:\a"; a trailing backslash is ignored; a root has no
    // file name and no parent.
    std::string Get_Extension(const std::string& strFileName);
    std::string Get_Filename(const std::string& strFileName);
    std::string Get_Path(const std::string& strFileName);
    // "major.minor.build.revision" of the file's version resource; empty when it has none.
    std::string Get_Version(const std::string& strFileName);

    // `strSearchData` must start "X:" with drive X existing and ready; fills DriveInfo and
    // `lngDriveType`. DriveInfo is emptied first, so it is empty after a false.
    bool Drive_Exist(const std::string& strSearchData, long& lngDriveType);
    // True only for an existing file on an existing, ready drive of known type, named by a full
    // "X:\..." path whose folder exists.
    bool File_Exist(const std::string& strSearchItem);
    // Existence of the folder; a path whose last five characters hold a "." is taken as a file
    // and its parent folder is tested.
    bool Folder_Exist(const std::string& strFolder);
    // "A:\", "C:\", ... as Windows lists them.
    std::vector<std::string> Available_Drives();

    // True when a file cannot be created, appended to and deleted in the folder; true for a blank
    // or missing folder. A file the user already has under the probe's name is never touched.
    bool IsThisRestricted(const std::string& strPath);

    // Fills FileInfo for an existing file; false (FileInfo emptied) for a blank name, a folder
    // or a missing file.
    bool Get_FileInfo(const std::string& strFileName);
    // The attribute letters of a scripting attribute value: R, H, S, V, D, A and "Alias" for 64,
    // for the combinations Windows commonly shows; every other value gives an empty text.
    std::string Attribute_String(long lngValue);

    // Move or copy one file. An existing target is replaced only after the user answers Yes to
    // "Replace File?"; No gives false and leaves both files. A source and target that are the
    // same file, a missing source, a target that cannot be deleted safely (a link to a file
    // elsewhere) and, for a move under Wine, a source that is a link to a file elsewhere are
    // failures. Failures show "Errors detected" (move) / "Error Detected" (copy).
    bool Move_File(const std::string& strSource, const std::string& strTarget);
    bool Copy_File(const std::string& strSource, const std::string& strTarget);

    // Deletes the folder with everything in it, read-only files included. Links to folders inside
    // are never entered and files that are links elsewhere are never deleted (their targets
    // survive; under Wine they stay and the folder with them, which counts as a failure).
    // Only a full path ("X:\..." or "\\server\share\...") below a root is accepted. A failure
    // shows "Error Detected" and gives false.
    bool DelTree32(const std::string& strPath);

    // Trimmed of spaces, with one "\" added when missing; a blank path stays empty.
    std::string Add_Trailing_Slash(const std::string& strPath);
    // Trimmed of spaces, without a final "\".
    std::string Remove_Trailing_Slash(const std::string& strPath);

    // Full paths of the folder's files (not below) whose content holds `strText`, letter case
    // ignored; {"N/A", ""} when none does, and for a blank or missing folder.
    std::vector<std::string> TextSearch(const std::string& strPath, const std::string& strText);

    // Over Get_FileList(strPath, blnSearchSubfolders, strPattern): type 1 sums the sizes (64-bit);
    // types 2, 3, 4 count files last accessed / modified / created on or after the date in
    // `strPattern`. "0" for a type outside 1..4, a blank path, or a date that does not read as
    // one ("Invalid date format" is shown).
    std::string Get_Totals(const std::string& strPath, int intDataType, const std::string& strPattern,
                           bool blnSearchSubfolders);

    // Full paths each followed by ";": the folder's files, then (with subfolders) each subfolder's
    // depth first. "*.*" or a pattern without "*" lists every file; otherwise files whose extension
    // equals the pattern's, case ignored, each adding 1 to Count and raising CountFiles. Links to
    // folders are never entered. Empty for a blank or missing folder and when cancelled.
    std::string Get_FileList(const std::string& strFolder, bool blnSearchSubfolders,
                             const std::string& strPattern);
    // Full paths of the folder's direct subfolders joined by ";"; empty when cancelled.
    std::string Get_DirList(const std::string& strPath);

    // A new empty temporary file in `strTmpFolder` (a blank one becomes the Windows temporary
    // folder, or "C:\" when that cannot be read, and is handed back); empty on failure.
    std::string Create_Tmp_Filename(std::string& strTmpFolder);
    // A new folder with a random name in the temporary folder, its path ending in "\"; empty when
    // it could not be created.
    std::string Create_Tmp_Folder();
    std::string Remove_Nulls(const std::string& strInput);
    // "_" followed by lower-case letters and digits up to `intLength` characters; empty below 1.
    std::string Create_Tmp_Name(int intLength);
    // sngLow + r * (sngHigh - sngLow), r uniform in [0, 1); pumps window messages first.
    float Rnd2(float sngLow, float sngHigh);
    // The folder picked in the shell's folder browser, or empty when cancelled.
    std::string BrowseForFolder(HWND owner, const std::string& strPrompt);
    // A drive or "\\" path longer than `intMaxLen`, shortened to its first folder, "..." and as
    // many of its last parts as fit; any other path unchanged.
    std::string Shrink_2_Fit(const std::string& strPath_to_Resize, int intMaxLen);
    // Total, free and used bytes of the drive of the path's first letter (see ChooseDiskSpace);
    // false with all three 0 for a blank path or a drive that does not answer.
    bool Get_Disk_Space(const std::string& strPath, double& dblTotalSpace, double& dblFreeSpace,
                        double& dblUsedSpace);

private:
    bool TransferFile(bool move, const std::string& source, const std::string& target);
    void Clear();

    double count_ = 0;
};

}  // namespace bw
