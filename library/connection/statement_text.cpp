#include "statement_text.h"

#include <cstring>
#include <optional>
#include <string_view>

#include "names.h"

namespace ferrule {

namespace {

std::optional<std::string_view> find_field(std::string_view name,
                                           const std::vector<TemplateField>& call_fields) {
  for (const TemplateField& field : call_fields)
    if (name == field.name) return std::string_view(field.value);
  for (const names::TemplateName& field : names::kTemplateNames)
    if (name == field.field) return std::string_view(field.value);
  return std::nullopt;
}

// Walks the template; calls on_text for fixed text and on_field for each
// field, with its value, or none when no one gives it.
template <class OnText, class OnField>
void walk(const char* tmpl, const std::vector<TemplateField>& call_fields, OnText&& on_text,
          OnField&& on_field) {
  for (const char* p = tmpl; *p; ++p) {
    if (p[0] == '%' && p[1] == '%') {
      on_text(std::string_view("%", 1));
      ++p;
      continue;
    }
    if (p[0] == '%' && p[1] == '(') {
      const char* close = std::strchr(p + 2, ')');
      if (close) {
        const std::string_view name(p + 2, static_cast<std::size_t>(close - (p + 2)));
        on_field(std::string_view(p, static_cast<std::size_t>(close + 1 - p)), name,
                 find_field(name, call_fields));
        p = close;
        continue;
      }
    }
    on_text(std::string_view(p, 1));
  }
}

}  // namespace

std::string ExpandTemplate(const char* tmpl, const std::vector<TemplateField>& call_fields) {
  std::string out;
  walk(
      tmpl, call_fields, [&](std::string_view text) { out += text; },
      [&](std::string_view written, std::string_view, std::optional<std::string_view> value) {
        if (value)
          out += *value;
        else
          out += written;
      });
  return out;
}

std::vector<std::string> UnknownTemplateFields(const char* tmpl,
                                               const std::vector<TemplateField>& call_fields) {
  std::vector<std::string> unknown;
  walk(
      tmpl, call_fields, [](std::string_view) {},
      [&](std::string_view, std::string_view name, std::optional<std::string_view> value) {
        if (!value) unknown.emplace_back(name);
      });
  return unknown;
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
