#include "inventory/packed_list.h"

#include <cstring>
#include <new>

#include "report.h"
#include "session.h"

namespace ferrule {

namespace {

constexpr char kNoRows[] = "NO_ROWS_SELECTED";

// Compared as wide integers: a capacity below 1 is too small for anything.
bool fits(std::size_t needed, int capacity) {
  return static_cast<long long>(needed) <= static_cast<long long>(capacity);
}

}  // namespace

int RunPackedList(const ListCall& call, char* list, int* length, char* ErrMess) {
  const char* appliName = call.appliName;
  if (!list || !length) {
    SetErrMess(appliName, "BUFFER_TOO_SMALL", ErrMess, 1);
    return -1;
  }
  Session& s = session();
  StatementHandle stmt;
  if (!AllocateStatement(stmt, appliName, "OCIStmtHAndleStmt unsuccessful", ErrMess)) return -1;

  StepChain chain(s.errhp);
  TextColumnQuery query(stmt.get(), chain);
  query.Run(call.statement, call.keys, kListPrefetchRows, call.labels);
  if (!query.allocated()) {
    stmt.release();
    SetErrMess(appliName, "MALLOC UNSUCCESSFUL", ErrMess, 1);
    return -1;
  }

  std::string items;
  int rows = 0;
  if (chain.ok()) {
    std::string value;
    sword status = OCI_SUCCESS;
    while ((status = query.Next(value)) == OCI_SUCCESS) {
      try {
        items.append(value);
        items.push_back('\0');
      } catch (const std::bad_alloc&) {
        stmt.release();
        SetErrMess(appliName, "REALLOC UNSUCCESSFUL", ErrMess, 1);
        return -1;
      }
      ++rows;
    }
    // Only the end of the rows ends the list: a failed fetch would deliver
    // an incomplete list as if it were whole.
    if (status != OCI_NO_DATA) {
      chain.run("OCIFETCH unsuccessful", [&] { return status; });
    } else if (rows == 0) {
      if (call.reports_end_of_rows) ReportOCIStatus(status, s.errhp, "OCIFETCH unsuccessful");
      stmt.release();
      if (!fits(sizeof kNoRows, *length)) {
        *length = static_cast<int>(sizeof kNoRows);
        SetErrMess(appliName, "BUFFER_TOO_SMALL", ErrMess, 1);
        return -1;
      }
      std::memcpy(list, kNoRows, sizeof kNoRows);
      SetErrMess(appliName, kNoRows, ErrMess, 1);
      return 0;
    }
  }
  if (chain.ok()) {
    if (!fits(items.size(), *length)) {
      *length = static_cast<int>(items.size());
      stmt.release();
      SetErrMess(appliName, "BUFFER_TOO_SMALL", ErrMess, 1);
      return -1;
    }
    std::memcpy(list, items.data(), items.size());
    *length = static_cast<int>(items.size());
  }
  const int result = chain.result() + stmt.release();
  SetErrMessFromOCI(s.errhp, appliName, ErrMess, result != 0);
  return result;
}

}  // namespace ferrule
