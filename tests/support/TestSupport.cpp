// Helpers shared by the tests.
#include "tests/support/TestSupport.h"

#include "platform/Paths.h"
#include "platform/Registry.h"

#include <algorithm>

#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace bw::test {

namespace {

using UnixNameFn = char*(CDECL*)(LPCWSTR);

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

// Single-quotes a word for /bin/sh.
std::string ShellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

std::string UnixPath(const std::string& winPath) {
    static auto fn = reinterpret_cast<UnixNameFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!fn) return {};
    wchar_t wide[MAX_PATH * 2];
    if (!MultiByteToWideChar(CP_ACP, 0, winPath.c_str(), -1, wide, MAX_PATH * 2)) return {};
    char* unixName = fn(wide);
    if (!unixName) return {};
    std::string result(unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

std::string WinPath(const std::string& unixPath) {
    std::string out = "Z:" + unixPath;
    for (char& c : out)
        if (c == '/') c = '\\';
    return out;
}

bool RunUnix(const std::string& program, const std::vector<std::string>& args) {
    // Wine starts a Linux program without a process handle worth waiting on, so the command
    // runs in a shell that touches a marker file when done, and we wait for the marker.
    static int counter = 0;
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    char name[96];
    std::snprintf(name, sizeof name, "bwunix-%lu-%d.done", GetCurrentProcessId(), ++counter);
    std::string marker = std::string(tmp) + name;
    DeleteFileA(marker.c_str());
    std::string unixMarker = UnixPath(std::string(tmp)) + "/" + name;
    std::string script = ShellQuote(program);
    for (const auto& a : args) script += " " + ShellQuote(a);
    script += "; touch " + ShellQuote(unixMarker);
    std::string cmd = "/bin/sh -c " + Quote(script);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back('\0');
    if (!CreateProcessA("Z:\\bin\\sh", buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // Up to two minutes: with tests running side by side a long script can take a while.
    for (int i = 0; i < 24000 && !PathExists(marker); ++i) Sleep(5);
    bool done = PathExists(marker);
    DeleteFileA(marker.c_str());
    return done;
}

long RunAndWait(const std::string& commandLine, const std::string& folder, const std::string& outputFile,
                unsigned long ms) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    HANDLE out = INVALID_HANDLE_VALUE;
    if (!outputFile.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        out = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        if (out == INVALID_HANDLE_VALUE) return -1;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = si.hStdError = out;
    }
    PROCESS_INFORMATION pi{};
    std::string buffer = commandLine;
    const bool started = CreateProcessA(nullptr, &buffer[0], nullptr, nullptr, out != INVALID_HANDLE_VALUE, 0, nullptr,
                                        folder.empty() ? nullptr : folder.c_str(), &si, &pi);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (!started) return -1;
    const bool ended = WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(pi.hProcess, 1);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ended ? static_cast<long>(code) : -1;
}

bool RunScript(const std::string& script, const std::vector<std::string>& args) {
    static int counter = 0;
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    char name[96];
    std::snprintf(name, sizeof name, "bwscript-%lu-%d.sh", GetCurrentProcessId(), ++counter);
    const std::string file = std::string(tmp) + name;
    if (!WriteTextFile(file, script)) return false;
    std::vector<std::string> words{UnixPath(file)};
    words.insert(words.end(), args.begin(), args.end());
    bool done = RunUnix("/bin/sh", words);
    DeleteFileA(file.c_str());
    return done;
}

bool MakeLink(const std::string& targetWinPath, const std::string& linkWinPath) {
    std::string target = UnixPath(targetWinPath);
    std::string link = UnixPath(linkWinPath);
    if (target.empty() || link.empty()) return false;
    return RunUnix("/bin/ln", {"-s", target, link});
}

std::vector<std::string> SortedNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW fd;
    std::wstring pattern(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, &pattern[0], static_cast<int>(pattern.size()));
    pattern.resize(pattern.size() - 1);
    pattern = L"\\\\?\\" + pattern + L"\\*";
    HANDLE h = FindFirstFileW(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring n = fd.cFileName;
        if (n == L"." || n == L"..") continue;
        std::string utf8(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, n.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
        WideCharToMultiByte(CP_UTF8, 0, n.c_str(), -1, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
        utf8.resize(utf8.size() - 1);
        names.push_back(utf8);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

bool WriteTextFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return static_cast<bool>(out);
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDirs(const std::string& path) {
    for (size_t pos = path.find('\\', 3); pos != std::string::npos; pos = path.find('\\', pos + 1))
        CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
    return IsDirectory(path);
}

TempDir::TempDir() {
    static int counter = 0;
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string base = tmp;
    if (!base.empty() && base.back() == '\\') base.pop_back();
    for (;;) {
        char name[64];
        std::snprintf(name, sizeof name, "\\bwtest-%lu-%d-%lu", GetCurrentProcessId(), ++counter,
                      GetTickCount());
        path_ = base + name;
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    }
}

TempDir::~TempDir() {
    // rm -rf removes links without following them; restore write bits first so nothing stays.
    std::string unixPath = UnixPath(path_);
    if (unixPath.empty()) return;
    RunUnix("/bin/chmod", {"-R", "u+w", unixPath});
    RunUnix("/bin/rm", {"-rf", unixPath});
}

TempRegKey::TempRegKey() {
    static int counter = 0;
    char name[96];
    std::snprintf(name, sizeof name, "Software\\BrightwipeTests\\k%lu-%d", GetCurrentProcessId(),
                  ++counter);
    subkey_ = name;
    DeleteTree(HKEY_CURRENT_USER, subkey_);
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, subkey_.c_str(), &key) == ERROR_SUCCESS) RegCloseKey(key);
}

TempRegKey::~TempRegKey() { DeleteTree(HKEY_CURRENT_USER, subkey_); }

bool KeyExists(HKEY root, const std::string& subkey) {
    HKEY key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool SetString(HKEY root, const std::string& subkey, const std::string& name,
               const std::string& value) {
    HKEY key;
    if (RegCreateKeyA(root, subkey.c_str(), &key) != ERROR_SUCCESS) return false;
    LONG rc = RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool GetString(HKEY root, const std::string& subkey, const std::string& name, std::string* value) {
    HKEY key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char buf[4096];
    DWORD size = sizeof buf - 1, type = 0;
    LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return false;
    buf[size] = '\0';
    *value = buf;
    return true;
}

bool ValueExists(HKEY root, const std::string& subkey, const std::string& name) {
    HKEY key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

int ValueCount(HKEY root, const std::string& subkey) {
    HKEY key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return static_cast<int>(values);
}

void DeleteTree(HKEY root, const std::string& subkey) {
    HKEY key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return;
    for (;;) {
        char name[512];
        DWORD len = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        DeleteTree(root, subkey + "\\" + name);
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, subkey.c_str());
}

bool MakeKeyLink(HKEY root, const std::string& subkey, HKEY targetRoot, const std::string& target) {
    RemoveKeyLink(root, subkey);
    const size_t slash = subkey.rfind('\\');
    if (slash != std::string::npos) {
        HKEY parent;
        if (RegCreateKeyA(root, subkey.substr(0, slash).c_str(), &parent) != ERROR_SUCCESS) return false;
        RegCloseKey(parent);
    }
    const std::wstring real =
        (targetRoot == HKEY_LOCAL_MACHINE ? std::wstring(L"\\REGISTRY\\MACHINE") : bw::platform::reg::CurrentUserRealName()) +
        L"\\" + bw::platform::paths::Widen(target);
    HKEY link;
    if (RegCreateKeyExW(root, bw::platform::paths::Widen(subkey).c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                        KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(real.data()),
                                       static_cast<DWORD>(real.size() * sizeof(wchar_t)));
    RegCloseKey(link);
    return status == ERROR_SUCCESS;
}

void RemoveKeyLink(HKEY root, const std::string& subkey) {
    bw::platform::reg::Key key;
    if (bw::platform::reg::OpenNoFollow(root, bw::platform::paths::Widen(subkey), DELETE, 0, &key) ==
        bw::platform::reg::Reached::Link)
        bw::platform::reg::DeleteByHandle(key.get());
}

bool KeyLinkExists(HKEY root, const std::string& subkey) {
    bw::platform::reg::Key key;
    return bw::platform::reg::OpenNoFollow(root, bw::platform::paths::Widen(subkey), KEY_QUERY_VALUE, 0, &key) ==
           bw::platform::reg::Reached::Link;
}

MessageBoxWatcher::MessageBoxWatcher(int button) : button_(button) {
    thread_ = std::thread([this] { Run(); });
}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<MessageBoxWatcher::Box> MessageBoxWatcher::boxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

namespace {

struct FoundDialog {
    HWND hwnd = nullptr;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64];
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) &&
        GetClassNameA(hwnd, cls, sizeof cls) && std::string(cls) == "#32770") {
        reinterpret_cast<FoundDialog*>(lp)->hwnd = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM lp) {
    char cls[64];
    if (GetClassNameA(hwnd, cls, sizeof cls) && _stricmp(cls, "Static") == 0) {
        char text[4096];
        if (GetWindowTextA(hwnd, text, sizeof text) > 0) {
            auto* out = reinterpret_cast<std::string*>(lp);
            if (!out->empty()) *out += "\n";
            *out += text;
        }
    }
    return TRUE;
}

}  // namespace

void MessageBoxWatcher::Run() {
    while (!stop_) {
        FoundDialog found;
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
        if (found.hwnd) {
            Box box;
            char title[512];
            GetWindowTextA(found.hwnd, title, sizeof title);
            box.title = title;
            EnumChildWindows(found.hwnd, CollectStaticText, reinterpret_cast<LPARAM>(&box.text));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                boxes_.push_back(box);
            }
            // A click that arrives while the box is still starting up can be lost, so press
            // again every few milliseconds until the box is gone.
            for (int i = 0; i < 400 && IsWindow(found.hwnd) && IsWindowVisible(found.hwnd); ++i) {
                HWND btn = GetDlgItem(found.hwnd, button_);
                if (btn)
                    PostMessageA(found.hwnd, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(btn));
                else
                    PostMessageA(found.hwnd, WM_COMMAND, IDOK, 0);
                Sleep(15);
            }
        }
        Sleep(20);
    }
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace bw::test

namespace bw::test {

bool SaveScreenshot(const std::string& path, HWND settle) {
    if (settle) {
        // A window found by a second process may not have painted yet: a message that returns
        // only once its thread reaches it, then time for the paint that follows.
        WaitFor([&] { return IsWindowVisible(settle) != FALSE; }, 5000);
        DWORD_PTR ignored;
        for (int round = 0; round < 3; ++round) {
            SendMessageTimeoutA(settle, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
            Sleep(150);
        }
    }
    HDC screen = GetDC(nullptr);
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);

    BITMAPINFOHEADER bih{};
    bih.biSize = sizeof bih;
    bih.biWidth = w;
    bih.biHeight = h;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    std::vector<char> pixels(stride * static_cast<DWORD>(h));
    GetDIBits(screen, bmp, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&bih),
              DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER bfh{};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof bfh + sizeof bih;
    bfh.bfSize = bfh.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&bfh), sizeof bfh);
    out.write(reinterpret_cast<const char*>(&bih), sizeof bih);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

std::string ArtifactsDir() {
#ifdef BW_ARTIFACTS_DIR
    std::string dir = WinPath(BW_ARTIFACTS_DIR);
#else
    std::string dir = ".";
#endif
    MakeDirs(dir);
    return dir;
}

std::string WindowText(HWND hwnd) {
    wchar_t buf[4096];
    int n = GetWindowTextW(hwnd, buf, 4096);
    char out[8192];
    int m = WideCharToMultiByte(CP_ACP, 0, buf, n, out, sizeof out, nullptr, nullptr);
    return std::string(out, static_cast<size_t>(m));
}

std::vector<std::string> ListBoxItems(HWND listBox) {
    std::vector<std::string> items;
    LRESULT count = SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT len = SendMessageW(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (len < 0) break;
        std::vector<wchar_t> buf(static_cast<size_t>(len) + 1);
        SendMessageW(listBox, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf.data()));
        char out[8192];
        int m = WideCharToMultiByte(CP_ACP, 0, buf.data(), -1, out, sizeof out, nullptr, nullptr);
        items.emplace_back(out, m > 0 ? static_cast<size_t>(m - 1) : 0);
    }
    return items;
}

std::string ClassOf(HWND hwnd) {
    char cls[256] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    return cls;
}

namespace {
BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> out;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&out));
    return out;
}

bool MoveToTrash(const std::string& path) {
    std::string from = path + '\0';
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationA(&op) == 0 && !PathExists(path);
}

bool WaitFor(const std::function<bool()>& predicate, int ms) {
    DWORD start = GetTickCount();
    while (!predicate()) {
        if (GetTickCount() - start > static_cast<DWORD>(ms)) return false;
        PumpMessages();
        Sleep(20);
    }
    return true;
}

}  // namespace bw::test
