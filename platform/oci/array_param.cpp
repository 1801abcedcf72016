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
void append_int32(std::string& out, std::uint32_t value) {
  const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                         static_cast<char>(value >> 8), static_cast<char>(value)};
  out.append(bytes, sizeof bytes);
}

void append_int64(std::string& out, std::uint64_t value) {
  append_int32(out, static_cast<std::uint32_t>(value >> 32));
  append_int32(out, static_cast<std::uint32_t>(value));
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
  out.clear();
  // One dimension, the has-nulls flag (the server works it out itself),
  // the element type, then the dimension's length and lower bound.
  append_int32(out, 1);
  append_int32(out, 0);
  append_int32(out, element_oid(element));
  append_int32(out, static_cast<std::uint32_t>(count));
  append_int32(out, 1);
  for (size_t row = first; row < first + count; ++row) {
    const char* value = values.value(row * n_binds + bind);
    if (!value) {
      append_int32(out, static_cast<std::uint32_t>(kNullLength));
      continue;
    }
    const size_t length = std::strlen(value);
    if (element == ArrayElement::kText) {
      append_int32(out, static_cast<std::uint32_t>(length));
      out.append(value, length);
      continue;
    }
    // The decimal text that the bind's integer was turned into.
    std::int64_t number = 0;
    std::from_chars(value, value + length, number);
    if (element == ArrayElement::kInt4) {
      append_int32(out, 4);
      append_int32(out, static_cast<std::uint32_t>(number));
    } else {
      append_int32(out, 8);
      append_int64(out, static_cast<std::uint64_t>(number));
    }
  }
}

}  // namespace ferrule::oci
