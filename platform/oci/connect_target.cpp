#include "connect_target.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
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

// Settings the library chooses itself when the server text leaves them
// out. A control process must not wait without end for a server that
// accepts connections and never answers, nor for one that vanished with
// the network: libpq itself would wait for both.
struct OwnSetting {
  std::string_view keyword;
  std::string value;
};
const std::vector<OwnSetting>& own_settings() {
  static const std::vector<OwnSetting> settings = {
      {"passfile", "/dev/null"},
      {"connect_timeout", std::to_string(wait_limit::kConnectTimeoutSeconds)},
      {"keepalives", "1"},
      {"keepalives_idle", std::to_string(wait_limit::kKeepalivesIdleSeconds)},
      {"keepalives_interval", std::to_string(wait_limit::kKeepalivesIntervalSeconds)},
      {"keepalives_count", std::to_string(wait_limit::kKeepalivesCount)},
      {"tcp_user_timeout", std::to_string(wait_limit::kTcpUserTimeoutMilliseconds)},
  };
  return settings;
}

const std::string* own_value(std::string_view keyword) {
  for (const OwnSetting& setting : own_settings())
    if (setting.keyword == keyword) return &setting.value;
  return nullptr;
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
    if (!value) value = own_value(keyword);
    // Any other setting without an outside source is left to libpq; a
    // service is used only when the server text names one. An empty value
    // is the same as no value for libpq.
    if (!value && (!o->envvar || keyword == "service")) continue;
    text += o->keyword;
    text += '=';
    append_quoted(text, value ? *value : std::string(o->compiled ? o->compiled : ""));
    text += ' ';
  }
  return text;
}

int connect_timeout_seconds(const char* setting) {
  if (!setting) return 0;
  while (std::isspace(static_cast<unsigned char>(*setting))) ++setting;
  if (!*setting) return 0;
  errno = 0;
  char* end = nullptr;
  const long seconds = std::strtol(setting, &end, 10);
  if (end == setting || errno == ERANGE) return -1;
  while (std::isspace(static_cast<unsigned char>(*end))) ++end;
  if (*end) return -1;
  if (seconds <= 0) return 0;
  // As libpq: at least two seconds, since one would end at once a wait that
  // began late in a second.
  return seconds < 2 ? 2 : static_cast<int>(std::min<long>(seconds, INT_MAX / 1000));
}

}  // namespace ferrule::oci
