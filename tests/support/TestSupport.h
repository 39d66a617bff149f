// Helpers shared by the tests: throwaway folders and registry keys, Linux links, message boxes.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace bw::test {

// The Linux path behind a Windows path (Wine only); empty when it cannot be had.
std::string UnixPath(const std::string& winPath);
// The Windows (Z:) path of a Linux path.
std::string WinPath(const std::string& unixPath);
// Runs a Linux program (Wine starts ELF binaries natively) and waits for it.
bool RunUnix(const std::string& program, const std::vector<std::string>& args);
// Runs the /bin/sh script `script` (its text kept byte for byte, so UTF-8 names in it stay
// UTF-8) with the positional parameters `args`, and waits for it.
bool RunScript(const std::string& script, const std::vector<std::string>& args);
// Runs the Windows command line `commandLine` in `folder` (empty: this process's folder), its
// output and errors going to the new file `outputFile` when one is named, and waits up to `ms`
// for it to end (ending it when it does not). Its exit code; -1 when it did not start or end.
long RunAndWait(const std::string& commandLine, const std::string& folder = "", const std::string& outputFile = "",
                unsigned long ms = 60000);
// Makes a Linux symbolic link at `linkWinPath` pointing at `targetWinPath`.
bool MakeLink(const std::string& targetWinPath, const std::string& linkWinPath);

// The true names in `folder` (FindFirstFileW), as UTF-8, sorted; "." and ".." left out.
std::vector<std::string> SortedNames(const std::string& folder);

bool WriteTextFile(const std::string& path, const std::string& content);
std::string ReadTextFile(const std::string& path);
bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
bool MakeDirs(const std::string& path);  // like mkdir -p, backslash separators

// A fresh folder under the Windows temp folder, removed with everything in it (links
// themselves, never their targets) when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }  // no trailing backslash
    std::string operator/(const std::string& rel) const { return path_ + "\\" + rel; }

private:
    std::string path_;
};

// A fresh key under HKEY_CURRENT_USER\Software\BrightwipeTests, deleted with its subkeys.
class TempRegKey {
public:
    TempRegKey();
    ~TempRegKey();
    const std::string& subkey() const { return subkey_; }  // relative to HKCU
    std::string fullPath() const { return "HKEY_CURRENT_USER\\" + subkey_; }

private:
    std::string subkey_;
};

// Registry conveniences for assertions.
bool KeyExists(HKEY root, const std::string& subkey);
bool SetString(HKEY root, const std::string& subkey, const std::string& name, const std::string& value);
bool GetString(HKEY root, const std::string& subkey, const std::string& name, std::string* value);
bool ValueExists(HKEY root, const std::string& subkey, const std::string& name);
int ValueCount(HKEY root, const std::string& subkey);  // -1 when the key is missing
void DeleteTree(HKEY root, const std::string& subkey);
// Makes `subkey` of `root` (its parents made as needed) a registry symbolic link to `target` of
// `targetRoot` (HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE), replacing a link already there.
bool MakeKeyLink(HKEY root, const std::string& subkey, HKEY targetRoot, const std::string& target);
// Removes the link `subkey` itself (never its target); nothing when it is not a link.
void RemoveKeyLink(HKEY root, const std::string& subkey);
// True when `subkey` is there as a registry link (not followed).
bool KeyLinkExists(HKEY root, const std::string& subkey);

// Watches this process for standard message boxes (dialog class #32770), records their title
// and text, and answers each by pressing `button` (IDOK by default; falls back to the dialog's
// first button). Runs until destroyed.
class MessageBoxWatcher {
public:
    struct Box {
        std::string title;
        std::string text;
    };
    explicit MessageBoxWatcher(int button = IDOK);
    ~MessageBoxWatcher();
    std::vector<Box> boxes() const;

private:
    void Run();
    int button_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<Box> boxes_;
    std::thread thread_;
};

// Pumps this thread's pending messages.
void PumpMessages();

}  // namespace bw::test

namespace bw::test {

// Saves the whole screen as a BMP file; false when it cannot. With `settle`, first lets that
// window's thread (of any process) work through what it has queued and paint.
bool SaveScreenshot(const std::string& path, HWND settle = nullptr);

// The folder for test artifacts (screenshots) under the build folder, as a Windows path.
std::string ArtifactsDir();

// Text of a window of any process, and the items of another process's list box.
std::string WindowText(HWND hwnd);
std::vector<std::string> ListBoxItems(HWND listBox);
std::string ClassOf(HWND hwnd);

// The child windows of `parent` (all levels), in Z order.
std::vector<HWND> Descendants(HWND parent);

// Moves `path` into the recycle bin as Explorer does; true when it left its folder.
bool MoveToTrash(const std::string& path);

// Waits up to `ms` for `predicate` to hold, pumping this thread's messages.
bool WaitFor(const std::function<bool()>& predicate, int ms);

}  // namespace bw::test
