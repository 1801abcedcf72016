// Statement texts built from templates. A template writes what is fixed and
// names what varies: "%(devices)" takes the table name that the Name list
// (names.h) gives the field "devices", "%(login)" a value the call adds, and
// "%%" stays a percent sign. Keys and row values are never formatted in:
// they are bound. The text grows as needed, so no name or value can
// overflow it.
//
// A field that is neither in the Name list nor given by the call is left in
// the text as written; the database then refuses the statement as a syntax
// error, so a misspelt field can never run as some other statement.
#pragma once

#include <string>
#include <vector>

namespace ferrule {

struct TemplateField {
  const char* name;
  std::string value;
};

// The template with every field replaced: first the call's own fields, then
// the Name list.
std::string ExpandTemplate(const char* tmpl, const std::vector<TemplateField>& call_fields = {});

// The fields of the template that neither the call nor the Name list gives
// (what ExpandTemplate would leave in the text).
std::vector<std::string> UnknownTemplateFields(const char* tmpl,
                                               const std::vector<TemplateField>& call_fields = {});

// A text written between single quotes inside a statement, with its quotes
// doubled so that it can never end the literal.
std::string QuoteLiteral(const char* text);

}  // namespace ferrule
