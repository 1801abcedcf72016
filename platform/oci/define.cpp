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

// Stores column `column` of row `row` into element `element` of the define.
FetchOutcome store_column(const DefineBuffer& define, const PGresult* result, int row,
                          int column, size_t element, int encoding) {
  const sb4 value_size = define.value_size;
  const ub2 type = define.type;
  char* const to = define.value ? define.value + element * define.value_skip : nullptr;
  char* const to_indicator =
      define.indicator ? define.indicator + element * define.indicator_skip : nullptr;
  char* const to_length = define.length ? define.length + element * define.length_skip : nullptr;
  // Only an empty value can be NULL: most values skip that question.
  const int value_length = PQgetlength(result, row, column);
  if (value_length == 0 && PQgetisnull(result, row, column)) {
    if (type == SQLT_STR && to && value_size > 0) to[0] = '\0';
    if (to_length) store<ub2>(to_length, 0);
    if (!to_indicator) return FetchOutcome::kNullWithoutIndicator;
    store<sb2>(to_indicator, -1);
    return FetchOutcome::kStored;
  }
  std::string_view text(PQgetvalue(result, row, column), static_cast<size_t>(value_length));

  if (type == SQLT_INT) {
    std::int64_t number = 0;
    FetchOutcome parsed = parse_number(text, number);
    if (parsed != FetchOutcome::kStored) return parsed;
    if (to && !store_integer(to, value_size, number)) return FetchOutcome::kNumberTooLarge;
    if (to_indicator) store<sb2>(to_indicator, 0);
    if (to_length) store<ub2>(to_length, static_cast<ub2>(value_size));
    return FetchOutcome::kStored;
  }

  const size_t size = to ? static_cast<size_t>(std::max<sb4>(value_size, 0)) : 0;
  const bool cut = store_text(to, size, type, text, encoding) < text.size();
  if (to_indicator) store<sb2>(to_indicator, cut ? cut_value_indicator(text.size()) : sb2{0});
  if (to_length) store<ub2>(to_length, clamp_to_ub2(text.size()));
  return cut ? FetchOutcome::kTruncated : FetchOutcome::kStored;
}

// store_column for a NUL-terminated text with room for at least its
// terminator, the define of every list: the same stores, without the
// questions that only other defines raise.
ColumnStored store_texts(const DefineBuffer& define, const PGresult* result, int first_row,
                         int column, size_t count, int encoding) {
  const size_t size = static_cast<size_t>(define.value_size);
  ColumnStored stored;
  for (; stored.rows < count; ++stored.rows) {
    const size_t element = stored.rows;
    const int row = first_row + static_cast<int>(element);
    char* const to = define.value + element * define.value_skip;
    char* const to_indicator =
        define.indicator ? define.indicator + element * define.indicator_skip : nullptr;
    char* const to_length =
        define.length ? define.length + element * define.length_skip : nullptr;
    const size_t length = static_cast<size_t>(PQgetlength(result, row, column));
    if (length == 0 && PQgetisnull(result, row, column)) {
      to[0] = '\0';
      if (to_length) store<ub2>(to_length, 0);
      if (!to_indicator) {
        stored.failure = FetchOutcome::kNullWithoutIndicator;
        break;
      }
      store<sb2>(to_indicator, -1);
      continue;
    }
    const std::string_view text(PQgetvalue(result, row, column), length);
    const bool cut = store_text(to, size, SQLT_STR, text, encoding) < length;
    if (cut) stored.truncated = true;
    if (to_indicator) store<sb2>(to_indicator, cut ? cut_value_indicator(length) : sb2{0});
    if (to_length) store<ub2>(to_length, clamp_to_ub2(length));
  }
  return stored;
}

}  // namespace

ColumnStored DefineBuffer::store_rows(const PGresult* result, int first_row, int column,
                                      size_t count, int encoding) const {
  // A copy the libpq calls cannot change: its fields stay in registers.
  const DefineBuffer define = *this;
  if (type == SQLT_STR && value && value_size > 0)
    return store_texts(define, result, first_row, column, count, encoding);
  ColumnStored stored;
  for (; stored.rows < count; ++stored.rows) {
    const int row = first_row + static_cast<int>(stored.rows);
    const FetchOutcome outcome = store_column(define, result, row, column, stored.rows, encoding);
    if (outcome == FetchOutcome::kTruncated) {
      stored.truncated = true;
    } else if (outcome != FetchOutcome::kStored) {
      stored.failure = outcome;
      break;
    }
  }
  return stored;
}

}  // namespace ferrule::oci
