// Drive letters, drive readiness and properties, free disk space and temporary file names.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bw::platform {

// The logical drive strings ("A:\", "C:\", ...) from GetLogicalDriveStringsA with a
// 260-character buffer, in the order Windows gives; empty when the call fails.
std::vector<std::string> LogicalDriveStrings();

// True when drive `letter` (either case) is present in the logical drive mask.
bool DriveExists(char letter);

// True when drive `letter` exists and its volume answers (a floppy or CD drive without a medium
// is not ready). Never shows Windows' "no disk" box. False for anything outside A..Z.
bool IsDriveReady(char letter);

// IsDriveReady for the drive a path begins with ("C:\", "c:" or any path on it); false for a
// path without a drive letter.
bool IsDriveReadyAt(const std::string& path);

// What Windows reports about one drive. Sizes are in bytes. `driveType` uses the numbering of
// the scripting Drive object: 0 unknown, 1 removable, 2 fixed, 3 network, 4 CD-ROM, 5 RAM disk.
struct DriveProperties {
    char letter = 0;          // upper case
    std::string shareName;    // the network share ("\\server\share") of a mapped drive, else empty
    std::string volumeName;
    std::string fileSystem;   // "NTFS", "FAT32", ...
    DWORD serialNumber = 0;
    uint64_t totalSize = 0, availableSpace = 0, freeSpace = 0;
    int driveType = 0;
    bool isReady = false;
};

// The properties of drive `letter`; nullopt when the drive does not exist. A drive that exists but
// is not ready gives its letter, share and type with isReady false and the rest empty.
std::optional<DriveProperties> GetDriveProperties(char letter);

// GetDiskFreeSpaceExA, looked up in kernel32.dll with LoadLibraryA/GetProcAddress (Windows 95
// before OSR2 lacks it): bytes of the drive whose root is `root` ("C:\").
struct DiskSpaceEx {
    uint64_t availableToCaller = 0, totalBytes = 0, totalFreeBytes = 0;
};
std::optional<DiskSpaceEx> DiskFreeSpaceEx(const std::string& root);

// GetDiskFreeSpaceA, looked up the same way: the cluster figures, which Windows caps near 2 GB.
struct DiskClusters {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
};
std::optional<DiskClusters> DiskFreeSpaceClusters(const std::string& root);

// GetTempFileNameA(folder, prefix, 0): creates a new empty file with a unique name in `folder`
// and returns its path; empty text when it cannot.
std::string TempFileName(const std::string& folder, const std::string& prefix);

}  // namespace bw::platform
