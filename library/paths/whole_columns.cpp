#include "paths/whole_columns.h"

#include <climits>

namespace ferrule {

namespace {

bool IsStructure(char c) { return c == '{' || c == '}' || c == ','; }

}  // namespace

// The lists are most of what a load reads, so they are scanned in one pass
// rather than number by number through a general parser.
bool ReadIntList(std::string_view text, std::vector<int>& out) {
  // Each number takes at least two characters with its comma.
  out.reserve(out.size() + text.size() / 2 + 1);
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
