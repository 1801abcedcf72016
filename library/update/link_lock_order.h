// The statement with which the blocks that rewrite every link begin: it
// locks every link in link id order. A plain update takes the rows in the
// order they lie in the table, which is not the order in which link batches
// sent in link id order take them, and two such orders deadlock; in one
// order, the rewrite waits for a batch that holds a link and the batch goes
// on. A string literal, so that the blocks that begin with it stay literals.
#pragma once

#define LOCK_EVERY_LINK_IN_ID_ORDER \
  "PERFORM 1 from %(macro_connectivity) order by linkid for no key update; "
