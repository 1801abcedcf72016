#include "insert/insert_statement.h"

#include "statement_text.h"

namespace ferrule {

std::string InsertStatement::format(const CallerIdentity& identity) const {
  return ExpandTemplate(text, {{"login", QuoteLiteral(identity.login.c_str())},
                               {"host", QuoteLiteral(identity.host.c_str())}});
}

}  // namespace ferrule
