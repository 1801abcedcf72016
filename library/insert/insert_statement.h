// What one row of an insert is and how it is sent: the block template and
// the bind names of the row's columns. A cached export and its single-row
// form share one description.
#pragma once

#include <string>
#include <vector>

#include "insert/caller_identity.h"

namespace ferrule {

struct InsertStatement {
  // Block template (statement_text.h); besides the Name list it may name
  // %(login) and %(host), the caller's names, written between its quotes.
  const char* text;
  std::vector<const char*> text_binds;  // one per text column, cache order
  std::vector<const char*> value_binds;   // one per integer column
  std::vector<const char*> output_binds;  // integer outputs beside :numrows

  // The block for these caller names.
  std::string format(const CallerIdentity& identity) const;
};

}  // namespace ferrule
