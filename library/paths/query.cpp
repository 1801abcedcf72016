#include "paths/query.h"

#include <cstring>

#include "report.h"
#include "session.h"
#include "step_chain.h"

namespace ferrule {

namespace {

constexpr ub4 kPrefetchRows = 10000;

}  // namespace

int RunQuery(const char* appliName, const std::string& sql, const std::vector<QueryBind>& binds,
             const std::vector<QueryColumn>& columns,
             const std::function<void(const QueryRow&)>& on_row, char* ErrMess) {
  Session& s = session();
  StatementHandle stmt;
  if (!AllocateStatement(stmt, appliName, "OCIStmtHAndleStmt unsuccessful", ErrMess)) return -1;

  StepChain chain(s.errhp);
  chain.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt.get(), s.errhp, sql); });
  for (const QueryBind& bind : binds) {
    OCIBind* handle = nullptr;
    chain.run("OCIBind unsuccessful", [&] {
      const sb4 size = bind.value ? static_cast<sb4>(std::strlen(bind.value) + 1) : 0;
      return OCIBindByName(stmt.get(), &handle, s.errhp,
                           reinterpret_cast<const OraText*>(bind.placeholder), -1,
                           const_cast<char*>(bind.value), size, SQLT_STR, nullptr, nullptr,
                           nullptr, 0, nullptr, OCI_DEFAULT);
    });
  }
  ub4 prefetch = kPrefetchRows;
  chain.run("OCIStmtAttribute unsuccessful", [&] {
    return OCIAttrSet(stmt.get(), OCI_HTYPE_STMT, &prefetch, 0, OCI_ATTR_PREFETCH_ROWS, s.errhp);
  });
  chain.run("OCIStmtExecute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 0, 0, nullptr, nullptr, OCI_DEFAULT);
  });

  std::vector<QueryRow::Cell> cells(columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i] != QueryColumn::Text) continue;
    void* param = nullptr;
    ub4 size = 0;
    chain.run("OCIParamGet1 unsuccessful", [&] {
      return OCIParamGet(stmt.get(), OCI_HTYPE_STMT, s.errhp, &param, static_cast<ub4>(i + 1));
    });
    chain.run("OCIParamGet1 unsuccessful", [&] {
      return OCIAttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, s.errhp);
    });
    if (chain.ok()) cells[i].text.assign(size + 1, '\0');
  }
  for (std::size_t i = 0; i < columns.size(); ++i) {
    QueryRow::Cell& cell = cells[i];
    chain.run("OCIDefineByPos unsuccessful", [&] {
      const ub4 pos = static_cast<ub4>(i + 1);
      if (columns[i] == QueryColumn::Int)
        return OCIDefineByPos(stmt.get(), &cell.define, s.errhp, pos, &cell.number, sizeof(int),
                              SQLT_INT, &cell.indicator, nullptr, nullptr, OCI_DEFAULT);
      return OCIDefineByPos(stmt.get(), &cell.define, s.errhp, pos, cell.text.data(),
                            static_cast<sb4>(cell.text.size()), SQLT_STR, &cell.indicator,
                            nullptr, nullptr, OCI_DEFAULT);
    });
  }

  const QueryRow row(cells);
  while (chain.ok()) {
    const sword status = OCIStmtFetch2(stmt.get(), s.errhp, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
    if (status == OCI_NO_DATA) break;
    if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
      chain.run("OCIStmtFetch unsuccessful", [&] { return status; });
      break;
    }
    on_row(row);
  }

  const int result = chain.result();
  if (result != 0) ReportOCIFailure(s.errhp, appliName, ErrMess);
  return result;
}

}  // namespace ferrule
