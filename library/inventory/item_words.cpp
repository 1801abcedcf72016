#include "inventory/item_words.h"

#include <cstring>

namespace ferrule {

int StatusCodeOf(const char* text, const std::vector<StatusPrefix>& prefixes) {
  if (!text) return 0;
  int code = 0;
  for (const StatusPrefix& prefix : prefixes)
    if (std::strncmp(text, prefix.word, prefix.compared) == 0) code = prefix.code;
  return code;
}

bool NotGiven(const char* text) { return !text || std::strncmp(text, "none", 4) == 0; }

std::string TextOf(const char* text) { return text ? text : ""; }

}  // namespace ferrule
