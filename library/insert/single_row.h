// A single-row insert: the block of the cached form executed for one row,
// with the export's own answer and commit policy when the row inserted
// nothing.
#pragma once

#include "insert/insert_statement.h"
#include "insert/row_cache.h"
#include "insert/row_send.h"

namespace ferrule {

struct SingleExport {
  const InsertStatement& statement;
  SendPolicy send;                      // name, word, commit policy, follow-up
  const char* check_reason = nullptr;   // refusal when the row's check failed
};

// Inserts one row. with_follow_up false skips the export's follow-up block.
int InsertSingleRow(const SingleExport& spec, const RowValues& row, bool with_follow_up,
                    char* ErrMess);

}  // namespace ferrule
