#include "define.h"

#include "caller_memory.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace ferrule::oci {
namespace {

std::string_view trim_blanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Integer columns parse exactly; numeric and floating values are rounded
// to the nearest integer, halves away from zero.
FetchOutcome parse_number(std::string_view text, std::int64_t& number) {
  text = trim_blanks(text);
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (!text.empty() && text.front() == '+') ++begin;
  auto exact = std::from_chars(begin, end, number);
  if (exact.ec == std::errc() && exact.ptr == end) return FetchOutcome::kStored;
  if (exact.ec == std::errc::result_out_of_range) return FetchOutcome::kNumberTooLarge;

  double real = 0;
  auto approximate = std::from_chars(begin, end, real);
  if (approximate.ec == std::errc::result_out_of_range) return FetchOutcome::kNumberTooLarge;
  if (approximate.ec != std::errc() || approximate.ptr != end || std::isnan(real))
    return FetchOutcome::kNotANumber;
  double rounded = std::round(real);
  // 2^63 itself does not fit an int64.
  if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
    return FetchOutcome::kNumberTooLarge;
  number = static_cast<std::int64_t>(rounded);
  return FetchOutcome::kStored;
}

}  // namespace

FetchOutcome DefineBuffer::store_column(const PGresult* result, int row, int column) const {
  if (PQgetisnull(result, row, column)) {
    if (type == SQLT_STR && value && value_size > 0) value[0] = '\0';
    if (length) store<ub2>(length, 0);
    if (!indicator) return FetchOutcome::kNullWithoutIndicator;
    store<sb2>(indicator, -1);
    return FetchOutcome::kStored;
  }
  std::string_view text(PQgetvalue(result, row, column),
                        static_cast<size_t>(PQgetlength(result, row, column)));

  if (type == SQLT_INT) {
    std::int64_t number = 0;
    FetchOutcome parsed = parse_number(text, number);
    if (parsed != FetchOutcome::kStored) return parsed;
    if (value && !store_integer(value, value_size, number)) return FetchOutcome::kNumberTooLarge;
    if (indicator) store<sb2>(indicator, 0);
    if (length) store<ub2>(length, static_cast<ub2>(value_size));
    return FetchOutcome::kStored;
  }

  // Texts: SQLT_STR keeps one byte for the terminator, SQLT_CHR does not.
  size_t size = value ? static_cast<size_t>(std::max<sb4>(value_size, 0)) : 0;
  size_t room = type == SQLT_STR && size > 0 ? size - 1 : size;
  size_t kept = std::min(room, text.size());
  if (value) {
    std::memcpy(value, text.data(), kept);
    if (type == SQLT_STR && size > 0) value[kept] = '\0';
  }
  bool cut = kept < text.size();
  if (indicator) store<sb2>(indicator, cut ? cut_value_indicator(text.size()) : sb2{0});
  if (length) store<ub2>(length, clamp_to_ub2(text.size()));
  return cut ? FetchOutcome::kTruncated : FetchOutcome::kStored;
}

}  // namespace ferrule::oci
