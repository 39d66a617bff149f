// Favorites export and import: the shell's ShellUIHelper where Windows has it, a bookmark file
// writer and reader of our own where it does not (Wine).
#include "platform/Favorites.h"

#include "platform/Text.h"

#include <windows.h>
#include <exdisp.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Handles.h"
#include "platform/LineFile.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace bw::platform {

namespace {

constexpr size_t kMaxDepth = 64;                       // folder levels written or created
constexpr DWORD kMaxBookmarkFile = 32u * 1024 * 1024;  // larger files are refused
constexpr DWORD kMaxShortcutFile = 1024 * 1024;        // larger .url files are not read
constexpr size_t kMaxNameChars = 100;
constexpr size_t kMaxUrlBytes = 32 * 1024;
constexpr size_t kMaxEntityChars = 32;  // an entity's ';' is looked for this far after its '&'
// Folders and shortcuts one import may write. Each costs a few file system calls (1 to 3 ms
// under Wine), so a file of millions of tiny entries would keep the user waiting for hours;
// a file holding more is refused before anything is written.
constexpr size_t kMaxEntries = 10000;

// ---- small text helpers ----------------------------------------------------------------------

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }
bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsSpace(s[b])) ++b;
    while (e > b && IsSpace(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::wstring ToWide(const std::string& s, UINT codePage) { return text::ToWide(s, codePage); }

// Converts to `codePage`: characters it cannot hold become `fallback`, never a look-alike, and
// *lossy tells whether that happened.
std::string FromWide(const std::wstring& w, UINT codePage, char fallback = '?', bool* lossy = nullptr) {
    return text::FromWide(w, codePage, fallback, lossy);
}

std::string AcpToUtf8(const std::string& s) { return FromWide(ToWide(s, CP_ACP), CP_UTF8); }

void AppendUtf8(std::string& out, unsigned long cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Escapes text for a bookmark file's element text and quoted attributes.
std::string Escape(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

// Decodes the named entities browsers write and numeric ones; anything else stays as it is.
// The ';' is looked for only a short way on, so text full of '&' decodes in one pass.
std::string DecodeEntities(const std::string& s) {
    static const struct { const char* name; const char* text; } kNamed[] = {
        {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}};
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        const size_t windowEnd = std::min(s.size(), i + 1 + kMaxEntityChars);
        size_t semi = i + 1;
        while (semi < windowEnd && s[semi] != ';' && s[semi] != '&') ++semi;
        if (semi == windowEnd || s[semi] != ';') {
            out += '&';
            continue;
        }
        std::string body = s.substr(i + 1, semi - i - 1);
        bool done = false;
        if (body.size() > 1 && body[0] == '#') {
            bool hex = body[1] == 'x' || body[1] == 'X';
            std::string digits = body.substr(hex ? 2 : 1);
            unsigned long cp = 0;
            bool ok = !digits.empty();
            for (char d : digits) {
                int v = (d >= '0' && d <= '9')             ? d - '0'
                        : (hex && d >= 'a' && d <= 'f')    ? d - 'a' + 10
                        : (hex && d >= 'A' && d <= 'F')    ? d - 'A' + 10
                                                           : -1;
                if (v < 0 || cp > 0x10FFFF) { ok = false; break; }
                cp = cp * (hex ? 16 : 10) + static_cast<unsigned long>(v);
            }
            if (ok && cp > 0 && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)) {
                AppendUtf8(out, cp);
                done = true;
            }
        } else {
            for (const auto& e : kNamed) {
                if (EqualsNoCase(body, e.name)) {
                    out += e.text;
                    done = true;
                    break;
                }
            }
        }
        if (done) i = semi;
        else out += '&';
    }
    return out;
}

// Folds runs of white space into one blank and trims the ends.
std::string CollapseSpace(const std::string& s) {
    std::string out;
    bool space = false;
    for (char c : s) {
        if (IsSpace(c)) {
            space = true;
            continue;
        }
        if (space && !out.empty()) out += ' ';
        space = false;
        out += c;
    }
    return out;
}

// ---- names and files -------------------------------------------------------------------------

bool IsInvalidNameChar(wchar_t c) { return c < 32 || (c < 128 && std::strchr("\\/:*?\"<>|", static_cast<char>(c))); }

void TrimName(std::wstring& n) {
    size_t b = 0;
    while (b < n.size() && (n[b] == L' ' || n[b] == L'\t')) ++b;
    n.erase(0, b);
    // Windows drops trailing dots and blanks from names, so "." and ".." end up empty here.
    while (!n.empty() && (n.back() == L' ' || n.back() == L'.' || n.back() == L'\t')) n.pop_back();
}

bool IsDeviceName(const std::wstring& n) {
    std::wstring base = n.substr(0, n.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    for (auto& c : base) c = static_cast<wchar_t>(towupper(c));
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" ||
        base == L"CONIN$" || base == L"CONOUT$")
        return true;
    return base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
           base[3] >= L'1' && base[3] <= L'9';
}

// Turns a title (UTF-8) into one safe file or folder name in the system code page; empty when
// nothing usable is left.
std::string SafeName(const std::string& titleUtf8) {
    std::wstring n = ToWide(titleUtf8, CP_UTF8);
    for (auto& c : n)
        if (IsInvalidNameChar(c)) c = L'_';
    TrimName(n);
    if (n.size() > kMaxNameChars) n.resize(kMaxNameChars);
    TrimName(n);
    if (n.empty()) return {};
    if (IsDeviceName(n)) n.insert(0, L"_");
    std::string name = FromWide(n, CP_ACP, '_');
    if (name.empty()) return {};
    // Once more in the system code page, character by character, in case the conversion
    // produced anything a path would read as a separator.
    for (char* p = &name[0]; *p; p = CharNextA(p)) {
        if (CharNextA(p) == p + 1 && (static_cast<unsigned char>(*p) < 32 || std::strchr("\\/:*?\"<>|", *p)))
            *p = '_';
    }
    if (name.empty() || name == "." || name == "..") return {};
    return name;
}

bool ReadWholeFile(const std::string& path, DWORD maxBytes, std::string* out) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    DWORD size = GetFileSize(h, &high);
    bool ok = size != INVALID_FILE_SIZE && high == 0 && size <= maxBytes;
    if (ok) {
        out->assign(size, '\0');
        DWORD read = 0;
        ok = size == 0 || (ReadFile(h, &(*out)[0], size, &read, nullptr) && read == size);
    }
    CloseHandle(h);
    return ok;
}

std::string StripTrailingBackslash(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

// ---- export ----------------------------------------------------------------------------------

// The URL= of the [InternetShortcut] section of .url file text; empty when there is none.
std::string ShortcutUrlOf(const std::string& text) {
    bool inSection = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        std::string line = Trim(text.substr(pos, eol - pos));
        pos = eol + 1;
        if (!line.empty() && line.front() == '[') {
            size_t close = line.find(']');
            inSection = close != std::string::npos &&
                        EqualsNoCase(Trim(line.substr(1, close - 1)), "InternetShortcut");
            continue;
        }
        size_t eq = line.find('=');
        if (inSection && eq != std::string::npos && EqualsNoCase(Trim(line.substr(0, eq)), "URL"))
            return Trim(line.substr(eq + 1));
    }
    return {};
}

// Reads the shortcut `name` of `dir` by its true name, and only when the opened file really lies
// in that folder: under Wine a Linux link to a file lists as a plain file, and reading through it
// would read whatever it points at. Empty when it cannot be read or lies elsewhere.
std::string ReadShortcutUrl(const fs::FolderGuard& dir, const std::wstring& name) {
    FileHandle file(fs::OpenFileInPlace(dir, name, GENERIC_READ));
    if (!file.valid()) return {};
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxShortcutFile) return {};
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!text.empty() &&
        (!ReadFile(file.get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr) || read != text.size()))
        return {};
    return ShortcutUrlOf(text);
}

std::string UnixTime(const FILETIME& ft) {
    ULONGLONG t = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    const ULONGLONG kEpoch = 116444736000000000ULL;  // 1970-01-01 in FILETIME units
    return std::to_string(t > kEpoch ? (t - kEpoch) / 10000000ULL : 0);
}

// Name order without regard to case; names differing only in case (a Unix file system holds
// "News" and "news" side by side) keep a fixed order.
bool LessNoCase(const fs::DirEntry& a, const fs::DirEntry& b) {
    int c = lstrcmpiW(a.wideName.c_str(), b.wideName.c_str());
    return c != 0 ? c < 0 : a.wideName < b.wideName;
}

bool HasUrlExtension(const std::wstring& name) {
    return name.size() > 4 && lstrcmpiW(name.c_str() + name.size() - 4, L".url") == 0;
}

// Appends the folders and links of `dir` at nesting `depth`. Child paths are built only from the
// true names the W listing gives (never ".", "..", a separator or a wildcard), so no name, however
// it reads in the code page, leads out of the folder; linked folders are never entered. False
// when `dir` cannot be listed.
bool ExportFolder(const fs::FolderGuard& dir, size_t depth, std::string& out) {
    std::vector<fs::DirEntry> folders, links;
    bool listed = fs::ListFolderW(dir.path, [&](const fs::DirEntry& entry) {
        if (entry.IsLink()) return true;  // a junction or a link may lead anywhere on the disk
        if (entry.IsFolder())
            folders.push_back(entry);
        else if (HasUrlExtension(entry.wideName))
            links.push_back(entry);
        return true;
    });
    if (!listed) return false;
    std::sort(folders.begin(), folders.end(), LessNoCase);
    std::sort(links.begin(), links.end(), LessNoCase);

    std::string indent(4 * (depth + 1), ' ');
    for (const auto& f : folders) {
        out += indent + "<DT><H3 FOLDED ADD_DATE=\"" + UnixTime(f.created) + "\">" +
               Escape(FromWide(f.wideName, CP_UTF8)) + "</H3>\r\n";
        out += indent + "<DL><p>\r\n";
        if (depth + 1 < kMaxDepth) ExportFolder(fs::GuardSubfolder(dir, f), depth + 1, out);
        out += indent + "</DL><p>\r\n";
    }
    for (const auto& l : links) {
        std::string url = ReadShortcutUrl(dir, l.wideName);
        if (url.empty()) continue;
        std::wstring title = l.wideName.substr(0, l.wideName.size() - 4);
        out += indent + "<DT><A HREF=\"" + Escape(AcpToUtf8(url)) + "\" ADD_DATE=\"" + UnixTime(l.created) +
               "\" LAST_VISIT=\"" + UnixTime(l.accessed) + "\" LAST_MODIFIED=\"" + UnixTime(l.written) + "\">" +
               Escape(FromWide(title, CP_UTF8)) + "</A>\r\n";
    }
    return true;
}

// ---- import ----------------------------------------------------------------------------------

// One parsed tag: its upper-case name, whether it closes, its HREF (decoded, first occurrence
// wins; the only attribute an import uses, so a tag with any number of attributes costs no
// more than reading past them) and the position after its '>'.
struct Tag {
    std::string name;
    bool closing = false;
    std::optional<std::string> href;
    size_t end = 0;
};

// Reads the tag name at `lt` (the '<'); false when no name follows (a stray '<').
bool TagNameAt(const std::string& t, size_t lt, Tag* tag, size_t* afterName) {
    size_t i = lt + 1;
    tag->closing = i < t.size() && t[i] == '/';
    if (tag->closing) ++i;
    size_t start = i;
    while (i < t.size() && IsNameChar(t[i])) ++i;
    if (i == start) return false;
    tag->name.clear();
    for (size_t k = start; k < i; ++k) tag->name += Upper(t[k]);
    *afterName = i;
    return true;
}

bool IsHrefAt(const std::string& t, size_t begin, size_t end) {
    static const char kHref[] = "HREF";
    if (end - begin != 4) return false;
    for (size_t k = 0; k < 4; ++k)
        if (Upper(t[begin + k]) != kHref[k]) return false;
    return true;
}

// Parses the tag at `lt` in one pass over its text.
bool ParseTag(const std::string& t, size_t lt, Tag* tag) {
    size_t i = 0;
    if (!TagNameAt(t, lt, tag, &i)) return false;
    tag->href.reset();
    const size_t n = t.size();
    while (i < n && t[i] != '>') {
        if (IsSpace(t[i]) || t[i] == '/' || t[i] == '=') {
            ++i;
            continue;
        }
        size_t nameStart = i;
        while (i < n && !IsSpace(t[i]) && t[i] != '=' && t[i] != '>') ++i;
        const bool wanted = !tag->href && IsHrefAt(t, nameStart, i);
        while (i < n && IsSpace(t[i])) ++i;
        size_t valueStart = i, valueEnd = i;
        if (i < n && t[i] == '=') {
            ++i;
            while (i < n && IsSpace(t[i])) ++i;
            if (i < n && (t[i] == '"' || t[i] == '\'')) {
                char quote = t[i++];
                size_t close = t.find(quote, i);
                if (close == std::string::npos) close = n;
                valueStart = i;
                valueEnd = close;
                i = close < n ? close + 1 : n;
            } else {
                valueStart = i;
                while (i < n && !IsSpace(t[i]) && t[i] != '>') ++i;
                valueEnd = i;
            }
        }
        if (wanted) tag->href = DecodeEntities(t.substr(valueStart, valueEnd - valueStart));
    }
    tag->end = i < n ? i + 1 : n;
    return true;
}

bool IsStructureTag(const std::string& name) {
    return name == "DT" || name == "DL" || name == "DD" || name == "H3" || name == "A";
}

// The text of an element that starts at `from`, up to its closing tag `</name>` or the next
// tag that starts a new entry, whichever comes first, with inner tags left out. Sets *next to
// where parsing goes on. Each call stops at the next entry, so the whole parse stays linear.
std::string ElementText(const std::string& t, size_t from, const std::string& name, size_t* next) {
    std::string raw;
    size_t pos = from;
    for (;;) {
        size_t lt = t.find('<', pos);
        if (lt == std::string::npos) {
            raw.append(t, pos, std::string::npos);
            *next = t.size();
            break;
        }
        raw.append(t, pos, lt - pos);
        Tag tag;
        size_t afterName = 0;
        if (!TagNameAt(t, lt, &tag, &afterName)) {
            raw += '<';
            pos = lt + 1;
            continue;
        }
        if (tag.closing && tag.name == name) {
            size_t gt = t.find('>', afterName);
            *next = gt == std::string::npos ? t.size() : gt + 1;
            break;
        }
        if (IsStructureTag(tag.name)) {
            *next = lt;
            break;
        }
        ParseTag(t, lt, &tag);
        pos = tag.end;
    }
    return CollapseSpace(DecodeEntities(raw));
}

// The URL as a .url file holds it: control characters (which could add lines to the file)
// dropped, blanks trimmed, in the system code page, or with non-ASCII bytes %-escaped as UTF-8
// where that code page cannot hold them.
std::string ShortcutUrl(const std::string& hrefUtf8) {
    std::string clean;
    for (char c : hrefUtf8)
        if (static_cast<unsigned char>(c) >= 32 && c != 0x7F) clean += c;
    clean = Trim(clean);
    if (clean.empty() || clean.size() > kMaxUrlBytes) return {};
    bool lossy = false;
    std::string acp = FromWide(ToWide(clean, CP_UTF8), CP_ACP, '?', &lossy);
    if (!lossy && !acp.empty()) return acp;
    std::string escaped;
    static const char kHex[] = "0123456789ABCDEF";
    for (char ch : clean) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            escaped += static_cast<char>(c);
        } else {
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 15];
        }
    }
    return escaped;
}

// The bookmark file's text as UTF-8, whatever it was written in.
std::string AsUtf8(std::string data) {
    if (data.size() >= 3 && data.compare(0, 3, "\xEF\xBB\xBF") == 0) return data.substr(3);
    if (data.size() >= 2 && data[0] == '\xFF' && data[1] == '\xFE') {
        std::wstring w((data.size() - 2) / 2, L'\0');
        if (!w.empty()) std::memcpy(&w[0], data.data() + 2, w.size() * 2);
        return FromWide(w, CP_UTF8);
    }
    std::string head = data.substr(0, 64 * 1024);
    for (auto& c : head) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    size_t cs = head.find("charset=");
    if (cs != std::string::npos) {
        size_t v = cs + 8;
        while (v < head.size() && (head[v] == '"' || head[v] == '\'' || IsSpace(head[v]))) ++v;
        if (head.compare(v, 5, "utf-8") == 0 || head.compare(v, 4, "utf8") == 0) return data;
    }
    return AcpToUtf8(data);
}

class Importer {
public:
    // With `write` false nothing is touched on disk: the walk only counts what it would write.
    Importer(const std::string& root, bool write) : write_(write) { stack_.push_back({root, true}); }

    // Walks the text once; returns whether any bookmark tag was seen.
    bool Run(const std::string& t) {
        size_t pos = 0;
        while (pos < t.size()) {
            size_t lt = t.find('<', pos);
            if (lt == std::string::npos) break;
            if (t.compare(lt, 4, "<!--") == 0) {
                size_t end = t.find("-->", lt + 4);
                pos = end == std::string::npos ? t.size() : end + 3;
                continue;
            }
            Tag tag;
            if (!ParseTag(t, lt, &tag)) {
                pos = lt + 1;
                continue;
            }
            pos = tag.end;
            if (tag.name == "DL") {
                sawBookmarks_ = true;
                tag.closing ? CloseList() : OpenList();
            } else if (tag.name == "H3" && !tag.closing) {
                sawBookmarks_ = true;
                StartFolder(ElementText(t, pos, "H3", &pos));
            } else if (tag.name == "A" && !tag.closing) {
                sawBookmarks_ = true;
                std::string title = ElementText(t, pos, "A", &pos);
                AddLink(tag.href.value_or(std::string()), title);
            }
        }
        return sawBookmarks_;
    }

    int failures() const { return failures_; }
    size_t entries() const { return entries_; }  // folders and shortcuts met

private:
    struct Level {
        std::string path;
        bool live;  // false: could not be made safely; what belongs in it is skipped
    };

    void OpenList() {
        if (stack_.size() >= kMaxDepth + 2) {
            ++overflow_;  // deeper lists than we keep: their entries land in the deepest folder
        } else {
            stack_.push_back(pending_ ? *pending_ : stack_.back());
        }
        pending_.reset();
    }

    void CloseList() {
        if (overflow_ > 0) --overflow_;
        else if (stack_.size() > 1) stack_.pop_back();
        pending_.reset();
    }

    // A folder heading: the folder is made at once (so empty folders come through), and the
    // list that follows fills it.
    void StartFolder(const std::string& title) {
        ++entries_;
        const Level& parent = stack_.back();
        if (!write_ || !parent.live || stack_.size() > kMaxDepth) {
            pending_ = parent;
            return;
        }
        std::string name = SafeName(title);
        if (name.empty()) name = "New Folder";
        Level level{parent.path + "\\" + name, false};
        DWORD attrs = GetFileAttributesA(level.path.c_str());
        if (attrs == INVALID_FILE_ATTRIBUTES) {
            level.live = CreateDirectoryA(level.path.c_str(), nullptr) != FALSE;
        } else {
            // An existing folder is reused, but never one that leads elsewhere (a junction, or
            // a Linux link under Wine), and never a file of that name.
            level.live = (attrs & FILE_ATTRIBUTE_DIRECTORY) && !(attrs & FILE_ATTRIBUTE_REPARSE_POINT);
        }
        if (!level.live) ++failures_;
        pending_ = level;
    }

    void AddLink(const std::string& href, const std::string& title) {
        pending_.reset();
        std::string url = ShortcutUrl(href);
        if (url.empty()) return;  // nothing to point at: not a shortcut
        ++entries_;
        if (!write_) return;
        const Level& level = stack_.back();
        if (!level.live) {
            ++failures_;
            return;
        }
        std::string name = SafeName(title);
        if (name.empty()) name = SafeName(href);
        if (name.empty()) name = "Untitled";
        if (!WriteShortcut(level.path, name + ".url", url)) ++failures_;
    }

    // Writes the shortcut whole beside its final name and renames it into place
    // (ReplaceFileContents), so an existing shortcut is replaced as a whole; when that shortcut
    // is a link or a hard link, the name itself is replaced and the other file is never written.
    static bool WriteShortcut(const std::string& dir, const std::string& name, const std::string& url) {
        return ReplaceFileContents(dir + "\\" + name, "[InternetShortcut]\r\nURL=" + url + "\r\n");
    }

    const bool write_;
    std::vector<Level> stack_;
    std::optional<Level> pending_;
    size_t overflow_ = 0;
    size_t entries_ = 0;
    int failures_ = 0;
    bool sawBookmarks_ = false;
};

// ---- the shell's own export and import -------------------------------------------------------

// Initialises COM on this thread for one call and balances it.
class ComScope {
public:
    ComScope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope() {
        if (initialised_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

bool ShellImportExport(bool import, const std::string& file) {
    ComScope com;
    IShellUIHelper* helper = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellUIHelper, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IShellUIHelper, reinterpret_cast<void**>(&helper));
    if (FAILED(hr) || !helper) return false;
    std::wstring wide = ToWide(file, CP_ACP);
    BSTR path = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    hr = path ? helper->ImportExportFavorites(import ? VARIANT_TRUE : VARIANT_FALSE, path)
              : E_OUTOFMEMORY;
    SysFreeString(path);
    helper->Release();
    return hr == S_OK;
}

}  // namespace

std::optional<std::string> FavoritesFolder() {
    reg::Key key;
    if (reg::OpenKeyEx(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                       KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS) {
        char buf[MAX_PATH * 4] = {};
        DWORD size = sizeof buf - 1;
        DWORD type = 0;
        LONG rc = reg::QueryValueEx(key.get(), "Favorites", &type, reinterpret_cast<BYTE*>(buf), &size);
        key.reset();
        if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            std::string value(buf);
            if (type == REG_EXPAND_SZ) {
                char expanded[MAX_PATH * 4] = {};
                DWORD n = ExpandEnvironmentStringsA(buf, expanded, sizeof expanded);
                value = (n > 0 && n <= sizeof expanded) ? std::string(expanded) : std::string();
            }
            value = Trim(value);
            if (!value.empty()) return StripTrailingBackslash(value);
        }
    }
    char path[MAX_PATH] = {};
    if (SHGetSpecialFolderPathA(nullptr, path, CSIDL_FAVORITES, FALSE) && path[0])
        return StripTrailingBackslash(path);
    return std::nullopt;
}

bool ExportFavoritesTree(const std::string& folder, const std::string& file) {
    if (Trim(folder).empty() || Trim(file).empty()) return false;
    std::string out =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
        "<!-- This is an automatically generated file.\r\n"
        "It will be read and overwritten.\r\n"
        "Do Not Edit! -->\r\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"
        "<TITLE>Bookmarks</TITLE>\r\n"
        "<H1>Bookmarks</H1>\r\n"
        "<DL><p>\r\n";
    // The folder's own name as the system reports it: the Favorites folder may itself be a link.
    std::optional<std::string> full = fs::FullPath(Trim(folder));
    if (!full) return false;
    const fs::FolderGuard root = fs::GuardFolder(*full);
    if (!root.usable || !ExportFolder(root, 0, out)) return false;
    out += "</DL><p>\r\n";
    // Written whole beside the chosen file, then put in its place: a failed export leaves the
    // old file, and a link in the file's place is replaced, never written or deleted through.
    return ReplaceFileContents(file, out);
}

bool ImportFavoritesTree(const std::string& file, const std::string& folder) {
    if (Trim(folder).empty() || Trim(file).empty()) return false;
    std::string root = StripTrailingBackslash(folder);
    DWORD attrs = GetFileAttributesA(root.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) return false;
    std::string data;
    if (!ReadWholeFile(file, kMaxBookmarkFile, &data) || data.empty()) return false;
    const std::string text = AsUtf8(std::move(data));
    // A first walk writes nothing: it tells whether the file holds bookmarks at all, and refuses
    // one holding more entries than an import may write, before any is written.
    Importer counter(root, false);
    if (!counter.Run(text) || counter.entries() > kMaxEntries) return false;
    Importer importer(root, true);
    importer.Run(text);
    return importer.failures() == 0;
}

bool ImportExportFavorites(bool import, const std::string& file) {
    if (Trim(file).empty()) return false;
    if (ShellImportExport(import, file)) return true;
    // No shell object (Wine), or its call failed: do the same work ourselves.
    std::optional<std::string> folder = FavoritesFolder();
    if (!folder) return false;
    if (!import) return ExportFavoritesTree(*folder, file);
    if (GetFileAttributesA(folder->c_str()) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryA(folder->c_str(), nullptr);
    return ImportFavoritesTree(file, *folder);
}

}  // namespace bw::platform
