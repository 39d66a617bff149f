// Erase items for the lists and folders Windows itself keeps.
#include "engine/EraseItems.h"

namespace bw::items {

void RecentDocuments(EraseRun&) {}

void RunHistory(EraseRun&) {}

void SearchHistory(EraseRun&) {}

void WindowsTemp(EraseRun&) {}

void RecycleBin(EraseRun&) {}

void OpenSaveHistory(EraseRun&) {}

void ScandiskFiles(EraseRun&) {}

void CachedPasswords(EraseRun&) {}

void Clipboard(EraseRun&) {}

void WordpadRecent(EraseRun&) {}

void PaintRecent(EraseRun&) {}

}  // namespace bw::items
