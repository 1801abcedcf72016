#include "sql_text.h"

#include <algorithm>
#include <cctype>

namespace ferrule::oci {
namespace {

bool is_ident_start(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool is_ident_char(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}
char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Position after a literal or quoted identifier that opens at `at`.
// `backslash_escapes` is for E'...' strings; doubled quotes work in all.
size_t skip_quoted(std::string_view sql, size_t at, char quote, bool backslash_escapes) {
  for (size_t i = at + 1; i < sql.size(); ++i) {
    if (backslash_escapes && sql[i] == '\\') {
      ++i;
    } else if (sql[i] == quote) {
      if (i + 1 < sql.size() && sql[i + 1] == quote)
        ++i;
      else
        return i + 1;
    }
  }
  return sql.size();
}

// Position after a /* */ comment opening at `at`; they nest in PostgreSQL.
size_t skip_block_comment(std::string_view sql, size_t at) {
  int depth = 0;
  for (size_t i = at; i + 1 < sql.size(); ++i) {
    if (sql[i] == '/' && sql[i + 1] == '*') {
      ++depth;
      ++i;
    } else if (sql[i] == '*' && sql[i + 1] == '/') {
      ++i;
      if (--depth == 0) return i + 1;
    }
  }
  return sql.size();
}

// Position after a $tag$...$tag$ string opening at `at`, or `at` when no
// dollar quote opens there (a `$1` parameter, say).
size_t skip_dollar_quoted(std::string_view sql, size_t at) {
  size_t end = at + 1;
  if (end < sql.size() && is_ident_start(sql[end]))
    while (end < sql.size() && sql[end] != '$' && is_ident_char(sql[end])) ++end;
  if (end >= sql.size() || sql[end] != '$') return at;
  std::string_view tag = sql.substr(at, end - at + 1);
  size_t close = sql.find(tag, end + 1);
  return close == std::string_view::npos ? sql.size() : close + tag.size();
}

bool escape_string_opens(std::string_view sql, size_t quote_at) {
  return quote_at > 0 && lower(sql[quote_at - 1]) == 'e' &&
         (quote_at == 1 || !is_ident_char(sql[quote_at - 2]));
}

StatementKind kind_of(std::string_view sql) {
  size_t start = 0;
  while (start < sql.size() && std::isspace(static_cast<unsigned char>(sql[start]))) ++start;
  if (start < sql.size() && sql[start] == '(') return StatementKind::kQuery;
  size_t end = start;
  while (end < sql.size() && is_ident_char(sql[end])) ++end;
  std::string word(sql.substr(start, end - start));
  std::transform(word.begin(), word.end(), word.begin(), lower);
  if (word == "begin" || word == "declare") return StatementKind::kBlock;
  if (word == "select" || word == "with" || word == "values" || word == "table" ||
      word == "show" || word == "explain")
    return StatementKind::kQuery;
  return StatementKind::kDml;
}

void add_use(ParsedStatement& parsed, size_t offset, size_t length) {
  std::string name = parsed.text.substr(offset + 1, length - 1);
  std::transform(name.begin(), name.end(), name.begin(), lower);
  auto found = std::find(parsed.names.begin(), parsed.names.end(), name);
  size_t index = static_cast<size_t>(found - parsed.names.begin());
  if (found == parsed.names.end()) parsed.names.push_back(std::move(name));
  parsed.uses.push_back({offset, length, index});
}

// Position after the literal, quoted identifier or comment that opens at
// `at`, or `at` when none opens there.
size_t skip_non_code(std::string_view sql, size_t at) {
  const char c = sql[at];
  const char next = at + 1 < sql.size() ? sql[at + 1] : '\0';
  if (c == '\'') return skip_quoted(sql, at, '\'', escape_string_opens(sql, at));
  if (c == '"') return skip_quoted(sql, at, '"', false);
  if (c == '-' && next == '-') {
    size_t eol = sql.find('\n', at);
    return eol == std::string_view::npos ? sql.size() : eol + 1;
  }
  if (c == '/' && next == '*') return skip_block_comment(sql, at);
  if (c == '$' && (at == 0 || !is_ident_char(sql[at - 1]))) return skip_dollar_quoted(sql, at);
  return at;
}

// Walks `sql` and calls on_code(i) at every position outside literals,
// quoted identifiers and comments; on_code returns where the walk goes on
// (past i).
template <class OnCode>
void walk_code(std::string_view sql, OnCode&& on_code) {
  size_t i = 0;
  while (i < sql.size()) {
    const size_t after = skip_non_code(sql, i);
    i = after != i ? after : on_code(i);
  }
}

void find_placeholders(ParsedStatement& parsed) {
  std::string_view sql = parsed.text;
  walk_code(sql, [&](size_t i) {
    char next = i + 1 < sql.size() ? sql[i + 1] : '\0';
    if (sql[i] != ':') return i + 1;
    if (next == ':' || next == '=') return i + 2;  // a cast or an assignment
    // Not after a name: `arr[lo:hi]` is a slice, not a placeholder.
    if (!is_ident_char(next) || next == '$' || (i > 0 && is_ident_char(sql[i - 1])))
      return i + 1;
    size_t end = i + 1;
    while (end < sql.size() && is_ident_char(sql[end]) && sql[end] != '$') ++end;
    add_use(parsed, i, end - i);
    return end;
  });
}

}  // namespace

size_t ParsedStatement::find_name(std::string_view name) const {
  if (!name.empty() && name.front() == ':') name.remove_prefix(1);
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& candidate = names[i];
    if (candidate.size() == name.size() &&
        std::equal(candidate.begin(), candidate.end(), name.begin(),
                   [](char a, char b) { return a == lower(b); }))
      return i;
  }
  return names.size();
}

ParsedStatement parse_statement(std::string text) {
  ParsedStatement parsed;
  parsed.text = std::move(text);
  parsed.kind = kind_of(parsed.text);
  find_placeholders(parsed);
  if (parsed.kind != StatementKind::kBlock) {
    parsed.numbered_text.reserve(parsed.text.size());
    size_t copied = 0;
    for (const PlaceholderUse& use : parsed.uses) {
      parsed.numbered_text.append(parsed.text, copied, use.offset - copied);
      parsed.numbered_text += '$';
      parsed.numbered_text += std::to_string(use.name_index + 1);
      copied = use.offset + use.length;
    }
    parsed.numbered_text.append(parsed.text, copied, std::string::npos);
  }
  return parsed;
}

BlockShape block_shape(std::string_view text) {
  BlockShape shape;
  char last = '\0';
  walk_code(text, [&](size_t i) {
    const char c = text[i];
    if (!std::isspace(static_cast<unsigned char>(c))) last = c;
    if (c == '$' && i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1])))
      shape.numbered_parameters = true;
    if (!is_ident_start(c) || (i > 0 && is_ident_char(text[i - 1]))) return i + 1;
    size_t end = i;
    while (end < text.size() && is_ident_char(text[end])) ++end;
    std::string word(text.substr(i, end - i));
    std::transform(word.begin(), word.end(), word.begin(), lower);
    if (word == "return" || word == "exit" || word == "continue") shape.may_leave = true;
    return end;
  });
  shape.ends_with_semicolon = last == ';';
  return shape;
}

std::string replace_placeholders(const ParsedStatement& statement, std::string_view prefix) {
  std::string out;
  out.reserve(statement.text.size() + statement.uses.size() * prefix.size());
  size_t copied = 0;
  for (const PlaceholderUse& use : statement.uses) {
    out.append(statement.text, copied, use.offset - copied);
    out += prefix;
    out += statement.names[use.name_index];
    copied = use.offset + use.length;
  }
  out.append(statement.text, copied, std::string::npos);
  return out;
}

}  // namespace ferrule::oci
