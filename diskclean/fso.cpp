// The disk cleaner's file, folder and drive helper (see fso.h).
#include "diskclean/fso.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

#include "platform/FileInfo.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"

namespace bw {

namespace fs = platform::fs;

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsSlash(char c) { return c == '\\' || c == '/'; }

std::string WithSlash(const std::string& path) {
    return !path.empty() && IsSlash(path.back()) ? path : path + "\\";
}

// "Error: 5  Access is denied." as every message of this class begins.
std::string ErrorLine(DWORD error) {
    return "Error: " + std::to_string(error) + "  " + platform::ErrorText(error);
}

// Length of the root part: "C:\" -> 3, "C:" -> 2, "\\server\share\" -> up to and with the
// share's backslash, "\" -> 1; 0 for a relative path.
size_t RootLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && IsSlash(path[2]) ? 3 : 2;
    if (path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1])) {
        size_t server = path.find_first_of("\\/", 2);
        if (server == std::string::npos) return path.size();
        size_t share = path.find_first_of("\\/", server + 1);
        return share == std::string::npos ? path.size() : share + 1;
    }
    return !path.empty() && IsSlash(path[0]) ? 1 : 0;
}

// The path without trailing separators, keeping a root whole.
std::string StripTrailing(const std::string& path) {
    std::string p = path;
    size_t root = RootLength(p);
    while (p.size() > root && IsSlash(p.back())) p.pop_back();
    return p;
}

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string Decimal(uint64_t n) { return std::to_string(n); }

// "1,234,567", as the "#,0" number format writes it.
std::string Grouped(uint64_t n) {
    std::string digits = std::to_string(n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

// The scripting object's attribute value: the low attribute bits, 64 for a link.
long ScriptingAttributes(DWORD attributes) {
    long value = attributes & 0x3F;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) value |= 64;
    if (attributes & FILE_ATTRIBUTE_COMPRESSED) value |= 2048;
    return value;
}

// True when the file at `path` is the file itself and not (under Wine, where links read as plain
// files) a link leading to a file elsewhere. True where final paths cannot be had at all.
bool ResolvesInPlace(const std::string& path, const std::string& parent, const std::string& name) {
    std::optional<std::string> self = fs::FinalPath(path);
    std::optional<std::string> folder = fs::FinalPath(parent.empty() ? "." : parent);
    if (!self && !folder) return true;  // Windows XP: no final paths; links carry REPARSE_POINT
    if (!self || !folder) return false;
    return fs::SameFinalPath(*self, WithSlash(*folder) + name);
}

// True when both names lead to one file.
bool SameFile(const std::string& a, const std::string& b) {
    std::optional<std::string> fa = fs::FullPath(a), fb = fs::FullPath(b);
    if (fa && fb && fs::SameFinalPath(*fa, *fb)) return true;
    std::optional<std::string> ra = fs::FinalPath(a), rb = fs::FinalPath(b);
    return ra && rb && fs::SameFinalPath(*ra, *rb);
}

// The Windows temporary folder with a trailing backslash, or "C:\" when it cannot be read.
std::string TempFolder() {
    std::string temp = fs::TempPath();
    if (temp.empty()) return "C:\\";
    return WithSlash(temp);
}

// Whether `haystack`, read in chunks, holds `needle` (both lower-cased); an empty needle is
// held by every file.
bool FileHolds(const std::string& path, const std::string& needle) {
    if (needle.empty()) return true;
    bool found = false;
    std::string window;  // the end of the previous chunk, so a match across chunks is seen
    bool read = platform::ReadFileChunks(path, [&](const char* data, size_t size) {
        window += platform::LowerText(std::string(data, size));
        if (window.find(needle) != std::string::npos) {
            found = true;
            return false;
        }
        size_t keep = std::min(window.size(), needle.size() - 1);
        window.erase(0, window.size() - keep);
        return true;
    });
    return read && found;
}

std::mt19937& Generator() {
    // Seeded once: seeding again from the clock at every draw would hand out the same number
    // for every draw within one clock tick, and temporary names of one repeated character.
    static std::mt19937 generator = [] {
        std::random_device device;
        auto now = std::chrono::system_clock::now().time_since_epoch().count();
        std::seed_seq seq{device(), static_cast<unsigned>(now), static_cast<unsigned>(now >> 32)};
        return std::mt19937(seq);
    }();
    return generator;
}

}  // namespace

std::optional<DiskSpaceFigures> ChooseDiskSpace(const std::optional<platform::DiskSpaceEx>& ex,
                                                const std::optional<platform::DiskClusters>& clusters) {
    auto fromEx = [&] {
        DiskSpaceFigures f;
        f.total = static_cast<double>(ex->totalBytes);
        f.free = static_cast<double>(ex->totalFreeBytes);
        f.used = f.total - f.free;
        return f;
    };
    if (ex && ex->totalBytes > 2200000000ULL) return fromEx();
    if (clusters) {
        const uint64_t cluster = uint64_t(clusters->sectorsPerCluster) * clusters->bytesPerSector;
        DiskSpaceFigures f;
        f.free = static_cast<double>(cluster * clusters->freeClusters);
        f.total = static_cast<double>(cluster * clusters->totalClusters);
        f.used = f.total - f.free;
        return f;
    }
    if (ex) return fromEx();
    return std::nullopt;
}

fso::fso() { Clear(); }

fso::~fso() { Clear(); }

void fso::Clear() {
    count_ = 0;
    FileInfo = FileInfoRecord{};
    DriveInfo = DriveInfoRecord{};
}

bool fso::IsDriveReady(const std::string& strDrive) {
    if (strDrive.empty()) return false;
    char letter = strDrive[0];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    if (letter < 'A' || letter > 'Z') return false;
    return platform::IsDriveReady(letter);
}

bool fso::Create_Dir_Struct(const std::string& strPath) {
    std::string path = Trim(strPath);
    if (path.empty()) return false;
    path = WithSlash(path);
    const size_t root = RootLength(path);
    for (size_t i = 1; i < path.size(); ++i) {
        if (!IsSlash(path[i])) continue;
        const std::string folder = path.substr(0, i);
        if (i < root || fs::FolderExists(folder)) continue;  // "\\server\share" is no folder to make
        DWORD error = platform::CreateFolder(folder);
        if (error == 0) continue;
        platform::MsgBox(nullptr,
                         ErrorLine(error) + kCrLf + kCrLf + "An error occured while trying to create " +
                             folder,
                         "Error creating folder", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    return true;
}

std::string fso::Get_Extension(const std::string& strFileName) {
    std::string name = Get_Filename(strFileName);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string fso::Get_Filename(const std::string& strFileName) {
    std::string path = StripTrailing(strFileName);
    size_t root = RootLength(path);
    if (path.size() <= root) return {};
    size_t slash = path.find_last_of("\\/");
    size_t start = (slash == std::string::npos || slash < root) ? root : slash + 1;
    return path.substr(start);
}

std::string fso::Get_Path(const std::string& strFileName) {
    std::string path = StripTrailing(strFileName);
    size_t root = RootLength(path);
    if (path.size() <= root) return {};
    size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos || slash + 1 < root) return path.substr(0, root);
    if (slash < root) return path.substr(0, root);
    return StripTrailing(path.substr(0, slash + 1));
}

std::string fso::Get_Version(const std::string& strFileName) {
    return platform::FileVersionText(strFileName);
}

bool fso::Drive_Exist(const std::string& strSearchData, long& lngDriveType) {
    DriveInfo = DriveInfoRecord{};
    if (strSearchData.size() < 2 || strSearchData[1] != ':') return false;
    const char letter = strSearchData[0];
    if (!platform::DriveExists(letter) || !IsDriveReady(std::string(1, letter))) return false;
    std::optional<platform::DriveProperties> p = platform::GetDriveProperties(letter);
    if (!p) return false;
    char serial[16];
    std::snprintf(serial, sizeof serial, "%04X-%04X", static_cast<unsigned>(p->serialNumber >> 16),
                  static_cast<unsigned>(p->serialNumber & 0xFFFF));
    DriveInfo.DriveLetter = std::string(1, p->letter);
    DriveInfo.ShareName = p->shareName;
    DriveInfo.Path = DriveInfo.DriveLetter + ":";
    DriveInfo.RootFolder = DriveInfo.Path + "\\";
    DriveInfo.SerialNumber = serial;
    DriveInfo.VolumeName = p->volumeName;
    DriveInfo.TotalSize = Decimal(p->totalSize);
    DriveInfo.AvailableSpace = Decimal(p->availableSpace);
    DriveInfo.FreeSpace = Decimal(p->freeSpace);
    DriveInfo.DriveType = std::to_string(p->driveType);
    DriveInfo.FileSystem = p->fileSystem;
    DriveInfo.IsReady = p->isReady ? "1" : "0";
    lngDriveType = p->driveType;
    return true;
}

bool fso::File_Exist(const std::string& strSearchItem) {
    if (strSearchItem.empty()) return false;
    long driveType = 0;
    if (!Drive_Exist(strSearchItem.substr(0, 2), driveType) || driveType == 0) return false;
    if (strSearchItem.size() >= 4 && !Folder_Exist(strSearchItem)) return false;
    return fs::FileExists(strSearchItem);
}

bool fso::Folder_Exist(const std::string& strFolder) {
    std::string folder = strFolder;
    const std::string tail = folder.size() > 5 ? folder.substr(folder.size() - 5) : folder;
    if (tail.find('.') != std::string::npos) folder = Get_Path(folder);
    if (!folder.empty() && IsSlash(folder.back())) folder.pop_back();
    return fs::FolderExists(folder);
}

std::vector<std::string> fso::Available_Drives() { return platform::LogicalDriveStrings(); }

bool fso::IsThisRestricted(const std::string& strPath) {
    const std::string folder = Add_Trailing_Slash(strPath);
    if (folder.empty() || !fs::FolderExists(folder)) return true;
    // The probe never opens an existing file: a user's own "_Test.$$$" (or a link of that name)
    // is left alone and another name is probed instead.
    std::string probe = folder + "_Test.$$$";
    for (int tries = 0; tries < 8 && platform::PathAttributes(probe); ++tries)
        probe = folder + Create_Tmp_Name(8) + ".$$$";
    return platform::ProbeWrite(probe) != 0;
}

bool fso::Get_FileInfo(const std::string& strFileName) {
    FileInfo = FileInfoRecord{};
    if (Trim(strFileName).empty()) return false;
    std::optional<std::string> full = fs::FullPath(strFileName);
    if (!full) return false;
    std::optional<platform::FileDetails> d = platform::GetFileDetails(*full);
    if (!d) return false;
    FileInfoRecord r;
    size_t root = RootLength(*full);
    r.Drive = full->substr(0, root);
    while (!r.Drive.empty() && IsSlash(r.Drive.back())) r.Drive.pop_back();  // "C:", "\\server\share"
    r.Path = *full;
    r.ParentFolder = Get_Path(*full);
    r.Size = Decimal(d->size);
    r.Type = platform::FileTypeName(*full);
    r.Extension = Get_Extension(*full);
    r.DateLastAccessed = platform::FileTimeText(d->accessed);
    r.DateLastModified = platform::FileTimeText(d->written);
    r.DateCreated = platform::FileTimeText(d->created);
    r.Attributes = Attribute_String(ScriptingAttributes(d->attributes));
    FileInfo = r;
    return true;
}

std::string fso::Attribute_String(long lngValue) {
    switch (lngValue) {
        case 1: return "R";
        case 2: return "H";
        case 3: return "RH";
        case 4: return "S";
        case 5: return "RS";
        case 6: return "HS";
        case 7: return "RHS";
        case 8: return "V";
        case 16: return "D";
        case 17: return "DR";
        case 18: return "DH";
        case 19: return "DRH";
        case 20: return "DS";
        case 23: return "DRHS";
        case 32: return "A";
        case 33: return "RA";
        case 34: return "HA";
        case 35: return "RHA";
        case 39: return "RHSA";
        case 48: return "DA";
        case 49: return "DRA";
        case 50: return "DHA";
        case 51: return "DRHA";
        case 52: return "DSA";
        case 53: return "DRSA";
        case 54: return "DHSA";
        case 55: return "DRHSA";
        case 64: return "Alias";
        default: return {};
    }
}

bool fso::Move_File(const std::string& strSource, const std::string& strTarget) {
    return TransferFile(true, strSource, strTarget);
}

bool fso::Copy_File(const std::string& strSource, const std::string& strTarget) {
    return TransferFile(false, strSource, strTarget);
}

bool fso::TransferFile(bool move, const std::string& source, const std::string& target) {
    auto fail = [&](DWORD error) {
        platform::MsgBox(nullptr,
                         ErrorLine(error) + kCrLf + kCrLf +
                             (move ? "Error while moving a file" : "Error while copying a file") +
                             kCrLf + kCrLf + "FROM: " + source + kCrLf + "TO: " + target,
                         move ? "Errors detected" : "Error Detected", MB_OK | MB_ICONINFORMATION);
        return false;
    };
    // Checked before the question, so a Yes can never cost the user the target for nothing.
    if (Trim(source).empty() || Trim(target).empty()) return fail(ERROR_INVALID_NAME);
    if (!fs::FileExists(source)) return fail(ERROR_FILE_NOT_FOUND);
    if (SameFile(source, target)) return fail(ERROR_FILE_EXISTS);
    // Under Wine a link to a file reads as a plain file and moving it moves the file it leads to.
    if (move && !ResolvesInPlace(source, Get_Path(source), Get_Filename(source)))
        return fail(ERROR_ACCESS_DENIED);

    if (fs::FileExists(target)) {
        Get_FileInfo(target);
        const std::string question = std::string("File already exist at") + kCrLf + target + kCrLf +
                                     FileInfo.DateLastModified + kCrLf + FileInfo.Size + kCrLf +
                                     kCrLf + "Do you want to replace it?";
        if (platform::MsgBox(nullptr, question, "Replace File?", MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
        // The checked delete clears read-only and refuses a target that leads elsewhere.
        if (!fs::DeleteFileAt(target, true)) return fail(ERROR_ACCESS_DENIED);
    }

    std::optional<DWORD> attributes = platform::PathAttributes(source);
    DWORD error = move ? platform::MoveFileTo(source, target) : platform::CopyFileTo(source, target);
    if (error) return fail(error);
    if (attributes) {
        DWORD kept = *attributes & kSettableAttributes;
        platform::SetPathAttributes(target, kept ? kept : FILE_ATTRIBUTE_NORMAL);
    }
    return true;
}

bool fso::DelTree32(const std::string& strPath) {
    auto fail = [&](DWORD error) {
        platform::MsgBox(nullptr,
                         ErrorLine(error) + kCrLf + kCrLf + "Error while deleting path " + kCrLf + strPath,
                         "Error Detected", MB_OK | MB_ICONEXCLAMATION);
        return false;
    };
    // Only a full path is taken: a blank, relative or drive-relative ("C:x") one would resolve
    // against the current folder, and a root is never deleted.
    const std::string trimmed = Trim(strPath);
    const size_t root = RootLength(trimmed);
    const bool fullForm = (root == 3 && trimmed[1] == ':') || (trimmed.size() > 2 && root > 2 && IsSlash(trimmed[0]));
    if (!fullForm) return fail(ERROR_INVALID_NAME);
    std::optional<std::string> full = fs::FullPath(StripTrailing(trimmed));
    if (!full) return fail(ERROR_INVALID_NAME);
    *full = StripTrailing(*full);
    if (full->size() <= RootLength(*full)) return fail(ERROR_ACCESS_DENIED);
    if (!fs::FolderExists(*full)) return fail(ERROR_PATH_NOT_FOUND);

    fs::DeleteFolders(*full, true);
    std::optional<DWORD> left = platform::PathAttributes(*full);
    if (!left) return true;
    return fail((*left & FILE_ATTRIBUTE_REPARSE_POINT) ? ERROR_ACCESS_DENIED : ERROR_DIR_NOT_EMPTY);
}

std::string fso::Add_Trailing_Slash(const std::string& strPath) {
    std::string path = Trim(strPath);
    if (path.empty()) return path;  // a blank path must not turn into the root "\"
    return path.back() == '\\' ? path : path + "\\";
}

std::string fso::Remove_Trailing_Slash(const std::string& strPath) {
    std::string path = Trim(strPath);
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

std::vector<std::string> fso::TextSearch(const std::string& strPath, const std::string& strText) {
    std::vector<std::string> found;
    const std::string folder = Add_Trailing_Slash(strPath);
    if (!folder.empty()) {
        const std::string needle = platform::LowerText(strText);
        fs::ListFolder(folder, [&](const fs::DirEntry& entry) {
            if (!entry.IsFolder() && FileHolds(folder + entry.name, needle))
                found.push_back(folder + entry.name);
            return true;
        });
    }
    if (found.empty()) return {"N/A", ""};
    return found;
}

std::string fso::Get_Totals(const std::string& strPath, int intDataType,
                            const std::string& strPattern, bool blnSearchSubfolders) {
    if (intDataType < 1 || intDataType > 4 || Trim(strPath).empty()) return "0";
    std::optional<double> since;
    if (intDataType > 1) {
        since = platform::DateFromText(strPattern);
        if (!since) {
            platform::MsgBox(nullptr, "An invalid date was passed.", "Invalid date format",
                             MB_OK | MB_ICONINFORMATION);
            return "0";
        }
    }
    std::string list = Get_FileList(strPath, blnSearchSubfolders, strPattern);
    uint64_t total = 0;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        const std::string path = list.substr(start, end - start);
        start = end + 1;
        if (path.empty()) break;
        if (!Get_FileInfo(path)) continue;  // gone since it was listed
        if (intDataType == 1) {
            total += std::stoull(FileInfo.Size);
        } else {
            const std::string& when = intDataType == 2   ? FileInfo.DateLastAccessed
                                      : intDataType == 3 ? FileInfo.DateLastModified
                                                         : FileInfo.DateCreated;
            std::optional<double> day = platform::DateFromText(when.substr(0, when.find(' ')));
            if (!day) {
                platform::MsgBox(
                    nullptr,
                    ErrorLine(ERROR_INVALID_DATA) + kCrLf + kCrLf + "File: " + path + kCrLf +
                        "Size: " + Grouped(std::stoull(FileInfo.Size)) + kCrLf +
                        "Created:  " + FileInfo.DateCreated + kCrLf + "Modified: " +
                        FileInfo.DateLastModified + kCrLf + "Accessed: " + FileInfo.DateLastAccessed,
                    "Errors detected", MB_OK | MB_ICONINFORMATION);
                return "0";
            }
            if (std::floor(*since) > std::floor(*day)) continue;
            total += 1;
        }
        if (CountTotals) CountTotals(path, total);
    }
    return Decimal(total);
}

std::string fso::Get_FileList(const std::string& strFolder, bool blnSearchSubfolders,
                              const std::string& strPattern) {
    ui::DoEvents();
    if (CancelProcessing || Trim(strFolder).empty()) return {};
    const bool everyFile = strPattern == "*.*" || strPattern.find('*') == std::string::npos;
    const std::string wanted = LowerAscii(Get_Extension(strPattern));

    // Depth first without recursion, in the order a recursive walk gives: a folder's files,
    // then each of its subfolders with everything below it. The stack holds folders only.
    std::string result;
    std::vector<std::string> pending{WithSlash(strFolder)};
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        ui::DoEvents();
        if (CancelProcessing) return {};
        std::vector<std::string> subfolders;
        fs::ListFolder(folder, [&](const fs::DirEntry& entry) {
            if (entry.IsFolder()) {
                if (!entry.IsLink()) subfolders.push_back(folder + entry.name + "\\");
                return true;
            }
            ui::DoEvents();
            if (CancelProcessing) return false;
            if (!everyFile && LowerAscii(Get_Extension(entry.name)) != wanted) return true;
            const std::string path = folder + entry.name;
            result += path + ";";
            if (!everyFile) {
                count_ += 1;
                if (CountFiles) CountFiles(path, count_);
            }
            return true;
        });
        ui::DoEvents();
        if (CancelProcessing) return {};
        if (!blnSearchSubfolders) break;
        pending.insert(pending.end(), subfolders.rbegin(), subfolders.rend());
    }
    return result;
}

std::string fso::Get_DirList(const std::string& strPath) {
    const std::string folder = Add_Trailing_Slash(strPath);
    if (folder.empty()) return {};
    std::string result;
    bool cancelled = false;
    fs::ListFolder(folder, [&](const fs::DirEntry& entry) {
        if (!entry.IsFolder()) return true;
        ui::DoEvents();
        if (CancelProcessing) {
            cancelled = true;
            return false;
        }
        if (!result.empty()) result += ";";
        result += folder + entry.name;
        return true;
    });
    return cancelled ? std::string() : result;
}

std::string fso::Create_Tmp_Filename(std::string& strTmpFolder) {
    if (Trim(strTmpFolder).empty()) strTmpFolder = TempFolder();
    return platform::TempFileName(strTmpFolder, Create_Tmp_Name(4));
}

std::string fso::Create_Tmp_Folder() {
    const std::string folder = TempFolder() + Create_Tmp_Name(8);
    if (!fs::FolderExists(folder) && platform::CreateFolder(folder) != 0) return {};
    return folder + "\\";
}

std::string fso::Remove_Nulls(const std::string& strInput) {
    size_t nul = strInput.find('\0');
    return nul == std::string::npos ? strInput : strInput.substr(0, nul);
}

std::string fso::Create_Tmp_Name(int intLength) {
    if (intLength < 1) return {};
    std::string name = "_";
    while (static_cast<int>(name.size()) < intLength) {
        int code = static_cast<int>(Rnd2(48, 122));
        if ((code >= 58 && code <= 64) || (code >= 91 && code <= 96)) code += 7;
        name += static_cast<char>(code);
    }
    return LowerAscii(name);
}

float fso::Rnd2(float sngLow, float sngHigh) {
    ui::DoEvents();
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    double r = unit(Generator());
    if (r >= 1.0) r = 0.0;
    float value = static_cast<float>(sngLow + r * (sngHigh - sngLow));
    // Rounding to single precision must not reach the upper bound.
    if (sngHigh > sngLow && value >= sngHigh) value = std::nextafter(sngHigh, sngLow);
    return value;
}

std::string fso::BrowseForFolder(HWND owner, const std::string& strPrompt) {
    return ui::BrowseForFolder(owner, strPrompt).value_or(std::string());
}

std::string fso::Shrink_2_Fit(const std::string& strPath_to_Resize, int intMaxLen) {
    const std::string path = Trim(strPath_to_Resize);
    const bool drivePath = path.size() >= 2 && path[1] == ':';
    const bool uncPath = path.compare(0, 2, "\\\\") == 0;
    if (static_cast<long>(path.size()) <= intMaxLen || (!drivePath && !uncPath)) return path;
    const size_t firstSlash = path.find('\\', 2);
    if (firstSlash == std::string::npos) return path;
    const size_t n = firstSlash + 1;  // the head keeps the root and first backslash
    const std::string head = path.substr(0, n) + "...";
    const long room = static_cast<long>(intMaxLen) - static_cast<long>(n) - 3;
    // Each pass drops at least the first n characters of the rest, so the loop always ends.
    std::string rest = path;
    do {
        size_t next = rest.find('\\', n);
        if (next == std::string::npos) break;
        rest.erase(0, next);
    } while (static_cast<long>(rest.size()) > room);
    return head + rest;
}

bool fso::Get_Disk_Space(const std::string& strPath, double& dblTotalSpace, double& dblFreeSpace,
                         double& dblUsedSpace) {
    dblTotalSpace = dblFreeSpace = dblUsedSpace = 0;
    const std::string path = Trim(strPath);
    if (path.empty()) return false;
    const std::string root = path.substr(0, 1) + ":\\";
    std::optional<platform::DiskSpaceEx> ex = platform::DiskFreeSpaceEx(root);
    std::optional<platform::DiskClusters> clusters;
    if (!ex || ex->totalBytes <= 2200000000ULL) clusters = platform::DiskFreeSpaceClusters(root);
    std::optional<DiskSpaceFigures> figures = ChooseDiskSpace(ex, clusters);
    if (!figures) return false;
    dblTotalSpace = figures->total;
    dblFreeSpace = figures->free;
    dblUsedSpace = figures->used;
    return true;
}

}  // namespace bw
