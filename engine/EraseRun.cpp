// Number formats of the erase statistics.
#include "engine/EraseRun.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace bw {

std::string FormatSize(double value) {
    if (!std::isfinite(value)) return ".";
    bool negative = value < 0;
    double magnitude = std::fabs(value);
    // Write the value with fifteen significant digits, as it reads in decimal, so that 12.345
    // rounds up like the number a user sees rather than like its binary neighbour.
    int intDigits = magnitude < 1 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    int precision = intDigits >= 15 ? 0 : 15 - intDigits;
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", precision, magnitude);
    std::string text = buf;
    size_t dot = text.find('.');
    std::string intPart = dot == std::string::npos ? text : text.substr(0, dot);
    std::string frac = dot == std::string::npos ? "" : text.substr(dot + 1);
    frac.resize(3, '0');
    bool roundUp = frac[2] >= '5';
    frac.resize(2);
    std::string digits = intPart + frac;
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0; --i) {
            if (digits[static_cast<size_t>(i)] == '9') {
                digits[static_cast<size_t>(i)] = '0';
            } else {
                ++digits[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0) digits.insert(digits.begin(), '1');
    }
    intPart = digits.substr(0, digits.size() - 2);
    frac = digits.substr(digits.size() - 2);
    size_t firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? "" : intPart.substr(firstNonZero);
    while (!frac.empty() && frac.back() == '0') frac.pop_back();
    std::string result = intPart + "." + frac;
    if (negative && result != ".") result = "-" + result;
    return result;
}

std::string FormatCount(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return buf;
}

}  // namespace bw
