// The work of each erase item, one function each, called by the erase run in table order.
// Each performs its steps under skip-and-continue and adds what it measures to the run's
// counters; fixed statistics and the progress lines are the run's business.
#pragma once
#include "engine/EraseRun.h"

namespace bw::items {

// Internet Explorer (IEItems.cpp)
void LocationBarHistory(EraseRun& run);
void InternetHistory(EraseRun& run);
void InternetCache(EraseRun& run);
void Cookies(EraseRun& run);
void Favorites(EraseRun& run);
void AutocompleteMemory(EraseRun& run);
void DownloadedProgramFiles(EraseRun& run);

// Other browsers (BrowserItems.cpp)
void NetscapeNavigator(EraseRun& run);
void Opera(EraseRun& run);  // sets run.useAltEndLine when Opera's folder is missing
void MsnExplorer(EraseRun& run);
void GoogleToolbar(EraseRun& run);

// Windows (WindowsItems.cpp)
void RecentDocuments(EraseRun& run);
void RunHistory(EraseRun& run);
void SearchHistory(EraseRun& run);
void WindowsTemp(EraseRun& run);
void RecycleBin(EraseRun& run);
void OpenSaveHistory(EraseRun& run);
void ScandiskFiles(EraseRun& run);
void CachedPasswords(EraseRun& run);
void Clipboard(EraseRun& run);
void WordpadRecent(EraseRun& run);
void PaintRecent(EraseRun& run);

// Applications (ApplicationItems.cpp)
void WinzipRecent(EraseRun& run);
void MediaPlayerPlaylist(EraseRun& run);
void RealOnePlaylist(EraseRun& run);
void RealPlayerPlaylist(EraseRun& run);
void OfficeTracks(EraseRun& run);
void MoreApplications(EraseRun& run);
// Every fixed file pattern More Applications deletes ("c:\Program Files\Winamp\*.m3u"; a folder
// it empties reads "folder\*.*"), on every drive it tries: each folder on the way below Program
// Files is reached name by name, never through a link.
std::vector<std::string> ApplicationFixedFolders();

// The user's own folder-and-pattern items (CustomItems.cpp); adds its own lines.
void CustomItems(EraseRun& run);

}  // namespace bw::items
