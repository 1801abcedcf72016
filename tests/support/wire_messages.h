// The framing of the server's wire protocol, as far as the fault proxy
// (fault_proxy.h) reads it: before the login a client sends untyped packets
// (a 32-bit length, then a 32-bit code), afterwards every message in either
// direction is a type byte and a 32-bit length that counts itself.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

namespace testdb::wire {

// Untyped packets that a client may send before its startup packet; the
// server answers the two encryption requests with one byte.
constexpr std::uint32_t kSslRequest = 80877103;
constexpr std::uint32_t kGssRequest = 80877104;
constexpr std::uint32_t kCancelRequest = 80877102;

inline std::uint32_t big_endian_32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// The size of the first message in `bytes`: 0 while it has not all
// arrived, npos for a length that cannot be one.
inline std::size_t message_size(const std::string& bytes, bool typed) {
  const std::size_t header = typed ? 1 : 0;
  if (bytes.size() < header + 4) return 0;
  const std::uint32_t length = big_endian_32(bytes, header);
  if (length < 4 || length > (1u << 30)) return std::string::npos;
  return bytes.size() >= header + length ? header + length : 0;
}

// A client message that runs COMMIT: a simple query ('Q': the text) or a
// parse ('P': the statement's name, then the text).
inline bool is_commit(const std::string& message) {
  std::size_t text_at = 5;
  if (message[0] == 'P')
    text_at = message.find('\0', text_at) + 1;
  else if (message[0] != 'Q')
    return false;
  if (text_at == 0 || text_at >= message.size()) return false;
  std::string text = message.substr(text_at, message.find('\0', text_at) - text_at);
  auto is_filler = [](unsigned char c) { return std::isspace(c) || c == ';'; };
  while (!text.empty() && is_filler(text.back())) text.pop_back();
  text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), is_filler));
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text == "COMMIT";
}

// A server message that answers COMMIT: its completion (tagged COMMIT, or
// ROLLBACK for a transaction that had failed) or an error.
inline bool answers_commit(const std::string& message) {
  if (message[0] == 'E') return true;
  if (message[0] != 'C') return false;
  const std::string tag = message.substr(5, message.find('\0', 5) - 5);
  return tag == "COMMIT" || tag == "ROLLBACK";
}

}  // namespace testdb::wire
