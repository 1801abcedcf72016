// The follow-up blocks by which the updates ask the server package to bring
// what it derives from links up to date: the dynamic path tables
// (CheckAndUpdateDynamicTables, which answers a text) and the path-used
// flags of the stored routes (updatepathused, which answers an integer).
#pragma once

#include "insert/follow_up_block.h"

namespace ferrule {

extern const FollowUpBlock kRefreshDynamicTables;
extern const FollowUpBlock kRefreshPathsUsed;

}  // namespace ferrule
