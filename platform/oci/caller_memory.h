// Reading and writing the caller's buffers: indicators, lengths and
// integers sit at whatever offsets the caller's strides give, so they are
// copied byte-wise rather than dereferenced.
#pragma once

#include "oci.h"
#include "whole_characters.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace ferrule::oci {

template <class T>
T load(const void* at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

template <class T>
void store(void* at, T value) {
  std::memcpy(at, &value, sizeof value);
}

// Integer buffers may be 2, 4 or 8 bytes wide.
inline bool valid_integer_size(sb4 size) { return size == 2 || size == 4 || size == 8; }

inline std::int64_t load_integer(const void* at, sb4 size) {
  switch (size) {
    case 2: return load<std::int16_t>(at);
    case 4: return load<std::int32_t>(at);
    default: return load<std::int64_t>(at);
  }
}

// False (nothing written) when the value does not fit.
inline bool store_integer(void* at, sb4 size, std::int64_t value) {
  switch (size) {
    case 2:
      if (value < INT16_MIN || value > INT16_MAX) return false;
      store(at, static_cast<std::int16_t>(value));
      return true;
    case 4:
      if (value < INT32_MIN || value > INT32_MAX) return false;
      store(at, static_cast<std::int32_t>(value));
      return true;
    default:
      store(at, value);
      return true;
  }
}

// The indicator of a value cut to fit: its full length, or -2 when the
// length does not fit an sb2.
inline sb2 cut_value_indicator(size_t full_length) {
  return full_length > 32767 ? sb2{-2} : static_cast<sb2>(full_length);
}

inline ub2 clamp_to_ub2(size_t length) {
  return length > 65535 ? ub2{65535} : static_cast<ub2>(length);
}

// Writes a text into a caller's text buffer of `size` bytes (SQLT_STR or
// SQLT_CHR), cut to fit without splitting a character of `encoding`, and
// returns the bytes kept. SQLT_STR keeps a byte for its terminator.
// SQLT_CHR has none: the caller of a cut value reads all `size` bytes, so
// those after the last whole character are blanks.
inline size_t store_text(char* to, size_t size, ub2 type, std::string_view text, int encoding) {
  const size_t room = type == SQLT_STR && size > 0 ? size - 1 : size;
  const size_t kept =
      text.size() <= room ? text.size() : whole_character_prefix(text, room, encoding);
  if (kept > 0) std::memcpy(to, text.data(), kept);
  if (type == SQLT_STR && size > 0) to[kept] = '\0';
  if (type == SQLT_CHR && kept < text.size() && kept < room)
    std::memset(to + kept, ' ', room - kept);
  return kept;
}

}  // namespace ferrule::oci
