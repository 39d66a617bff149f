// The user's own folder-and-pattern items.
#include "engine/EraseItems.h"

namespace bw::items {

void CustomItems(EraseRun&) {}

}  // namespace bw::items
