#include "insert/follow_up_block.h"

#include "reasons.h"
#include "server_refusal.h"
#include "session.h"
#include "statement_text.h"

namespace ferrule {

namespace {

// A text answer has at most 100 characters.
constexpr int kTextRescodeSize = 101;

sword bind_one(OCIStmt* stmt, const char* name, void* value, int size, ub2 type) {
  OCIBind* bind = nullptr;
  return OCIBindByName(stmt, &bind, session().errhp, reinterpret_cast<const OraText*>(name), -1,
                       value, size, type, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
}

}  // namespace

const FollowUpBlock kRefreshDynamicTables{
    "BEGIN :rescode := %(check_and_update_dynamic_tables)(1); "
    "GET DIAGNOSTICS :numrows = %(row_count); END; ",
    RescodeKind::Text};

const FollowUpBlock kRefreshPathsUsed{
    "BEGIN :rescode := %(update_path_used)(1); GET DIAGNOSTICS :numrows = %(row_count); END; ",
    RescodeKind::Int};

std::string RefreshRefusal(RescodeKind kind, int int_answer, const char* text_answer) {
  if (kind == RescodeKind::Int)
    return int_answer == 0 ? std::string() : WithServerWords(reason::kPathRefreshFailed);
  const std::string answer = text_answer ? text_answer : "";
  return answer.rfind("ERROR", 0) == 0 ? answer : std::string();
}

std::string RunFollowUpBlock(const FollowUpBlock& block, OCIStmt* stmt, StepChain& chain,
                             const CallerIdentity& identity) {
  Session& s = session();
  const std::string text =
      ExpandTemplate(block.text, {{"login", QuoteLiteral(identity.login.c_str())}});
  int numrows = 0;
  int int_rescode = 0;
  char text_rescode[kTextRescodeSize] = "";
  chain.run("OCIBindByName unsuccessful", [&] { return PrepareText(stmt, s.errhp, text); });
  chain.run("OCIBindByName unsuccessful",
            [&] { return bind_one(stmt, ":numrows", &numrows, sizeof numrows, SQLT_INT); });
  chain.run("OCIBindByName unsuccessful", [&] {
    return block.rescode == RescodeKind::Int
               ? bind_one(stmt, ":rescode", &int_rescode, sizeof int_rescode, SQLT_INT)
               : bind_one(stmt, ":rescode", text_rescode, sizeof text_rescode, SQLT_STR);
  });
  const bool executed = chain.run("OCIExecute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt, s.errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT);
  });
  return executed ? RefreshRefusal(block.rescode, int_rescode, text_rescode) : std::string();
}

}  // namespace ferrule
