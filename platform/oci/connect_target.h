// The server text given to OCIServerAttach, turned into libpq keywords, and
// the connection text that leaves nothing to the environment.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ferrule::oci {

struct ConnectTarget {
  // libpq keyword/value pairs, exactly as the server text gives them.
  std::vector<std::pair<std::string, std::string>> keywords;
};

// Accepts `host[:port][/dbname]`, a libpq URI (postgresql://...) or libpq
// key=value text. Returns false with the reason in `problem` otherwise.
bool parse_connect_text(std::string_view text, ConnectTarget& target,
                        std::string& problem);

// The libpq connection text of the target with this user and password.
// libpq fills every setting that a connection text leaves out from PG*
// environment variables, the password file or a service file; so every
// setting that has such a source is written out: the target's value, else
// the value libpq would use with nothing set (the password file is
// /dev/null). What the environment holds then changes neither where nor as
// whom the session connects. Empty when libpq has no memory for its list of
// settings.
std::string connection_text(const ConnectTarget& target, const std::string& user,
                            const std::string& password);

}  // namespace ferrule::oci
