#include "ctrl_values.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace ferrule::ctrl {

void RefuseCall() { throw 0; }

std::string TextOf(const TextVar* arg) { return arg->getValue(); }

int IntOf(const IntegerVar* arg) { return arg->getValue(); }

std::vector<std::string> TextsOf(DynVar* list) {
  std::vector<std::string> texts;
  texts.reserve(list->getArrayLength());
  for (Variable* item = list->getFirstVar(); item; item = list->getNextVar()) {
    switch (item->isA()) {
      case kTextVariable:
        texts.emplace_back(static_cast<TextVar*>(item)->getValue());
        break;
      case kIntegerVariable:
        texts.push_back(std::to_string(static_cast<IntegerVar*>(item)->getValue()));
        break;
      default:
        RefuseCall();
    }
  }
  return texts;
}

std::vector<int> IntsOf(DynVar* list) {
  std::vector<int> values;
  values.reserve(list->getArrayLength());
  for (Variable* item = list->getFirstVar(); item; item = list->getNextVar()) {
    if (item->isA() != kIntegerVariable) RefuseCall();
    values.push_back(static_cast<IntegerVar*>(item)->getValue());
  }
  return values;
}

void AppendText(DynVar& list, const std::string& text) { list.append(TextVar(text.c_str())); }

void AppendInt(DynVar& list, int value) { list.append(IntegerVar(value)); }

std::string JoinQuoted(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) {
    if (!joined.empty()) joined += ',';
    joined += '\'';
    for (char c : name) {
      if (c == '\'') joined += '\'';
      joined += c;
    }
    joined += '\'';
  }
  return joined;
}

NameAndId SplitNameAndId(const std::string& item) {
  const std::size_t bar = item.rfind('|');
  if (bar == std::string::npos) return {item, -1};
  const char* digits = item.c_str() + bar + 1;
  char* end = nullptr;
  errno = 0;
  const long id = std::strtol(digits, &end, 10);
  const bool read = end != digits && errno == 0 && id >= INT_MIN && id <= INT_MAX;
  return {item.substr(0, bar), read ? static_cast<int>(id) : -1};
}

std::string PackTexts(const std::vector<std::string>& texts) {
  std::string packed;
  for (const std::string& text : texts) packed.append(text.c_str(), text.size() + 1);
  return packed;
}

}  // namespace ferrule::ctrl
