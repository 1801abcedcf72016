#include "connect_target.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace ferrule::oci {
namespace {

bool is_libpq_text(std::string_view text) {
  return text.rfind("postgresql://", 0) == 0 || text.rfind("postgres://", 0) == 0 ||
         text.find('=') != std::string_view::npos;
}

bool all_digits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
}

bool has_blank(std::string_view s) {
  return std::any_of(s.begin(), s.end(),
                     [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
}

struct OptionsFree {
  void operator()(PQconninfoOption* options) const { PQconninfoFree(options); }
};
using Options = std::unique_ptr<PQconninfoOption, OptionsFree>;

// A URI or key=value text, split by libpq itself (which reads nothing from
// the environment while it parses).
bool parse_libpq_text(const std::string& text, ConnectTarget& target, std::string& problem) {
  char* message = nullptr;
  Options parsed(PQconninfoParse(text.c_str(), &message));
  if (!parsed) {
    problem = message ? message : "invalid connection text";
    PQfreemem(message);
    while (!problem.empty() && std::isspace(static_cast<unsigned char>(problem.back())))
      problem.pop_back();
    return false;
  }
  for (const PQconninfoOption* o = parsed.get(); o->keyword; ++o)
    if (o->val) target.keywords.emplace_back(o->keyword, o->val);
  return true;
}

// A value between single quotes, as libpq reads it back.
void append_quoted(std::string& out, const std::string& value) {
  out += '\'';
  for (char c : value) {
    if (c == '\'' || c == '\\') out += '\\';
    out += c;
  }
  out += '\'';
}

// What a setting means when nothing sets it. An empty value is the same as
// no value for libpq, except for integers, which must parse.
const char* value_when_unset(const PQconninfoOption& option) {
  const std::string_view keyword = option.keyword;
  if (keyword == "passfile") return "/dev/null";
  if (keyword == "connect_timeout") return "0";  // wait without a limit
  return option.compiled ? option.compiled : "";
}

}  // namespace

bool parse_connect_text(std::string_view text, ConnectTarget& target,
                        std::string& problem) {
  target.keywords.clear();
  if (text.empty()) {
    problem = "empty server text";
    return false;
  }
  if (is_libpq_text(text)) return parse_libpq_text(std::string(text), target, problem);
  std::string_view host = text, port, dbname;
  bool has_dbname = false, has_port = false;
  if (auto slash = host.find('/'); slash != std::string_view::npos) {
    dbname = host.substr(slash + 1);
    host = host.substr(0, slash);
    has_dbname = true;
  }
  if (auto colon = host.find(':'); colon != std::string_view::npos) {
    port = host.substr(colon + 1);
    host = host.substr(0, colon);
    has_port = true;
  }
  if (host.empty() || has_blank(host) || (has_port && !all_digits(port)) ||
      (has_dbname && (dbname.empty() || has_blank(dbname)))) {
    problem = "invalid server text \"" + std::string(text) +
              "\" (expected host:port/dbname)";
    return false;
  }
  target.keywords.emplace_back("host", std::string(host));
  if (has_port) target.keywords.emplace_back("port", std::string(port));
  if (has_dbname) target.keywords.emplace_back("dbname", std::string(dbname));
  return true;
}

std::string connection_text(const ConnectTarget& target, const std::string& user,
                            const std::string& password) {
  auto given = [&](std::string_view keyword) -> const std::string* {
    if (keyword == "user") return &user;
    if (keyword == "password") return &password;
    for (const auto& [key, value] : target.keywords)
      if (key == keyword) return &value;
    return nullptr;
  };
  std::string text;
  Options defaults(PQconndefaults());
  if (!defaults) return text;
  for (const PQconninfoOption* o = defaults.get(); o->keyword; ++o) {
    const std::string_view keyword = o->keyword;
    const std::string* value = given(keyword);
    // A setting without an outside source is left to libpq; a service is
    // used only when the server text names one.
    if (!value && (!o->envvar || keyword == "service")) continue;
    text += o->keyword;
    text += '=';
    append_quoted(text, value ? *value : std::string(value_when_unset(*o)));
    text += ' ';
  }
  return text;
}

}  // namespace ferrule::oci
