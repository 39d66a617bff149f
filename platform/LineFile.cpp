// Reading and writing line-per-entry list files.
#include "platform/LineFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <new>

#include "platform/FileSystem.h"
#include "platform/Handles.h"
#include "platform/RuleProbes.h"

namespace bw::platform {

namespace {

bool WriteAll(HANDLE h, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        DWORD wrote = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1 << 20));
        if (!WriteFile(h, data.data() + done, chunk, &wrote, nullptr) || wrote == 0) return false;
        done += wrote;
    }
    return true;
}

// The lines of `data` as ReadLines counts them: CR LF, a lone CR and a lone LF each end one
// line, and text after the last line end is one more.
size_t CountLines(const std::string& data) {
    size_t lines = 0;
    for (size_t i = 0; i < data.size(); ++i)
        if (data[i] == '\n' || (data[i] == '\r' && (i + 1 == data.size() || data[i + 1] != '\n'))) ++lines;
    if (!data.empty() && data.back() != '\n' && data.back() != '\r') ++lines;
    return lines;
}

enum class ReadOutcome { Read, Missing, Unreadable };

// Reads the whole file into `content`; Missing only when the file (or its folder) is not there.
ReadOutcome ReadWhole(const std::string& path, std::string* content) {
    uint64_t size = 0;
    switch (probe::ReadWholeFile(path, kMaxListFileBytes, content, &size)) {
    case probe::ReadStatus::Read: break;
    case probe::ReadStatus::Missing: return ReadOutcome::Missing;
    case probe::ReadStatus::TooLarge:
    case probe::ReadStatus::Unreadable: return ReadOutcome::Unreadable;
    }
    if (CountLines(*content) > kMaxListLines) {
        content->clear();
        return ReadOutcome::Unreadable;
    }
    return ReadOutcome::Read;
}

// A name for a scratch file that nothing else is likely to use; CREATE_NEW makes sure of it.
std::string RandomSuffix() {
    static LONG counter = 0;
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const uint64_t count = static_cast<ULONG>(InterlockedIncrement(&counter));
    uint64_t x = static_cast<uint64_t>(now.QuadPart) ^ (static_cast<uint64_t>(GetCurrentProcessId()) << 32) ^
                 (static_cast<uint64_t>(GetTickCount()) << 16) ^ (0x9E3779B97F4A7C15ull * count);
    // splitmix64 finaliser
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(x & 0xFFFFFFFFu));
    return text;
}

// Removes a scratch file this module made, unless it has been swapped for something else.
void DiscardScratch(const std::string& scratch) { fs::DeleteFileAt(scratch, false); }

}  // namespace

std::optional<std::string> ReadListFile(const std::string& path) {
    std::string content;
    if (ReadWhole(path, &content) != ReadOutcome::Read) return std::nullopt;
    return content;
}

std::optional<std::vector<std::string>> ReadLines(const std::string& path) {
    std::string data;
    if (ReadWhole(path, &data) != ReadOutcome::Read) return std::nullopt;
    try {
        std::vector<std::string> lines;
        size_t start = 0;
        while (start < data.size()) {
            size_t end = data.find_first_of("\r\n", start);
            if (end == std::string::npos) end = data.size();
            if (end - start <= kMaxLineBytes) lines.emplace_back(data, start, end - start);
            if (end < data.size() && data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n') ++end;
            start = end + 1;
        }
        return lines;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool ReplaceFileContents(const std::string& path, const std::string& content) {
    const size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        return false;

    std::string scratch;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 16 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        scratch = folder + name + ".~" + RandomSuffix();
        handle = CreateFileA(scratch.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
        }
    }
    if (handle == INVALID_HANDLE_VALUE) return false;

    FileHandle file(handle);
    bool ok = WriteAll(file.get(), content);
    ok = FlushFileBuffers(file.get()) && ok;
    // Renamed through its own handle, so that nothing put at the scratch name meanwhile is moved.
    const std::optional<bool> renamed = ok ? fs::RenameOver(file.get(), path) : std::optional<bool>(false);
    ok = file.Close() && ok;
    if (!renamed)  // a system without the handle calls
        ok = ok && MoveFileExA(scratch.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    else
        ok = ok && *renamed;
    if (!ok) DiscardScratch(scratch);
    return ok;
}

bool AppendLine(const std::string& path, const std::string& line) {
    std::string content;
    if (ReadWhole(path, &content) == ReadOutcome::Unreadable) return false;
    try {
        if (!content.empty() && content.back() == '\r')
            content += "\n";
        else if (!content.empty() && content.back() != '\n')
            content += "\r\n";
        content += line;
        content += "\r\n";
    } catch (const std::bad_alloc&) {
        return false;
    }
    return ReplaceFileContents(path, content);
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string data;
    try {
        for (const std::string& line : lines) {
            data += line;
            data += "\r\n";
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return ReplaceFileContents(path, data);
}

std::string TrimRight(const std::string& text) {
    size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

}  // namespace bw::platform
