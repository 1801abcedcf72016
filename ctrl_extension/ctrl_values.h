// Reading CTRL arguments into the texts and integers the library takes,
// and writing texts and integers back into CTRL lists.
#pragma once

#include <string>
#include <vector>

#include "variables.h"

namespace ferrule::ctrl {

// Ends the current call with its function's default result (the dispatch
// catches the int), for an argument a wrapper cannot read.
[[noreturn]] void RefuseCall();

// A copy of the argument's text, taken before any library call.
std::string TextOf(const TextVar* arg);
int IntOf(const IntegerVar* arg);

// The elements of an input list, in order, read as texts (an integer as its
// decimal text) or as integers. An element of another class refuses the
// call.
std::vector<std::string> TextsOf(DynVar* list);
std::vector<int> IntsOf(DynVar* list);

void AppendText(DynVar& list, const std::string& text);
void AppendInt(DynVar& list, int value);

// Names joined for the library as one text: each in single quotes, a quote
// inside a name doubled, separated by "," with nothing else ('a','b','c').
std::string JoinQuoted(const std::vector<std::string>& names);

// An item "name|id" of a packed list: the text before the last "|" and the
// decimal number that follows it (an id holds no "|", a name may). An item
// without "|", or without a number after it, has the id -1, so that a list
// of names and a list of ids filled from the items stay in step.
struct NameAndId {
  std::string name;
  int id;
};
NameAndId SplitNameAndId(const std::string& item);

// The texts as one packed list: each text followed by its NUL, one after
// another; its size() is the byte total the library is given.
std::string PackTexts(const std::vector<std::string>& texts);

}  // namespace ferrule::ctrl
