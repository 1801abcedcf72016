#include "whole_characters.h"

#include <libpq-fe.h>

#include <algorithm>

namespace ferrule::oci {

std::size_t whole_character_prefix(std::string_view text, std::size_t max_bytes, int encoding) {
  if (text.size() <= max_bytes) return text.size();
  static const int kUtf8 = pg_char_to_encoding("UTF8");
  if (encoding < 0) encoding = kUtf8;
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

}  // namespace ferrule::oci
