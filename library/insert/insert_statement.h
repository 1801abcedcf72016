// What one row of an insert is and how it is sent: the block template with
// the values it is formatted with, and the bind names of the row's columns.
// A cached export and its single-row form share one description.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "insert/caller_identity.h"

namespace ferrule {

// A value formatted into a template: a fixed text (a name of the Name list,
// a sequence expression, a number), or one of the caller's two names, which
// are written between the template's quotes with their own quotes doubled.
struct TemplateArg {
  enum class Kind { Text, Login, Host };
  Kind kind;
  std::string text;

  static TemplateArg Text(std::string value) { return {Kind::Text, std::move(value)}; }
  static TemplateArg Login() { return {Kind::Login, {}}; }
  static TemplateArg Host() { return {Kind::Host, {}}; }
};

struct InsertStatement {
  const char* text;                     // block template, %s/%d in order
  std::vector<TemplateArg> args;        // values for the template, in order
  std::vector<const char*> text_binds;  // one per text column, cache order
  std::vector<const char*> value_binds;   // one per integer column
  std::vector<const char*> output_binds;  // integer outputs beside :numrows

  // The block for these caller names.
  std::string format(const CallerIdentity& identity) const;
};

}  // namespace ferrule
