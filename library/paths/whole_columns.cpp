#include "paths/whole_columns.h"

#include <climits>

namespace ferrule {

namespace {

bool IsStructure(char c) { return c == '{' || c == '}' || c == ','; }

}  // namespace

// The lists are most of what a load reads, so they are scanned in one pass
// rather than number by number through a general parser.
bool ReadIntList(std::string_view text, std::vector<int>& out) {
  const char* at = text.data();
  const char* const end = at + text.size();
  while (at != end) {
    const bool negative = *at == '-';
    if (negative) ++at;
    const char* const digits = at;
    long long number = 0;
    // Eleven digits are more than any int has: the range test below sees it.
    for (; at != end && *at >= '0' && *at <= '9' && at - digits < 11; ++at)
      number = number * 10 + (*at - '0');
    if (negative) number = -number;
    if (at == digits || number < INT_MIN || number > INT_MAX) return false;
    out.push_back(static_cast<int>(number));
    if (at == end) break;
    if (*at != ',' || ++at == end) return false;
  }
  return true;
}

bool ArrayElements::next(std::string_view& value, bool& is_null) {
  if (at_ == 0 && (text_.empty() || text_[0] != '{')) {
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
