// Reading a statement text: what kind of statement it is and where its
// `:name` placeholders are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ferrule::oci {

enum class StatementKind {
  kQuery,  // SELECT, WITH, VALUES...: returns rows to fetch
  kDml,    // anything else sent as it is
  kBlock,  // BEGIN or DECLARE: an anonymous PL/pgSQL block
};

struct PlaceholderUse {
  size_t offset;      // of the colon
  size_t length;      // colon included
  size_t name_index;  // into ParsedStatement::names
};

struct ParsedStatement {
  std::string text;
  StatementKind kind = StatementKind::kDml;
  std::vector<std::string> names;  // distinct, lower case, by first use
  std::vector<PlaceholderUse> uses;
  std::string numbered_text;  // every :name replaced by $n, n = index + 1

  // The index of a placeholder name (any case, with or without its colon),
  // or names.size() when the text has no such placeholder.
  size_t find_name(std::string_view name) const;
};

ParsedStatement parse_statement(std::string text);

// What running a block's text as a nested block inside a loop depends on.
struct BlockShape {
  // RETURN, EXIT or CONTINUE appear: the text may leave more than itself.
  bool may_leave = false;
  // $1, $2 ... appear: they name whatever the enclosing function takes.
  bool numbered_parameters = false;
  // The last thing outside comments is a semicolon, as a nested block needs.
  bool ends_with_semicolon = false;
};

BlockShape block_shape(std::string_view text);

// The text with each placeholder replaced by `prefix` + its name.
std::string replace_placeholders(const ParsedStatement& statement, std::string_view prefix);

}  // namespace ferrule::oci
