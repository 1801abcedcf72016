// A define: the caller's buffer that receives one column of each fetched row.
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
};

struct DefineBuffer {
  char* value = nullptr;
  sb4 value_size = 0;
  ub2 type = 0;              // SQLT_STR, SQLT_CHR or SQLT_INT
  char* indicator = nullptr;  // sb2, or null
  char* length = nullptr;     // ub2 length returned (full length when cut)

  // Stores column `column` of row `row`.
  FetchOutcome store_column(const PGresult* result, int row, int column) const;
};

}  // namespace ferrule::oci

struct OCIDefine final : ferrule::oci::Handle {
  OCIDefine() : Handle(OCI_HTYPE_DEFINE) {}
  ferrule::oci::DefineBuffer buffer;
};
