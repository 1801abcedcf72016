// The server text given to OCIServerAttach, turned into libpq keywords.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ferrule::oci {

struct ConnectTarget {
  // libpq keyword/value pairs; "dbname" may hold a whole URI or key=value
  // text, which libpq expands.
  std::vector<std::pair<std::string, std::string>> keywords;
};

// Accepts `host[:port][/dbname]`, a libpq URI (postgresql://...) or libpq
// key=value text. Returns false with the reason in `problem` otherwise.
bool parse_connect_text(std::string_view text, ConnectTarget& target,
                        std::string& problem);

}  // namespace ferrule::oci
