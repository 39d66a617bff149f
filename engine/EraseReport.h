// The report of an erase run or a preview: per item what was found, removed and left, and why,
// as lines a person reads and a script parses.
#pragma once
#include <string>

#include "engine/ErasePlan.h"

namespace bw {

// One line per item ("<caption>: ..." with its figures, sizes with their exact bytes beside
// them), each followed by one line per target:
// two blanks, its outcome ("erased", "left: <reason>", or "planned" in a preview), a tab, and
// its full path, registry key (with "\value" for a value) or the operation's name. A total
// line ends it. UTF-8, lines ended by CR LF.
std::string ReportText(const ErasePlan& plan, bool preview);

// The figures of one item as its line shows them ("3 files, 1 folder, 12.1 KB; 2 registry
// entries; ..."): planned in a preview; erased, left and bytes planned against freed after a run.
// Sizes read as platform::text::SizeText writes them; with `exactBytes`, a size of 1 KB or more
// is followed by its exact count ("12.1 KB (12345 bytes)"), as the saved report gives it.
std::string FiguresText(const ItemFigures& figures, bool preview, bool exactBytes = false);

// Writes ReportText to `file` through a scratch file moved over it (platform::ReplaceFileContents),
// so the file is whole or untouched. False when it cannot be written.
bool SaveReport(const std::string& file, const ErasePlan& plan, bool preview);

}  // namespace bw
