#include "connect_target.h"

#include <algorithm>
#include <cctype>

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

}  // namespace

bool parse_connect_text(std::string_view text, ConnectTarget& target,
                        std::string& problem) {
  target.keywords.clear();
  if (text.empty()) {
    problem = "empty server text";
    return false;
  }
  if (is_libpq_text(text)) {
    // libpq checks the syntax itself when the session connects.
    target.keywords.emplace_back("dbname", std::string(text));
    return true;
  }
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

}  // namespace ferrule::oci
