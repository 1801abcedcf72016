// Lookups that answer with one value: an id through an int out argument, a
// hardware status code as its word, or a name, each copied into a caller
// buffer whose size the interface does not pass.
#pragma once

#include <vector>

#include "lookup_keys.h"
#include "lookup_query.h"
#include "row_lookup.h"

namespace ferrule {

// The schema bounds device and component names to 100 bytes: a name buffer
// of this size holds any of them with its NUL (and "NO_ROWS_SELECTED").
constexpr int kNameBufferSize = 101;

// The longest status word, "DESTROYED" or "IN_REPAIR", with its NUL.
constexpr int kStatusWordBufferSize = 10;

struct IdValueSpec {
  const char* appliName;
  const char* statement;  // template with one integer column
  NoRows no_rows;
  bool no_rows_writes_minus_one;  // the no-rows answer sets the value to -1 (else untouched)
  const StepLabels* steps = nullptr;  // null: the lookups' labels
};

int RunIdValueLookup(const IdValueSpec& spec, const std::vector<KeyBind>& keys, int* value,
                     char* ErrMess);

// The status code of the first row written as its word into a buffer of
// kStatusWordBufferSize bytes. A code outside 1..7 writes "INVALID" and is
// answered "INVALID STATUS CODE <code>" with -1; no row leaves the word
// alone (no_rows_writes_minus_one is not read).
int RunStatusWordLookup(const IdValueSpec& spec, const std::vector<KeyBind>& keys, char* word,
                        char* ErrMess);

// A name: a row of one text column with the format "%s", into a buffer of
// kNameBufferSize bytes. A longer name (a schema without the bound) is
// answered "BUFFER_TOO_SMALL" rather than written past the buffer.
int RunNameValueLookup(const RowLookupSpec& spec, const std::vector<KeyBind>& keys, char* name,
                       char* ErrMess);

}  // namespace ferrule
