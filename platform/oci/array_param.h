// A bind's values for many rows sent as one array parameter, in the binary
// array format: the server reads each element as it is (array_recv), where
// an array literal costs quoting and escaping here and a character-by-
// character parse there (measured: about 500 instructions an element, as
// much as a fifth of what a chunk of small inserts costs the server).
#pragma once

#include "bind.h"

#include <string>

namespace ferrule::oci {

enum class ArrayElement { kText, kInt4, kInt8 };

// What a bind's values are on the server: its parameter's element type.
ArrayElement array_element_of(const BindBuffer& buffer);
// The type of the array parameter (text[], integer[], bigint[]).
Oid array_type_oid(ArrayElement element);

// Replaces `out` with the array of the values of bind `bind` in rows
// first .. first + count - 1 of `values` (n_binds values a row, integers as
// their decimal texts).
void encode_array(const ParamValues& values, size_t n_binds, size_t bind, size_t first,
                  size_t count, ArrayElement element, std::string& out);

}  // namespace ferrule::oci
