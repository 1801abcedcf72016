// The follow-up of link inserts: the server's path-queries package refreshes
// the tables it derives from the links (CheckAndUpdateDynamicTables), and the
// refresh is committed.
#pragma once

#include "oci.h"
#include "step_chain.h"

namespace ferrule {

// Follow-up of a cached batch of links and of a single link.
void RefreshDynamicTablesAfterBatch(OCIStmt* stmt, StepChain& chain);
void RefreshDynamicTablesAfterRow(OCIStmt* stmt, StepChain& chain);

}  // namespace ferrule
