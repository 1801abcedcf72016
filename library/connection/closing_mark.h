// The rule every reader of a text column applies. A statement closes a text
// column, or each item of a list, with a mark ('?' or '|') appended to the
// stored value, and the replacement words of a NULL or cut value are
// written followed by the same mark. The value read is the text before the
// mark, which is its last character: a stored value that holds a '?' or a
// '|' of its own comes back whole. A column that its statement does not
// close is read with kNoMark, and never cut.
#pragma once

#include <string_view>

namespace ferrule {

inline constexpr char kNoMark = '\0';

// The text without its closing mark; the whole text when it does not end
// with the mark (or the mark is kNoMark).
inline std::string_view ValueBeforeMark(std::string_view text, char mark) {
  if (mark != kNoMark && !text.empty() && text.back() == mark) text.remove_suffix(1);
  return text;
}

}  // namespace ferrule
