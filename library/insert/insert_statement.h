// What one row of an insert is and how it is sent: the block template and
// the bind names of the row's columns. A cached export and its single-row
// form share one description.
#pragma once

#include <string>
#include <vector>

#include "insert/caller_identity.h"

namespace ferrule {

// Bytes of each row's element of a text output (100 characters and a NUL).
constexpr int kTextOutputSize = 101;

struct InsertStatement {
  // Block template (statement_text.h); besides the Name list it may name
  // %(login) and %(host), the caller's names, written between its quotes.
  const char* text;
  std::vector<const char*> text_binds;  // one per text column, cache order
  std::vector<const char*> value_binds;   // one per integer column
  std::vector<const char*> output_binds;  // integer outputs beside :numrows
  // Text outputs of kTextOutputSize bytes per row: the answers of server
  // procedures that the block calls.
  std::vector<const char*> text_output_binds{};
  // An integer input that is 1 on the last row of a send and 0 on the rows
  // before it, so that the block does once per send what follows its rows.
  const char* last_row_flag = nullptr;
  // The output (one of the above) in which the block's last row leaves the
  // answer of the server refresh it calls: a failing answer refuses the
  // send (follow_up_block.h). Null: the block calls none.
  const char* refresh_answer = nullptr;

  // The block for these caller names.
  std::string format(const CallerIdentity& identity) const;
};

}  // namespace ferrule
