#include "bind.h"

#include "caller_memory.h"

#include <algorithm>
#include <charconv>

namespace ferrule::oci {
namespace {

constexpr Oid kUntypedOid = 0;
constexpr Oid kInt4Oid = 23;
constexpr Oid kInt8Oid = 20;

}  // namespace

Oid BindBuffer::type_oid() const {
  if (type != SQLT_INT) return kUntypedOid;
  return value_size == 8 ? kInt8Oid : kInt4Oid;
}

const char* BindBuffer::sql_type() const {
  if (type != SQLT_INT) return "text";
  return value_size == 8 ? "bigint" : "integer";
}

void BindBuffer::append_value(size_t row, ParamValues& out) const {
  if (indicator && load<sb2>(indicator + row * indicator_skip) == -1) return out.add_null();
  if (!value || value_size <= 0) return out.add_null();
  const char* element = value + row * value_skip;
  switch (type) {
    case SQLT_INT: {
      char digits[24];
      auto end = std::to_chars(digits, digits + sizeof digits,
                               load_integer(element, value_size)).ptr;
      return out.add(std::string_view(digits, static_cast<size_t>(end - digits)));
    }
    case SQLT_CHR: {
      size_t length = static_cast<size_t>(value_size);
      if (lengths) length = std::min<size_t>(length, load<ub2>(lengths + row * length_skip));
      if (length == 0) return out.add_null();
      return out.add(std::string_view(element, length));
    }
    default: {  // SQLT_STR
      size_t length = strnlen(element, static_cast<size_t>(value_size));
      if (length == 0) return out.add_null();
      return out.add(std::string_view(element, length));
    }
  }
}

void BindBuffer::write_back(size_t row, bool is_null, std::string_view text,
                            int encoding) const {
  char* row_indicator = indicator ? indicator + row * indicator_skip : nullptr;
  char* row_length = lengths ? lengths + row * length_skip : nullptr;
  char* element = value && value_size > 0 ? value + row * value_skip : nullptr;

  if (is_null) {
    if (row_indicator) store<sb2>(row_indicator, -1);
    if (element && type == SQLT_STR) element[0] = '\0';
    if (row_length && type == SQLT_CHR) store<ub2>(row_length, 0);
    return;
  }
  if (type == SQLT_INT) {
    std::int64_t number = 0;
    auto parsed = std::from_chars(text.data(), text.data() + text.size(), number);
    if (parsed.ec != std::errc() || !element) return;
    if (store_integer(element, value_size, number) && row_indicator)
      store<sb2>(row_indicator, 0);
    return;
  }
  const size_t kept =
      store_text(element, element ? static_cast<size_t>(value_size) : 0, type, text, encoding);
  if (row_length && type == SQLT_CHR) store<ub2>(row_length, clamp_to_ub2(kept));
  if (row_indicator)
    store<sb2>(row_indicator, kept < text.size() ? cut_value_indicator(text.size()) : sb2{0});
}

bool check_bind_type(ub2 type, sb4 value_size, std::string& problem) {
  if (type == SQLT_INT && value_size != 0 && !valid_integer_size(value_size)) {
    problem = "integer bind of " + std::to_string(value_size) + " bytes (2, 4 or 8 expected)";
    return false;
  }
  if (type != SQLT_INT && type != SQLT_STR && type != SQLT_CHR) {
    problem = "unsupported bind type " + std::to_string(type);
    return false;
  }
  return true;
}

}  // namespace ferrule::oci
