#include "whole_characters.h"

#include <libpq-fe.h>

#include <algorithm>

namespace ferrule::oci {

namespace {

int known_or_utf8(int encoding) {
  static const int kUtf8 = pg_char_to_encoding("UTF8");
  return encoding < 0 ? kUtf8 : encoding;
}

}  // namespace

std::size_t whole_character_prefix(std::string_view text, std::size_t max_bytes, int encoding) {
  if (text.size() <= max_bytes) return text.size();
  encoding = known_or_utf8(encoding);
  // From the start: in some encodings (SJIS, GBK) the second byte of a
  // character may look like a first byte, so looking back from the cut
  // cannot tell where the character it falls in begins. PQmblen reads the
  // first byte only, and end stays below text.size().
  std::size_t end = 0;
  for (;;) {
    const auto length = static_cast<std::size_t>(std::max(PQmblen(text.data() + end, encoding), 1));
    if (length > max_bytes - end) return end;
    end += length;
  }
}

std::size_t character_prefix(std::string_view text, std::size_t max_characters, int encoding) {
  // Every character takes at least a byte.
  if (text.size() <= max_characters) return text.size();
  encoding = known_or_utf8(encoding);
  std::size_t end = 0;
  for (std::size_t count = 0; count < max_characters && end < text.size(); ++count) {
    const auto length = static_cast<std::size_t>(
        std::max(PQmblen(text.data() + end, encoding), 1));
    end += std::min(length, text.size() - end);
  }
  return end;
}

}  // namespace ferrule::oci
