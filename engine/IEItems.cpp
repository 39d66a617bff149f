// Erase items for Internet Explorer's traces.
#include "engine/EraseItems.h"

namespace bw::items {

void LocationBarHistory(EraseRun&) {}

void InternetHistory(EraseRun&) {}

void InternetCache(EraseRun&) {}

void Cookies(EraseRun&) {}

void Favorites(EraseRun&) {}

void AutocompleteMemory(EraseRun&) {}

void DownloadedProgramFiles(EraseRun&) {}

}  // namespace bw::items
