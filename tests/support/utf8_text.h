// Checks on texts that the library cut to a number of bytes: that no
// character was split, and the texts of repeated characters they are
// compared with.
#pragma once

#include <string>
#include <string_view>

namespace testutf8 {

// Every character whole and well formed: no lead byte without its
// continuation bytes, no stray continuation byte, no overlong form, no
// surrogate, nothing above U+10FFFF.
inline bool IsWellFormed(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    unsigned long code = lead, smallest = 0;
    if (lead >= 0xF0 && lead < 0xF8) {
      length = 4, code = lead & 0x07, smallest = 0x10000;
    } else if (lead >= 0xE0 && lead < 0xF0) {
      length = 3, code = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xC0 && lead < 0xE0) {
      length = 2, code = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0x80) {
      return false;
    }
    if (text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

inline std::string Repeated(std::string_view character, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += character;
  return text;
}

}  // namespace testutf8
