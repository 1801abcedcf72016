// Cutting a text to a number of bytes without splitting a character, and
// counting its characters. A
// text cut inside a character is no longer text in its encoding: a caller
// that prints it, stores it or converts it gets garbage or an encoding
// error. Every cut of a database text to fit a bounded buffer, in this
// layer and in the library above it, takes its length from here.
#pragma once

#include <cstddef>
#include <string_view>

namespace ferrule::oci {

// What PQclientEncoding answers for a connection that is not open.
constexpr int kUnknownEncoding = -1;

// The length of the longest prefix of `text` of at most `max_bytes` bytes
// that ends on a character boundary of `encoding` (libpq's number of it, as
// PQclientEncoding gives). An unknown encoding is taken for UTF8: the
// databases are UTF8, and the library's own texts, ASCII, are whole at any
// cut in it.
std::size_t whole_character_prefix(std::string_view text, std::size_t max_bytes, int encoding);

// The most bytes one character takes in any client encoding libpq offers:
// 4 in UTF8, GB18030, EUC_TW and MULE_INTERNAL, fewer in all the others. A
// field of n characters of any encoding fits in n times as many bytes.
constexpr std::size_t kLongestCharacterBytes = 4;

// The length in bytes of the first `max_characters` characters of `text` in
// `encoding` (all of `text` when it has no more); an unknown encoding is
// taken for UTF8, as above.
std::size_t character_prefix(std::string_view text, std::size_t max_characters, int encoding);

}  // namespace ferrule::oci
