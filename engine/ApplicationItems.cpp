// Erase items for the recent-file lists of other applications.
#include "engine/EraseItems.h"

namespace bw::items {

void WinzipRecent(EraseRun&) {}

void MediaPlayerPlaylist(EraseRun&) {}

void RealOnePlaylist(EraseRun&) {}

void RealPlayerPlaylist(EraseRun&) {}

void OfficeTracks(EraseRun&) {}

void MoreApplications(EraseRun&) {}

}  // namespace bw::items
