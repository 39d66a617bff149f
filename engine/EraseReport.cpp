// The report of an erase run or a preview, as text and as a file.
#include "engine/EraseReport.h"

#include "platform/LineFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace bw {

namespace {

std::string Plural(int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "12.4 MB", or "12.4 MB (13002342 bytes)" where a script may want the count itself.
std::string BytesText(uint64_t bytes, bool exact) {
    std::string text = platform::text::SizeText(bytes);
    if (exact && bytes >= 1024) text += " (" + std::to_string(bytes) + " bytes)";
    return text;
}

std::string Counts(const TargetCounts& counts, bool exact) {
    std::string text = Plural(counts.files, "file", "files");
    if (counts.folders) text += ", " + Plural(counts.folders, "folder", "folders");
    text += ", " + BytesText(counts.bytes, exact);
    if (counts.Registry()) text += ", " + Plural(counts.Registry(), "registry entry", "registry entries");
    if (counts.entries) text += ", " + Plural(counts.entries, "other entry", "other entries");
    return text;
}

std::string AsUtf8(const std::string& codePageText) { return platform::paths::Utf8(platform::paths::Widen(codePageText)); }

}  // namespace

std::string FiguresText(const ItemFigures& figures, bool preview, bool exactBytes) {
    if (preview) {
        std::string text = Counts(figures.planned, exactBytes);
        if (figures.unknownSizes) text += " (" + std::to_string(figures.unknownSizes) + " of unknown size: ?)";
        return text;
    }
    return "erased " + Counts(figures.erased, exactBytes) + "; left " + std::to_string(figures.left) + "; planned " +
           BytesText(figures.planned.bytes, exactBytes) + ", freed " + BytesText(figures.erased.bytes, exactBytes);
}

std::string ReportText(const ErasePlan& plan, bool preview) {
    std::string text = preview ? "Brightwipe preview\r\n" : "Brightwipe erase report\r\n";
    std::vector<std::vector<size_t>> byItem(plan.ItemCount());
    const std::vector<Target>& targets = plan.Targets();
    for (size_t index = 0; index < targets.size(); ++index)
        if (!targets[index].quiet && targets[index].item < byItem.size()) byItem[targets[index].item].push_back(index);
    for (size_t item = 0; item < plan.ItemCount(); ++item) {
        // Captions and notes are in the code page; the report is UTF-8 throughout.
        text += AsUtf8(plan.ItemCaption(item)) + ": " + FiguresText(plan.FiguresOf(item), preview, true);
        if (!plan.ItemNote(item).empty()) text += " (" + AsUtf8(plan.ItemNote(item)) + ")";
        text += "\r\n";
        for (size_t index : byItem[item]) {
            const Target& target = targets[index];
            std::string outcome = OutcomeText(target.outcome);
            if (target.outcome != Outcome::Planned && target.outcome != Outcome::Erased) outcome = "left: " + outcome;
            text += "  " + outcome + "\t" + platform::paths::Utf8(plan.Describe(target)) + "\r\n";
        }
    }
    text += "Total: " + FiguresText(plan.Total(), preview, true) + "\r\n";
    return text;
}

bool SaveReport(const std::string& file, const ErasePlan& plan, bool preview) {
    return platform::ReplaceFileContents(file, ReportText(plan, preview));
}

}  // namespace bw
