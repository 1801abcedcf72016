#include "array_param.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace ferrule::oci {
namespace {

// The types of each ArrayElement, in the order of the enumeration: the
// element's, the array's, and the bytes of an element in binary (0: the
// text's own length).
struct ElementTypes {
  Oid element;
  Oid array;
  size_t binary_size;
};
constexpr ElementTypes kElementTypes[] = {
    {25, 1009, 0},  // kText: text, text[]
    {23, 1007, 4},  // kInt4: integer, integer[]
    {20, 1016, 8},  // kInt8: bigint, bigint[]
};

const ElementTypes& types_of(ArrayElement element) {
  return kElementTypes[static_cast<size_t>(element)];
}

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

}  // namespace

ArrayElement array_element_of(const BindBuffer& buffer) {
  if (buffer.type != SQLT_INT) return ArrayElement::kText;
  return buffer.value_size == 8 ? ArrayElement::kInt8 : ArrayElement::kInt4;
}

Oid array_type_oid(ArrayElement element) { return types_of(element).array; }

void encode_array(const ParamValues& values, size_t n_binds, size_t bind, size_t first,
                  size_t count, ArrayElement element, std::string& out) {
  // One dimension, the has-nulls flag (the server works it out itself),
  // the element type, then the dimension's length and lower bound; each
  // element its length (-1: NULL) and its bytes.
  constexpr size_t kHeaderSize = 5 * 4;
  size_t size = kHeaderSize + 4 * count;
  for (size_t row = first; row < first + count; ++row) {
    const size_t index = row * n_binds + bind;
    if (!values.value(index)) continue;
    const size_t binary_size = types_of(element).binary_size;
    size += binary_size ? binary_size : values.length(index);
  }
  out.resize(size);
  char* at = put_int32(out.data(), 1);
  at = put_int32(at, 0);
  at = put_int32(at, types_of(element).element);
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
