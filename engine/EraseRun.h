// What one erase run carries from item to item: its plan, its counters, the status list and the
// window that owns it. Items receive it and add what they would remove to its plan.
#pragma once
#include <windows.h>

#include <bitset>
#include <functional>
#include <string>

#include "engine/ErasePlan.h"

namespace bw {

// Which erase items the user ticked: bit n stands for the main window's check box n (1 to 29).
using EraseSelection = std::bitset<30>;

struct EraseRun {
    double regnum = 0;    // registry keys and values erased, as the executor measured them
    double filesize = 0;  // bytes released, as the executor measured them
    std::string settingsFile;
    HWND mainWindow = nullptr;
    HWND eraseWindow = nullptr;  // the erase window, when one runs the items (focus returns there)
    ErasePlan plan;              // what the items found; outcomes once carried out
    // Adds a line to the status list; `scroll` repaints the list and selects the new line.
    std::function<void(const std::string& line, bool scroll)> addLine;
    // Set by an item whose work could not start, to report its alternative end line.
    bool useAltEndLine = false;
    // Set by an item whose work could not start at all and that reports no end line.
    bool noEndLine = false;
};

// "####.##": integer part without leading zeros (nothing below 1), always a decimal point,
// at most two decimals without trailing zeros: 0 -> ".", 0.5 -> ".5", 12.345 -> "12.35",
// 3 -> "3.". Rounds the value as written in decimal (half away from zero).
std::string FormatSize(double value);

// A count as the shortest decimal text, no grouping: 47 -> "47", 2.5 -> "2.5".
std::string FormatCount(double value);

}  // namespace bw
