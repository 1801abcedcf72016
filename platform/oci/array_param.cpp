#include "array_param.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace ferrule::oci {
namespace {

constexpr Oid kTextOid = 25;
constexpr Oid kInt4Oid = 23;
constexpr Oid kInt8Oid = 20;
constexpr Oid kTextArrayOid = 1009;
constexpr Oid kInt4ArrayOid = 1007;
constexpr Oid kInt8ArrayOid = 1016;
// The length word of a NULL element.
constexpr std::int32_t kNullLength = -1;

// Network byte order, as the binary formats are.
char* put_int32(char* at, std::uint32_t value) {
  at[0] = static_cast<char>(value >> 24);
  at[1] = static_cast<char>(value >> 16);
  at[2] = static_cast<char>(value >> 8);
  at[3] = static_cast<char>(value);
  return at + 4;
}

char* put_int64(char* at, std::uint64_t value) {
  return put_int32(put_int32(at, static_cast<std::uint32_t>(value >> 32)),
                   static_cast<std::uint32_t>(value));
}

size_t element_size(ArrayElement element, size_t text_length) {
  switch (element) {
    case ArrayElement::kInt4:
      return 4;
    case ArrayElement::kInt8:
      return 8;
    case ArrayElement::kText:
      break;
  }
  return text_length;
}

Oid element_oid(ArrayElement element) {
  switch (element) {
    case ArrayElement::kInt4:
      return kInt4Oid;
    case ArrayElement::kInt8:
      return kInt8Oid;
    case ArrayElement::kText:
      break;
  }
  return kTextOid;
}

}  // namespace

ArrayElement array_element_of(const BindBuffer& buffer) {
  if (buffer.type != SQLT_INT) return ArrayElement::kText;
  return buffer.value_size == 8 ? ArrayElement::kInt8 : ArrayElement::kInt4;
}

Oid array_type_oid(ArrayElement element) {
  switch (element) {
    case ArrayElement::kInt4:
      return kInt4ArrayOid;
    case ArrayElement::kInt8:
      return kInt8ArrayOid;
    case ArrayElement::kText:
      break;
  }
  return kTextArrayOid;
}

void encode_array(const ParamValues& values, size_t n_binds, size_t bind, size_t first,
                  size_t count, ArrayElement element, std::string& out) {
  // One dimension, the has-nulls flag (the server works it out itself),
  // the element type, then the dimension's length and lower bound; each
  // element its length (-1: NULL) and its bytes.
  constexpr size_t kHeaderSize = 5 * 4;
  size_t size = kHeaderSize;
  for (size_t row = first; row < first + count; ++row) {
    const size_t index = row * n_binds + bind;
    size += 4 + (values.value(index) ? element_size(element, values.length(index)) : 0);
  }
  out.resize(size);
  char* at = put_int32(out.data(), 1);
  at = put_int32(at, 0);
  at = put_int32(at, element_oid(element));
  at = put_int32(at, static_cast<std::uint32_t>(count));
  at = put_int32(at, 1);
  for (size_t row = first; row < first + count; ++row) {
    const size_t index = row * n_binds + bind;
    const char* value = values.value(index);
    if (!value) {
      at = put_int32(at, static_cast<std::uint32_t>(kNullLength));
      continue;
    }
    const size_t length = values.length(index);
    if (element == ArrayElement::kText) {
      at = put_int32(at, static_cast<std::uint32_t>(length));
      std::memcpy(at, value, length);
      at += length;
      continue;
    }
    // The decimal text that the bind's integer was turned into.
    std::int64_t number = 0;
    std::from_chars(value, value + length, number);
    if (element == ArrayElement::kInt4) {
      at = put_int32(put_int32(at, 4), static_cast<std::uint32_t>(number));
    } else {
      at = put_int64(put_int32(at, 8), static_cast<std::uint64_t>(number));
    }
  }
}

}  // namespace ferrule::oci
