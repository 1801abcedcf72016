#include "statement_text.h"

namespace ferrule {

std::string FormatStatement(const char* tmpl, const std::vector<SqlArg>& args) {
  std::string out;
  auto next = args.begin();
  for (const char* p = tmpl; *p; ++p) {
    if (p[0] == '%' && (p[1] == 's' || p[1] == 'd')) {
      if (next != args.end()) out += (next++)->text();
      ++p;
    } else if (p[0] == '%' && p[1] == '%') {
      out += '%';
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string QuoteLiteral(const char* text) {
  std::string out;
  for (const char* p = text ? text : ""; *p; ++p) {
    out += *p;
    if (*p == '\'') out += '\'';
  }
  return out;
}

}  // namespace ferrule
