#include "update/refresh_blocks.h"

namespace ferrule {

const FollowUpBlock kRefreshDynamicTables{
    "BEGIN :rescode := %(check_and_update_dynamic_tables)(1); "
    "GET DIAGNOSTICS :numrows = %(row_count); END; ",
    RescodeKind::Text};

const FollowUpBlock kRefreshPathsUsed{
    "BEGIN :rescode := %(update_path_used)(1); GET DIAGNOSTICS :numrows = %(row_count); END; ",
    RescodeKind::Int};

}  // namespace ferrule
