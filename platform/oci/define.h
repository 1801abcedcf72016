// A define: the caller's buffer that receives one column of each fetched row,
// or of each row of an array fetch (element i at value + i * value_skip).
#pragma once

#include "handle.h"

#include <libpq-fe.h>

namespace ferrule::oci {

enum class FetchOutcome {
  kStored,
  kTruncated,             // text cut to fit; the indicator tells its length
  kNullWithoutIndicator,  // nowhere to say NULL (error 1405)
  kNotANumber,            // text that is no number into an integer (1722)
  kNumberTooLarge,        // number beyond the integer's size (1438)
  kNotInSelectList,       // a define beyond the query's columns (1007)
};

// What storing one column of several rows came to.
struct ColumnStored {
  size_t rows = 0;                               // stored before the first failure
  FetchOutcome failure = FetchOutcome::kStored;  // the outcome of that failure
  bool truncated = false;                        // a value was cut
};

struct DefineBuffer {
  char* value = nullptr;
  sb4 value_size = 0;
  ub2 type = 0;              // SQLT_STR, SQLT_CHR or SQLT_INT
  char* indicator = nullptr;  // sb2, or null
  char* length = nullptr;     // ub2 length returned (full length when cut)
  ub4 value_skip = 0;         // bytes between the elements of an array fetch
  ub4 indicator_skip = sizeof(sb2);
  ub4 length_skip = sizeof(ub2);

  // Stores column `column` of rows first_row .. first_row + count - 1 into
  // elements 0 .. count - 1, up to the first row that cannot be stored. A
  // text cut to fit keeps whole characters of `encoding`, the client
  // encoding the rows came in.
  ColumnStored store_rows(const PGresult* result, int first_row, int column, size_t count,
                          int encoding) const;
};

}  // namespace ferrule::oci

struct OCIDefine final : ferrule::oci::Handle {
  OCIDefine() : Handle(OCI_HTYPE_DEFINE) {}
  ferrule::oci::DefineBuffer buffer;
};
