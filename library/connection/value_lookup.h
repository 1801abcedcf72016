// Lookups that answer with one value: an id through an int out argument, or
// a name copied into a caller buffer whose size the interface does not pass.
#pragma once

#include <vector>

#include "lookup_keys.h"
#include "lookup_query.h"
#include "row_lookup.h"

namespace ferrule {

// The schema bounds device and component names to 100 bytes: a name buffer
// of this size holds any of them with its NUL (and "NO_ROWS_SELECTED").
constexpr int kNameBufferSize = 101;

struct IdValueSpec {
  const char* appliName;
  const char* statement;  // template with one integer column
  NoRows no_rows;
  bool no_rows_writes_minus_one;  // the no-rows answer sets the value to -1 (else untouched)
};

int RunIdValueLookup(const IdValueSpec& spec, const std::vector<KeyBind>& keys, int* value,
                     char* ErrMess);

// A name: a row of one text column with the format "%s", into a buffer of
// kNameBufferSize bytes. A longer name (a schema without the bound) is
// answered "BUFFER_TOO_SMALL" rather than written past the buffer.
int RunNameValueLookup(const RowLookupSpec& spec, const std::vector<KeyBind>& keys, char* name,
                       char* ErrMess);

}  // namespace ferrule
