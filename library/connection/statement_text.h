// Statement texts built from templates: each %s or %d of the template takes
// the next argument in order, "%%" stays a percent sign. The text grows as
// needed, so no name, sequence expression or value can overflow it.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace ferrule {

class SqlArg {
 public:
  SqlArg(const char* text) : text_(text ? text : "") {}
  SqlArg(std::string text) : text_(std::move(text)) {}
  SqlArg(int value) : text_(std::to_string(value)) {}
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

std::string FormatStatement(const char* tmpl, const std::vector<SqlArg>& args);
inline std::string FormatStatement(const char* tmpl, std::initializer_list<SqlArg> args) {
  return FormatStatement(tmpl, std::vector<SqlArg>(args));
}

// A text written between single quotes inside a statement, with its quotes
// doubled so that it can never end the literal.
std::string QuoteLiteral(const char* text);

}  // namespace ferrule
