#include "insert/dynamic_tables.h"

#include "session.h"
#include "statement_text.h"

namespace ferrule {

namespace {

// The procedure answers a text of at most 99 characters, which is not read.
constexpr int kRescodeSize = 100;

void refresh(const char* tmpl, OCIStmt* stmt, StepChain& chain) {
  Session& s = session();
  const std::string text = ExpandTemplate(tmpl);
  char rescode[kRescodeSize] = "";
  int numrows = 0;
  OCIBind* bind_rescode = nullptr;
  OCIBind* bind_numrows = nullptr;
  chain.run("OCIBindByName unsuccessful", [&] { return PrepareText(stmt, s.errhp, text); });
  chain.run("OCIBindByName unsuccessful", [&] {
    return OCIBindByName(stmt, &bind_numrows, s.errhp,
                         reinterpret_cast<const OraText*>(":numrows"), -1, &numrows,
                         sizeof numrows, SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr,
                         OCI_DEFAULT);
  });
  chain.run("OCIBindByName unsuccessful", [&] {
    return OCIBindByName(stmt, &bind_rescode, s.errhp,
                         reinterpret_cast<const OraText*>(":rescode"), -1, rescode,
                         sizeof rescode, SQLT_STR, nullptr, nullptr, nullptr, 0, nullptr,
                         OCI_DEFAULT);
  });
  chain.run("OCIExecute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt, s.errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT);
  });
  chain.run("OCITransCommit unsuccessful",
            [&] { return OCITransCommit(s.svchp, s.errhp, OCI_DEFAULT); });
}

}  // namespace

void RefreshDynamicTablesAfterBatch(OCIStmt* stmt, StepChain& chain) {
  refresh("BEGIN  :rescode := %(check_and_update_dynamic_tables)(1); "
          "GET DIAGNOSTICS :numrows = %(row_count); END; ",
          stmt, chain);
}

void RefreshDynamicTablesAfterRow(OCIStmt* stmt, StepChain& chain) {
  refresh("BEGIN :rescode := %(check_and_update_dynamic_tables)(1); "
          "GET DIAGNOSTICS :numrows = %(row_count); END; ",
          stmt, chain);
}

}  // namespace ferrule
