// Erase items for the other browsers and the search toolbar.
#include "engine/EraseItems.h"

namespace bw::items {

void NetscapeNavigator(EraseRun&) {}

void Opera(EraseRun&) {}

void MsnExplorer(EraseRun&) {}

void GoogleToolbar(EraseRun&) {}

}  // namespace bw::items
