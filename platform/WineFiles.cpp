// Linux-level checks and renames through the descriptors behind open handles (see WineFiles.h).
#include "platform/WineFiles.h"

#include <cstring>

#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace bw::platform::wine {

namespace {

using HandleToFdFn = LONG(CDECL*)(HANDLE, unsigned, int*, unsigned*);

HandleToFdFn HandleToFd() {
    static const auto fn = fs::IsWine() ? reinterpret_cast<HandleToFdFn>(GetProcAddress(
                                              GetModuleHandleA("ntdll.dll"), "wine_server_handle_to_fd"))
                                        : nullptr;
    return fn;
}

#if defined(__i386__)
constexpr long kSysClose = 6;
constexpr long kSysFstat64 = 197;
constexpr long kSysFstatat64 = 300;
constexpr long kSysRenameat2 = 353;
constexpr long kRenameNoReplace = 1;
constexpr long kAtSymlinkNoFollow = 0x100;
constexpr long kErrExist = 17;

long LinuxCall(long number, long a, long b, long c, long d, long e) {
    long result;
    asm volatile("int $0x80" : "=a"(result) : "0"(number), "b"(a), "c"(b), "d"(c), "S"(d), "D"(e) : "memory");
    return result;
}

long Text(const std::string& text) { return reinterpret_cast<long>(text.c_str()); }

// The device and inode of an entry (i386's struct stat64: st_dev at 0, st_ino at 88, 96 bytes).
struct Identity {
    unsigned long long device = 0, inode = 0;
    bool operator==(const Identity& other) const { return device == other.device && inode == other.inode; }
};
std::optional<Identity> IdentityOf(long result, const unsigned char (&buffer)[128]) {
    if (result != 0) return std::nullopt;
    Identity id;
    std::memcpy(&id.device, buffer, sizeof id.device);
    std::memcpy(&id.inode, buffer + 88, sizeof id.inode);
    return id;
}
std::optional<Identity> OfDescriptor(int fd) {
    unsigned char buffer[128] = {};
    return IdentityOf(LinuxCall(kSysFstat64, fd, reinterpret_cast<long>(buffer), 0, 0, 0), buffer);
}
std::optional<Identity> OfEntry(int folder, const std::string& name) {
    unsigned char buffer[128] = {};
    return IdentityOf(
        LinuxCall(kSysFstatat64, folder, Text(name), reinterpret_cast<long>(buffer), kAtSymlinkNoFollow, 0), buffer);
}

// The Linux descriptor of an open handle, closed when it goes; -1 when Wine gives none.
class Descriptor {
public:
    explicit Descriptor(HANDLE h) {
        unsigned options = 0;
        if (!HandleToFd() || HandleToFd()(h, 0, &fd_, &options) != 0) fd_ = -1;
    }
    ~Descriptor() {
        if (fd_ >= 0) LinuxCall(kSysClose, fd_, 0, 0, 0, 0);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// The Linux name of a true name: its UTF-8, when that holds no character Linux would read
// otherwise.
std::optional<std::string> LinuxName(const std::wstring& name) {
    if (!paths::IsSafeName(name)) return std::nullopt;
    std::string text = paths::Utf8(name);
    if (text.empty() || text.find('\0') != std::string::npos) return std::nullopt;
    return text;
}
#endif

}  // namespace

bool HandlesReachLinux() {
#if defined(__i386__)
    return HandleToFd() != nullptr;
#else
    return false;
#endif
}

std::optional<bool> IsEntryOf(HANDLE parent, const std::wstring& name, HANDLE child) {
#if defined(__i386__)
    const std::optional<std::string> linuxName = LinuxName(name);
    if (!HandlesReachLinux() || !linuxName) return std::nullopt;
    const Descriptor folder(parent), opened(child);
    if (!folder.valid() || !opened.valid()) return std::nullopt;
    const std::optional<Identity> entry = OfEntry(folder.get(), *linuxName), held = OfDescriptor(opened.get());
    return entry && held && *entry == *held;
#else
    return std::nullopt;
#endif
}

Move RenameBetween(HANDLE fromDir, const std::wstring& fromName, HANDLE toDir, const std::wstring& toName,
                   HANDLE file) {
#if defined(__i386__)
    const std::optional<std::string> from = LinuxName(fromName), to = LinuxName(toName);
    if (!HandlesReachLinux() || !from || !to) return Move::Failed;
    const Descriptor source(fromDir), target(toDir), opened(file);
    if (!source.valid() || !target.valid() || !opened.valid()) return Move::Failed;
    const long renamed = LinuxCall(kSysRenameat2, source.get(), Text(*from), target.get(), Text(*to), kRenameNoReplace);
    if (renamed == -kErrExist) return Move::NameTaken;
    if (renamed != 0) return Move::Failed;  // another device (EXDEV) among them
    const std::optional<Identity> arrived = OfEntry(target.get(), *to), held = OfDescriptor(opened.get());
    if (arrived && held && *arrived == *held) return Move::Moved;
    const long back = LinuxCall(kSysRenameat2, target.get(), Text(*to), source.get(), Text(*from), kRenameNoReplace);
    return back == 0 ? Move::Failed : Move::MovedOther;
#else
    return Move::Failed;
#endif
}

}  // namespace bw::platform::wine
