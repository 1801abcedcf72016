// The words inventory callers pass: status texts matched by their first
// characters, and the "none" that stands for "not given".
#pragma once

#include <string>
#include <vector>

namespace ferrule {

// A status text matches when it begins with the first `compared`
// characters of `word` (case-sensitive).
struct StatusPrefix {
  const char* word;
  unsigned compared;
  int code;  // hardware status code (1 IN_USE ... 7 NONE)
};

// The code of the last prefix that the text matches, or 0 for a null text
// and a text that matches none.
int StatusCodeOf(const char* text, const std::vector<StatusPrefix>& prefixes);

// True for a null text and a text that begins with "none": the caller's way
// of saying that a value is not given.
bool NotGiven(const char* text);

// The text, or an empty one for a null pointer.
std::string TextOf(const char* text);

}  // namespace ferrule
