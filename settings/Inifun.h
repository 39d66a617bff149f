// Reading and writing the settings file (bwsd.dat) one key at a time, and the rules that turn
// a stored text into on/off.
//
// Nothing is cached: each call goes to the file, so a read sees the last write at once.
// Section and key names match regardless of letter case. Every write rewrites the whole file
// through a scratch file renamed over it, so a crash leaves the old file or the new one.
#pragma once
#include <optional>
#include <string>

namespace bw::Inifun {

// The value of `key` in `section` of `file`: at most 127 characters, cut at the first NUL,
// with leading and trailing spaces removed. A missing file, section or key, an empty value,
// and a file that cannot be read as settings (empty, binary, overlong lines) all read as "".
std::string ReadIni(const std::string& file, const std::string& section, const std::string& key);

// Stores `value` as `key` in `section` of `file`, creating the file, section or key when
// missing and replacing an existing value in place. The value is cut to its first 128
// characters, and before its first NUL, CR or LF (a value is one line; a line break would
// otherwise write extra keys into the file). Every other line of the file stays as it was. A
// link or hard link in the file's place is replaced by the new file, never written through.
// A write Windows refuses (read-only file or folder) is ignored silently and the old value
// stays.
void WriteIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value);

// Gathers the WriteIni calls to `file` made on this thread while it lives into one rewrite of
// the file, at its end: for a window that saves dozens of keys at once. Each write keeps its
// meaning (one key changed, the rest kept); a ReadIni of the file meanwhile writes what is
// gathered first, so it reads the last write. A batch opened while another is open on the
// thread gathers nothing of its own. A file that cannot be read when the batch opens is
// written key by key as without it.
class SaveBatch {
public:
    explicit SaveBatch(const std::string& file);
    ~SaveBatch();
    SaveBatch(const SaveBatch&) = delete;
    SaveBatch& operator=(const SaveBatch&) = delete;

private:
    bool owner_ = false;
};

// The erase run's rule: on only when the text is exactly "1" ("1.0", " 1" are off).
bool IsOnByText(const std::string& text);

// The value when the whole text is one decimal number, else nothing. Blanks (spaces, tabs)
// around it are allowed; then an optional sign, digits with at most one decimal point
// (at least one digit in all), and an optional exponent ("1e3"). The decimal point is always
// "." whatever the user's locale; no grouping, no currency, no hexadecimal. "1", "01", "1.0",
// "+1", " 1 ", ".5" are numbers; "", "abc", ".", "1a", "1,0" and numbers too large for a
// double are not.
std::optional<double> ReadsAsNumber(const std::string& text);

// The windows' rule: on when the text reads as a number equal to 1 ("1", "01", "1.0").
// Anything else, including "" from a missing key, is off.
bool IsOnByNumber(const std::string& text);

}  // namespace bw::Inifun
