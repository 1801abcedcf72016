#include "savepoint_command.h"

#include <cctype>
#include <vector>

namespace ferrule::oci {
namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// The words of the text, lower case, with a final semicolon dropped; empty
// when anything but words (letters, digits, _ and $) and blanks appears.
std::vector<std::string> words_of(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  if (!text.empty() && text.back() == ';') text.remove_suffix(1);
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$') {
      word += lower(c);
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      return {};
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

// A name the server takes unquoted.
bool usable_name(const std::string& name) {
  const unsigned char first = static_cast<unsigned char>(name.front());
  return std::isalpha(first) || first == '_';
}

}  // namespace

SavepointCommand parse_savepoint_command(std::string_view text) {
  const std::vector<std::string> words = words_of(text);
  SavepointCommand command;
  if (words.size() == 2 && words[0] == "savepoint") {
    command.kind = SavepointCommand::Kind::kSet;
    command.name = words[1];
  } else if ((words.size() == 3 || (words.size() == 4 && words[2] == "savepoint")) &&
             words[0] == "rollback" && words[1] == "to") {
    command.kind = SavepointCommand::Kind::kRollbackTo;
    command.name = words.back();
  }
  if (command.kind != SavepointCommand::Kind::kNone && !usable_name(command.name))
    return {};
  return command;
}

}  // namespace ferrule::oci
