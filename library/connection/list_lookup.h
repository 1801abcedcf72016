// The engines of lookups that answer with many rows: a packed list of texts
// (each item followed by its NUL, the length counting bytes) and an integer
// list (the count counting ids). Both gather every row fetched with status
// 0 or 1 until the first other status, then copy once into the caller's
// buffer if it fits; a fetch error after some rows still answers them.
#pragma once

#include <vector>

#include "lookup_keys.h"
#include "lookup_query.h"

namespace ferrule {

// Which fetched rows become items.
enum class RowsTaken {
  Any,               // rows fetched with status 0 or 1
  CompleteOnly,      // rows fetched with status 0; a row with a cut value is passed over
};

struct ListLookupSpec {
  const char* appliName;
  const char* statement;  // template with one text column: the item, closed by the mark
  char mark;              // '?' or '|': an item is its column's text before its last one
  NoRows no_rows;
  RowsTaken rows = RowsTaken::Any;
  unsigned prefetch = 2000;
  const StepLabels* steps = nullptr;  // null: the lookups' labels
  // Lists between date bounds: the text that the bounds compare with, put
  // where the statement names %(date_bounds).
  const char* dated_text = nullptr;
};

// The length is the capacity in bytes on entry, the size of the list on
// success, the size needed when it is too small, unchanged otherwise.
int RunListLookup(const ListLookupSpec& spec, const std::vector<KeyBind>& keys, int* length,
                  char* list, char* ErrMess);

// Two optional date texts; a bound whose text begins with "none" is open.
// Both must be given (null is refused).
struct DateBounds {
  const char* min_date;
  const char* max_date;
};

// A list of the rows whose dated text lies between the bounds, both ends
// included: the statement's %(date_bounds) becomes that condition, and the
// bounds that are not open are bound as :mindate and :maxdate after the
// keys. The bounds compare as texts, as the caller writes them.
int RunDatedListLookup(const ListLookupSpec& spec, std::vector<KeyBind> keys, DateBounds bounds,
                       int* length, char* list, char* ErrMess);

struct IdListSpec {
  const char* appliName;
  const char* statement;  // template with one integer column: the id
  NoRows no_rows;
  unsigned prefetch = 2000;
};

// The count is the capacity in ids on entry, the number of ids on success,
// the number found when it is too small, unchanged otherwise. No rows set
// entries 0 and 1 to -1, so the array needs room for two.
int RunIdListLookup(const IdListSpec& spec, const std::vector<KeyBind>& keys, int* count,
                    int* ids, char* ErrMess);

}  // namespace ferrule
