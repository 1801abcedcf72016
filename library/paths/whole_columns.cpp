#include "paths/whole_columns.h"

#include <algorithm>
#include <climits>

namespace ferrule {

namespace {

bool IsStructure(char c) { return c == '{' || c == '}' || c == ','; }

}  // namespace

std::string InBlockChunks(const std::string& kind, const std::string& select_list,
                          const std::string& table, const std::string& alias,
                          const std::string& condition) {
  const std::string step = std::to_string(kBlocksPerChunk);
  auto block = [&](const std::string& number) {
    return "('('||" + number + "||',0)')::tid";
  };
  return "select " + kind + ",c.* from generate_series(0,(pg_relation_size('" + table +
         "'::regclass)/current_setting('block_size')::int)::int," + step + ") b,lateral (select " +
         select_list + " from " + table + " " + alias + " where " + alias + ".ctid>=" +
         block("b") + " and " + alias + ".ctid<" + block("(b+" + step + ")") + condition + ") c";
}

// The lists are most of what a load reads, so they are scanned in one pass
// rather than number by number through a general parser.
bool ReadIntList(std::string_view text, std::vector<int>& out) {
  // Each number takes at least two characters with its comma. A list read
  // in chunks grows the vector geometrically, not by one chunk at a time.
  const std::size_t most = out.size() + text.size() / 2 + 1;
  if (most > out.capacity()) out.reserve(std::max(most, 2 * out.capacity()));
  const char* at = text.data();
  const char* const end = at + text.size();
  while (at != end) {
    const bool negative = *at == '-';
    if (negative && ++at == end) return false;
    unsigned digit = static_cast<unsigned char>(*at) - '0';
    if (digit > 9) return false;
    long long number = 0;
    do {
      number = number * 10 + digit;
      if (number > static_cast<long long>(INT_MAX) + 1) return false;
    } while (++at != end && (digit = static_cast<unsigned char>(*at) - '0') <= 9);
    if (negative) number = -number;
    if (number > INT_MAX) return false;
    out.push_back(static_cast<int>(number));
    if (at == end) break;
    if (*at != ',' || ++at == end) return false;
  }
  return true;
}

bool ArrayElements::next(std::string_view& value, bool& is_null) {
  if (at_ == 0 && !text_.empty() && text_[0] != '{') {
    failed_ = true;
    return false;
  }
  while (at_ < text_.size() && IsStructure(text_[at_])) ++at_;
  if (at_ == text_.size()) return false;

  is_null = false;
  if (text_[at_] != '"') {
    const std::size_t begin = at_;
    while (at_ < text_.size() && text_[at_] != ',' && text_[at_] != '}') ++at_;
    value = text_.substr(begin, at_ - begin);
    is_null = value == "NULL";
    return true;
  }
  unescaped_.clear();
  for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_) {
    if (text_[at_] == '\\' && at_ + 1 < text_.size()) ++at_;
    unescaped_ += text_[at_];
  }
  if (at_ == text_.size()) {
    failed_ = true;  // no closing quote
    return false;
  }
  ++at_;
  value = unescaped_;
  return true;
}

}  // namespace ferrule
