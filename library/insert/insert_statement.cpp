#include "insert/insert_statement.h"

#include "statement_text.h"

namespace ferrule {

std::string InsertStatement::format(const CallerIdentity& identity) const {
  std::vector<SqlArg> values;
  values.reserve(args.size());
  for (const TemplateArg& arg : args) {
    switch (arg.kind) {
      case TemplateArg::Kind::Text:
        values.emplace_back(arg.text);
        break;
      case TemplateArg::Kind::Login:
        values.emplace_back(QuoteLiteral(identity.login.c_str()));
        break;
      case TemplateArg::Kind::Host:
        values.emplace_back(QuoteLiteral(identity.host.c_str()));
        break;
    }
  }
  return FormatStatement(text, values);
}

}  // namespace ferrule
