// Seeded mutation fuzzing of every reader of a file the user or another program can change:
// each reader runs over mutated copies of good inputs, built as the exe is built and run under
// Wine. An input fails when its reader crashes, runs longer than the time limit, returns more
// than the input can hold, or drives the process past the memory limit. The first failure ends
// the run with its reader and seed, and the command that repeats exactly that input.
//
//   reader_fuzz [--iterations N] [--seed S] [--reader NAME] [--seconds T]
//
// Iteration i of a reader mutates with seed S + i; --iterations 1 --seed <failing seed> repeats a
// failure. Every file lives in a fresh temporary folder, which is also the program folder.
#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "diskclean/ExtentionHandller.h"
#include "diskclean/SearchPatterns.h"
#include "engine/Winapp2.h"
#include "platform/Favorites.h"
#include "platform/LineFile.h"
#include "platform/ProgramDir.h"
#include "settings/CustomItemsFile.h"
#include "settings/Inifun.h"
#include "settings/KeepLists.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr size_t kMaxInput = 256u << 10;
constexpr SIZE_T kMaxWorkingSet = 512u << 20;

// What a reader did with one input; `why` is empty when it behaved.
using Check = std::function<std::string(const std::string& file, const std::string& input)>;

struct Reader {
    const char* name;
    const char* fileName;                 // where the input is written, in the program folder
    std::vector<std::string> seeds;       // good inputs
    std::vector<std::string> dictionary;  // pieces of the format, inserted whole
    Check check;
};

size_t CountOf(const std::string& text, char c) {
    size_t n = 0;
    for (char x : text) n += x == c;
    return n;
}

std::string TooMany(size_t got, size_t bound, const char* what) {
    if (got <= bound) return {};
    return std::to_string(got) + " " + what + " from an input that holds at most " + std::to_string(bound);
}

// Every line reader: no more lines than the input has line ends plus one, none over the limit.
std::string CheckLines(const std::vector<std::string>& lines, const std::string& input) {
    if (std::string why = TooMany(lines.size(), CountOf(input, '\n') + CountOf(input, '\r') + 1, "lines"); !why.empty())
        return why;
    for (const std::string& line : lines)
        if (line.size() > bw::platform::kMaxLineBytes || line.size() > input.size())
            return "a line of " + std::to_string(line.size()) + " bytes";
    return {};
}

// Counts what an import created below `folder`, following no links.
size_t CountTree(const std::wstring& folder) {
    size_t n = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        ++n;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            n += CountTree(folder + L"\\" + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return n;
}

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    int got = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                  static_cast<int>(wide.size()));
    wide.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return wide;
}

std::vector<Reader> Readers() {
    using namespace bw;
    const std::vector<std::string> lineDictionary = {"\r\n", "\n", "\r", std::string(1, '\0'), "\xEF\xBB\xBF", "\xFF\xFE", " ", "\t"};
    std::vector<Reader> readers;
    readers.push_back({"keeplist", "keepurl.dat",
                       {"www.example.com\r\nhttp://a.test/x?y=1 \r\n\r\nC:\\Cookies\\user@site[1].txt\r\n",
                        "one line without an end", ""},
                       lineDictionary,
                       [](const std::string& file, const std::string& input) {
                           return CheckLines(keeplist::Entries(file), input);
                       }});
    std::vector<std::string> extDictionary = lineDictionary;
    extDictionary.insert(extDictionary.end(), {"*.", ";", "*", "**"});
    readers.push_back({"Ext.txt", "Ext.txt",
                       {"*.tmp\r\n*.gid\r\n*.swp\r\n*.chk\r\n", "*.bak\n*.~*\r\nnot a pattern\r\n*.log", ""},
                       extDictionary,
                       [](const std::string&, const std::string& input) {
                           std::string why = CheckLines(ExtentionHandller::ReadLines(), input);
                           if (!why.empty()) return why;
                           const std::string patterns = ExtentionHandller::LoadPatternString();
                           if (patterns.size() > 2 * input.size() + 1) return std::string("a pattern text longer than the file");
                           return TooMany(diskclean::ParsePatterns(patterns).size(), CountOf(patterns, ';') + 1, "patterns");
                       }});
    std::vector<std::string> cusdDictionary = lineDictionary;
    cusdDictionary.insert(cusdDictionary.end(), {"C:\\", "\\\\server\\share\\", "*.tmp", "..\\"});
    readers.push_back({"cusd.dat", "cusd.dat",
                       {"C:\\Temp\\*.tmp\r\nD:\\logs\\*.log  \r\n\\\\server\\share\\*.bak\r\n\r\n*.relative\r\n"},
                       cusdDictionary,
                       [](const std::string&, const std::string& input) {
                           std::optional<std::vector<std::string>> lines = customitems::Read();
                           if (!lines) return std::string();
                           for (const std::string& line : *lines) customitems::IsAbsoluteEntry(line);
                           return CheckLines(*lines, input);
                       }});
    std::vector<std::string> iniDictionary = lineDictionary;
    iniDictionary.insert(iniDictionary.end(), {"[", "]", "=", "[Windows]\r\n", "\"", ";", "1.0", "False"});
    readers.push_back({"bwsd.dat", "bwsd.dat",
                       {"[Windows]\r\nlastclean=12/7/2026\r\nregnum=3\r\nfilesize=1024\r\n[Additional]\r\n"
                        "securely=True\r\n[Opera]\r\nPath=C:\\Program Files\\Opera\r\nCheck1=1.0\r\n"},
                       iniDictionary,
                       [](const std::string& file, const std::string& input) {
                           const char* keys[][2] = {{"Windows", "lastclean"}, {"Windows", "regnum"},
                                                    {"Windows", "filesize"}, {"Additional", "securely"},
                                                    {"Opera", "Path"}, {"Opera", "Check1"}, {"", ""}};
                           for (const auto& key : keys) {
                               const std::string value = Inifun::ReadIni(file, key[0], key[1]);
                               if (value.size() > input.size()) return "a value longer than the file: " + std::string(key[1]);
                               Inifun::IsOnByText(value);
                               Inifun::IsOnByNumber(value);
                           }
                           return std::string();
                       }});
    readers.push_back({"bookmarks", "bookmarks.htm",
                       {"<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<META HTTP-EQUIV=\"Content-Type\" "
                        "CONTENT=\"text/html; charset=UTF-8\">\r\n<TITLE>Bookmarks</TITLE>\r\n<H1>Bookmarks</H1>\r\n"
                        "<DL><p>\r\n<DT><H3 FOLDED>News &amp; Weather</H3>\r\n<DL><p>\r\n"
                        "<DT><A HREF=\"http://example.com/?a=1&amp;b=2\" ADD_DATE=\"1\">Example &#8364; site</A>\r\n"
                        "<DT><H3>Deeper</H3>\r\n<DL><p><DT><A HREF=\"https://a.test/\">A</A></DL><p>\r\n"
                        "</DL><p>\r\n<DT><A HREF='ftp://files.test/'>Files</A>\r\n</DL><p>\r\n",
                        "\xEF\xBB\xBF<DL><DT><A HREF=\"http://x.test/\">\xE2\x82\xAC</A><DT><H3>CON</H3><DL></DL></DL>"},
                       {"<DL>", "</DL>", "<DT>", "<H3>", "</H3>", "<A HREF=\"", "\">", "</A>", "&amp;", "&#",
                        "&#x", ";", "\"", "'", "<", ">", "..", "\\", "/", ":", "CON", "charset=UTF-8"},
                       [](const std::string& file, const std::string& input) {
                           bw::test::TempDir into;
                           platform::ImportFavoritesTree(file, into.path());
                           size_t tags = CountOf(input, '<');
                           return TooMany(CountTree(Wide(into.path())), std::min<size_t>(tags, 10000), "folders and shortcuts");
                       }});
    std::vector<std::string> rulesDictionary = lineDictionary;
    rulesDictionary.insert(rulesDictionary.end(), {"[", " *]", "=", "|", "FileKey1=", "RegKey1=", "Detect=",
                                                   "DetectFile=", "%AppData%", "%LocalAppData%\\", "HKCU\\",
                                                   "|RECURSE", "|REMOVESELF", "*.*", "LangSecRef=3021"});
    readers.push_back({"winapp2.ini", "winapp2.ini",
                       {"\xEF\xBB\xBF; Version: 1\r\n\r\n[Example Tool *]\r\nLangSecRef=3021\r\n"
                        "Detect=HKCU\\Software\\Example\r\nDetectFile=%AppData%\\Example\r\n"
                        "FileKey1=%AppData%\\Example|*.log;*.tmp\r\nFileKey2=%LocalAppData%\\Example\\Cache|*.*|RECURSE\r\n"
                        "RegKey1=HKCU\\Software\\Example\\Recent\r\n\r\n[Other *]\nSection=Games\n"
                        "FileKey1=%ProgramFiles%\\Other|*.dmp|REMOVESELF\n"},
                       rulesDictionary,
                       [](const std::string& file, const std::string& input) {
                           const winapp2::Rules rules = winapp2::LoadRules(file);
                           const size_t lines = CountOf(input, '\n') + CountOf(input, '\r') + 1;
                           std::string why = TooMany(rules.entries.size(), std::min(lines, winapp2::kMaxEntries), "entries");
                           if (why.empty()) why = TooMany(rules.keys.size(), lines, "keys");
                           if (why.empty()) why = TooMany(rules.refused.size(), winapp2::kMaxRefusalsKept, "refusals kept");
                           if (why.empty()) why = TooMany(rules.MemoryBytes(), 64 * input.size() + (1u << 20), "bytes held");
                           return why;
                       }});
    // A new reader joins with a row like these: its file name, a good file or two, the pieces of
    // its format, and a check of what it returns against what the input can hold.
    return readers;
}

std::string Mutate(const std::vector<std::string>& seeds, const std::vector<std::string>& dictionary, uint32_t seed) {
    std::mt19937 rng(seed);
    auto below = [&](size_t n) { return n == 0 ? size_t{0} : static_cast<size_t>(rng() % n); };
    std::string data = seeds[below(seeds.size())];
    const size_t rounds = 1 + below(8);
    for (size_t r = 0; r < rounds; ++r) {
        const size_t at = below(data.size() + 1);
        switch (below(8)) {
        case 0:
            if (!data.empty()) data[below(data.size())] ^= static_cast<char>(1u << below(8));
            break;
        case 1: {
            static const char interesting[] = {'\0', '\xFF', '\x80', '\r', '\n', '\x81', '\xE0', '\xEF', '%', '\\'};
            if (!data.empty()) data[below(data.size())] = interesting[below(sizeof interesting)];
            break;
        }
        case 2:
            for (size_t n = 1 + below(16); n > 0; --n) data.insert(data.begin() + static_cast<std::ptrdiff_t>(at), static_cast<char>(rng()));
            break;
        case 3:
            data.erase(at, below(data.size() - at + 1));
            break;
        case 4: {  // repeat a piece, up to a few thousand times: long lines, deep nesting
            const std::string piece = data.substr(at, 1 + below(64));
            for (size_t n = below(2) ? 1 + below(8) : 1 + below(4000); n > 0 && data.size() < kMaxInput; --n)
                data.insert(at, piece);
            break;
        }
        case 5: {
            const std::string& other = seeds[below(seeds.size())];
            const size_t from = below(other.size() + 1);
            data.insert(at, other.substr(from, below(other.size() - from + 1)));
            break;
        }
        case 6:
            data.resize(below(data.size() + 1));
            break;
        default:
            data.insert(at, dictionary[below(dictionary.size())]);
            break;
        }
        if (data.size() > kMaxInput) data.resize(kMaxInput);
    }
    return data;
}

// The input under test, for the crash and time-out reports.
std::atomic<const char*> currentReader{nullptr};
std::atomic<uint32_t> currentSeed{0};
std::atomic<int64_t> startedAt{0};

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

[[noreturn]] void Fail(const char* reader, uint32_t seed, const std::string& why) {
    std::fprintf(stderr, "fuzz: FAILED reader=%s seed=%u: %s\nfuzz: repeat with: reader_fuzz --reader %s --seed %u --iterations 1\n",
                 reader, seed, why.c_str(), reader, seed);
    std::fflush(stderr);
    ExitProcess(1);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    char why[64];
    std::snprintf(why, sizeof why, "crashed with exception 0x%08lx", info->ExceptionRecord->ExceptionCode);
    Fail(currentReader.load() ? currentReader.load() : "?", currentSeed.load(), why);
}

}  // namespace

int main(int argc, char** argv) {
    uint32_t iterations = 200, seed = 1, seconds = 10;
    std::string only;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--iterations") iterations = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (name == "--seed") seed = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (name == "--reader") only = argv[i + 1];
        else if (name == "--seconds") seconds = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
    }
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(OnCrash);
    std::set_terminate([] { Fail(currentReader.load() ? currentReader.load() : "?", currentSeed.load(), "an exception left the reader"); });
    std::thread([seconds] {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const int64_t started = startedAt.load();
            if (started && NowMs() - started > int64_t{seconds} * 1000)
                Fail(currentReader.load(), currentSeed.load(), "ran longer than " + std::to_string(seconds) + " s");
        }
    }).detach();

    bw::test::TempDir folder;
    bw::platform::OverrideProgramDir(folder.path());
    size_t ran = 0;
    for (const Reader& reader : Readers()) {
        if (!only.empty() && only != reader.name) continue;
        const std::string file = folder / reader.fileName;
        for (uint32_t i = 0; i < iterations; ++i) {
            const uint32_t inputSeed = seed + i;
            const std::string input = Mutate(reader.seeds, reader.dictionary, inputSeed);
            if (!bw::platform::ReplaceFileContents(file, input)) Fail(reader.name, inputSeed, "could not write " + file);
            currentReader = reader.name;
            currentSeed = inputSeed;
            startedAt = NowMs();
            const std::string why = reader.check(file, input);
            startedAt = 0;
            if (!why.empty()) Fail(reader.name, inputSeed, why);
            PROCESS_MEMORY_COUNTERS memory{};
            if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory) && memory.PeakWorkingSetSize > kMaxWorkingSet)
                Fail(reader.name, inputSeed, "the process grew to " + std::to_string(memory.PeakWorkingSetSize >> 20) + " MiB");
            ++ran;
        }
        std::printf("fuzz: %s: %u inputs (seeds %u to %u) ok\n", reader.name, iterations, seed, seed + iterations - 1);
        std::fflush(stdout);
    }
    bw::platform::OverrideProgramDir("");
    if (ran == 0) {
        std::fprintf(stderr, "fuzz: no reader named %s\n", only.c_str());
        return 2;
    }
    return 0;
}
