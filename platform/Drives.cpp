// Drive letters, readiness and properties, free space and temporary file names (see Drives.h).
#include "platform/Drives.h"

#include <cctype>

namespace bw::platform {

namespace {

// Keeps Windows from asking the user to insert a disk while a drive is probed.
class QuietErrors {
public:
    QuietErrors() : old_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() { SetErrorMode(old_); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    UINT old_;
};

// A library loaded for the lifetime of one call.
class Library {
public:
    explicit Library(const char* name) : module_(LoadLibraryA(name)) {}
    ~Library() {
        if (module_) FreeLibrary(module_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    FARPROC Find(const char* name) const { return module_ ? GetProcAddress(module_, name) : nullptr; }

private:
    HMODULE module_;
};

bool IsLetter(char letter) {
    char up = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    return up >= 'A' && up <= 'Z';
}

std::string RootOf(char letter) {
    return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))) + ":\\";
}

int ScriptingDriveType(UINT windowsType) {
    switch (windowsType) {
        case DRIVE_REMOVABLE: return 1;
        case DRIVE_FIXED: return 2;
        case DRIVE_REMOTE: return 3;
        case DRIVE_CDROM: return 4;
        case DRIVE_RAMDISK: return 5;
        default: return 0;
    }
}

std::string ShareNameOf(char letter) {
    using WNetGetConnectionFn = DWORD(WINAPI*)(LPCSTR, LPSTR, LPDWORD);
    Library mpr("mpr.dll");
    auto fn = reinterpret_cast<WNetGetConnectionFn>(mpr.Find("WNetGetConnectionA"));
    if (!fn) return {};
    char local[3] = {static_cast<char>(std::toupper(static_cast<unsigned char>(letter))), ':', '\0'};
    char remote[MAX_PATH + 1] = "";
    DWORD size = sizeof remote;
    if (fn(local, remote, &size) != NO_ERROR) return {};
    return remote;
}

}  // namespace

std::vector<std::string> LogicalDriveStrings() {
    char buffer[260] = "";
    DWORD n = GetLogicalDriveStringsA(sizeof buffer, buffer);
    std::vector<std::string> drives;
    if (n == 0 || n > sizeof buffer) return drives;
    for (DWORD i = 0; i < n;) {
        std::string drive(buffer + i);
        if (drive.empty()) break;
        i += static_cast<DWORD>(drive.size()) + 1;
        drives.push_back(drive);
    }
    return drives;
}

bool DriveExists(char letter) {
    if (!IsLetter(letter)) return false;
    int index = std::toupper(static_cast<unsigned char>(letter)) - 'A';
    return (GetLogicalDrives() >> index) & 1;
}

bool IsDriveReadyAt(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' && IsDriveReady(path[0]);
}

bool IsDriveReady(char letter) {
    if (!DriveExists(letter)) return false;
    QuietErrors quiet;
    DWORD serial = 0, maxName = 0, flags = 0;
    return GetVolumeInformationA(RootOf(letter).c_str(), nullptr, 0, &serial, &maxName, &flags,
                                 nullptr, 0) != 0;
}

std::optional<DriveProperties> GetDriveProperties(char letter) {
    if (!DriveExists(letter)) return std::nullopt;
    const std::string root = RootOf(letter);
    DriveProperties p;
    p.letter = root[0];
    UINT type = GetDriveTypeA(root.c_str());
    p.driveType = ScriptingDriveType(type);
    if (type == DRIVE_REMOTE) p.shareName = ShareNameOf(letter);

    QuietErrors quiet;
    char volume[MAX_PATH + 1] = "", fileSystem[MAX_PATH + 1] = "";
    DWORD serial = 0, maxName = 0, flags = 0;
    if (!GetVolumeInformationA(root.c_str(), volume, sizeof volume, &serial, &maxName, &flags,
                               fileSystem, sizeof fileSystem))
        return p;
    p.isReady = true;
    p.volumeName = volume;
    p.fileSystem = fileSystem;
    p.serialNumber = serial;
    if (auto space = DiskFreeSpaceEx(root)) {
        p.totalSize = space->totalBytes;
        p.availableSpace = space->availableToCaller;
        p.freeSpace = space->totalFreeBytes;
    } else if (auto c = DiskFreeSpaceClusters(root)) {
        const uint64_t cluster = uint64_t(c->sectorsPerCluster) * c->bytesPerSector;
        p.totalSize = cluster * c->totalClusters;
        p.availableSpace = p.freeSpace = cluster * c->freeClusters;
    }
    return p;
}

std::optional<DiskSpaceEx> DiskFreeSpaceEx(const std::string& root) {
    using Fn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    Library kernel32("kernel32.dll");
    auto fn = reinterpret_cast<Fn>(kernel32.Find("GetDiskFreeSpaceExA"));
    if (!fn) return std::nullopt;
    QuietErrors quiet;
    ULARGE_INTEGER available{}, total{}, free{};
    if (!fn(root.c_str(), &available, &total, &free)) return std::nullopt;
    return DiskSpaceEx{available.QuadPart, total.QuadPart, free.QuadPart};
}

std::optional<DiskClusters> DiskFreeSpaceClusters(const std::string& root) {
    using Fn = BOOL(WINAPI*)(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD);
    Library kernel32("kernel32.dll");
    auto fn = reinterpret_cast<Fn>(kernel32.Find("GetDiskFreeSpaceA"));
    if (!fn) return std::nullopt;
    QuietErrors quiet;
    DiskClusters c;
    if (!fn(root.c_str(), &c.sectorsPerCluster, &c.bytesPerSector, &c.freeClusters,
            &c.totalClusters))
        return std::nullopt;
    return c;
}

std::string TempFileName(const std::string& folder, const std::string& prefix) {
    char buffer[260] = "";
    if (!GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, buffer)) return {};
    return buffer;
}

}  // namespace bw::platform
