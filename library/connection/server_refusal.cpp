#include "server_refusal.h"

#include "session.h"
#include "statement_text.h"
#include "step_chain.h"

namespace ferrule {

namespace {

// What the reason can still hold once the word and ": " are in.
constexpr int kWordsSize = 160;

}  // namespace

std::string WithServerWords(const std::string& reason) {
  Session& s = session();
  StatementHandle stmt;
  if (stmt.allocate(s.envhp) != OCI_SUCCESS) return reason;
  // No error handle: a failure here is not the call's to report.
  char words[kWordsSize] = "";
  sb2 indicator = -1;
  OCIDefine* define = nullptr;
  if (PrepareText(stmt.get(), nullptr, ExpandTemplate("select %(last_refusal)()")) != OCI_SUCCESS ||
      OCIDefineByPos(stmt.get(), &define, nullptr, 1, words, sizeof words, SQLT_STR, &indicator,
                     nullptr, nullptr, OCI_DEFAULT) != OCI_SUCCESS)
    return reason;
  // Words longer than the buffer come cut, on a whole character
  // (OCI_SUCCESS_WITH_INFO).
  const sword executed =
      OCIStmtExecute(s.svchp, stmt.get(), nullptr, 1, 0, nullptr, nullptr, OCI_DEFAULT);
  const bool read = executed == OCI_SUCCESS || executed == OCI_SUCCESS_WITH_INFO;
  if (!read || indicator == -1 || words[0] == '\0') return reason;
  return reason + ": " + words;
}

}  // namespace ferrule
