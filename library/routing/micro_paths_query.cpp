#include "routing/micro_paths_query.h"

#include <cstring>
#include <new>
#include <string>

#include "call_savepoint.h"
#include "diagnostics.h"
#include "reasons.h"
#include "routing/routing_statement.h"
#include "session.h"
#include "statement_text.h"

namespace ferrule {
namespace {

using routing::PackedList;
using routing::TextColumn;

constexpr const char* kReadBack =
    "select d.pathid,d.link_pos,concat(d.nfrom,'?'),concat(d.nto,'?') "
    "from %(micropath_temp) d order by pathid,link_pos ";

struct MicroRows {
  std::vector<int> pathid;
  std::vector<int> link_pos;
  PackedList nfrom;
  PackedList nto;
  int count() const { return static_cast<int>(pathid.size()); }
};

bool any_output_missing(const MicroPathOutputs& o) {
  return !o.pathid || !o.link_pos || !o.len_array || !o.nfrom_list || !o.len_nfrom ||
         !o.nto_list || !o.len_nto || !o.last_nfrom || !o.len_last_nfrom || !o.last_nto ||
         !o.len_last_nto;
}

// One list with its last name: copied when the list's total is below its
// capacity, else its length becomes the total plus one and the shortfall
// is counted. A last name that does not fit leaves "BUFFER_TOO_SMALL" in
// its buffer, only where that word fits the capacity the caller gave (not
// the need written back in its place).
int copy_list(const PackedList& list, char* out, int* len, char* last, int* len_last) {
  if (list.total() >= *len) {
    *len = list.total() + 1;
    return 1;
  }
  std::memcpy(out, list.bytes.data(), list.bytes.size());
  *len = list.total();
  const int last_capacity = *len_last;
  if (!routing::CopyIfFits(list.last.c_str(), last, last_capacity)) {
    *len_last = static_cast<int>(list.last.size()) + 1;
    routing::CopyIfFits(reason::kBufferTooSmall, last, last_capacity);
  }
  return 0;
}

// Every path commits once the block ran (CommitThenAnswer), as callers
// expect of these queries: it makes the server's work on the connection
// durable, that of earlier calls included.

// A database step failed: its text in ErrMess, the step's result code
// (never 0).
int fail_with_database_text(const StepChain& chain, StatementHandle& stmt, const char* name,
                            char* ErrMess) {
  ReportOCIFailure(session().errhp, name, ErrMess);
  stmt.release();
  return CommitThenAnswer(name, ErrMess, chain.result() != 0 ? chain.result() : -1);
}

int refuse(const char* name, const char* reason, char* ErrMess) {
  ReportFailure(name, reason, ErrMess);
  return CommitThenAnswer(name, ErrMess, -1);
}

}  // namespace

int RunMicroPathQuery(const MicroPathQuery& query, std::vector<MicroBind> binds,
                      const MicroPathOutputs& out, char* ErrMess) {
  const char* name = query.appliName;
  if (any_output_missing(out)) {
    ReportFailure(name, reason::kBufferTooSmall, ErrMess);
    return -1;
  }
  Session& s = session();
  StatementHandle stmt;
  if (!AllocateStatement(stmt, name, "OCIHandleAlloc unsuccessful", ErrMess)) return -1;

  // Preset to a failure, so that a block that did not run reads as one.
  int rescode = -1, resquery = -1, rcode = -1, cpntid = -1;
  const std::string block = ExpandTemplate(query.block);
  StepChain chain(s.errhp);
  chain.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt.get(), s.errhp, block); });
  for (MicroBind& b : binds) {
    chain.run("OCIBindByName unsuccessful", [&] {
      return b.is_text ? routing::BindText(stmt.get(), s.errhp, b.placeholder, b.text)
                       : routing::BindInt(stmt.get(), s.errhp, b.placeholder, &b.number);
    });
  }
  chain.run("OCIBindByName unsuccessful",
            [&] { return routing::BindInt(stmt.get(), s.errhp, ":rescode", &rescode); });
  chain.run("OCIBindByName unsuccessful",
            [&] { return routing::BindInt(stmt.get(), s.errhp, ":cpntid", &cpntid); });
  chain.run("OCIBindByName unsuccessful",
            [&] { return routing::BindInt(stmt.get(), s.errhp, ":resquery", &resquery); });
  chain.run("OCIBindByName unsuccessful",
            [&] { return routing::BindInt(stmt.get(), s.errhp, ":rcode", &rcode); });
  chain.run("OCIStmtExecute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT);
  });
  if (query.traces_execute) PrintLine("after firts execute ");
  if (!chain.ok()) return fail_with_database_text(chain, stmt, name, ErrMess);

  if (chain.ok() && rcode != 0) {
    const char* reason = resquery == 0 ? "Error  when trying to find the paths"
                         : rescode == 0 ? "Pb when finding the micro paths"
                                        : "Pb when creating the micro lg links";
    stmt.release();
    return refuse(name, reason, ErrMess);
  }

  // Read back on the same statement.
  const std::string read_back = ExpandTemplate(kReadBack);
  int pathid = 0, link_pos = 0;
  TextColumn nfrom(3), nto(4);
  chain.run("OCIStmtPrepare unsuccessful",
            [&] { return PrepareText(stmt.get(), s.errhp, read_back); });
  chain.run("OCIAttrSet unsuccessful", [&] { return routing::SetPrefetch(stmt.get(), s.errhp, 10000); });
  chain.run("OCIStmtExecute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 0, 0, nullptr, nullptr, OCI_DEFAULT);
  });
  chain.run("OCIParamGet unsuccessful",
            [&] { return nfrom.describe(stmt.get(), s.errhp, query.name_buffer); });
  chain.run("OCIParamGet unsuccessful",
            [&] { return nto.describe(stmt.get(), s.errhp, query.name_buffer); });
  if (chain.ok() && (!nfrom.allocate() || !nto.allocate()))
    return refuse(name, reason::kMallocUnsuccessful, ErrMess);
  chain.run("OCIDefineByPos unsuccessful",
            [&] { return routing::DefineInt(stmt.get(), s.errhp, 1, &pathid); });
  chain.run("OCIDefineByPos unsuccessful",
            [&] { return routing::DefineInt(stmt.get(), s.errhp, 2, &link_pos); });
  chain.run("OCIDefineByPos unsuccessful", [&] { return nfrom.define(stmt.get(), s.errhp); });
  chain.run("OCIDefineByPos unsuccessful", [&] { return nto.define(stmt.get(), s.errhp); });

  MicroRows rows;
  int fetch_status = OCI_SUCCESS;
  try {
    while (chain.ok() && routing::FetchRow(stmt.get(), s.errhp, &fetch_status)) {
      rows.pathid.push_back(pathid);
      rows.link_pos.push_back(link_pos);
      rows.nto.add(nto.value());
      rows.nfrom.add(nfrom.value());
    }
  } catch (const std::bad_alloc&) {
    return refuse(name, reason::kMallocUnsuccessful, ErrMess);
  }

  if (chain.ok() && fetch_status != OCI_NO_DATA && fetch_status != OCI_SUCCESS)
    chain.run("OCIStmtFetch unsuccessful", [&] { return fetch_status; });
  if (!chain.ok()) return fail_with_database_text(chain, stmt, name, ErrMess);

  if (rows.count() == 0) {
    ReportOCIStatus(fetch_status, s.errhp, "OCIFETCH unsuccessful");
    return refuse(name, reason::kNoRowsSelected, ErrMess);
  }

  int shortfalls = copy_list(rows.nfrom, out.nfrom_list, out.len_nfrom, out.last_nfrom,
                             out.len_last_nfrom);
  shortfalls += copy_list(rows.nto, out.nto_list, out.len_nto, out.last_nto, out.len_last_nto);
  if (rows.count() <= *out.len_array) {
    std::memcpy(out.pathid, rows.pathid.data(), rows.pathid.size() * sizeof(int));
    std::memcpy(out.link_pos, rows.link_pos.data(), rows.link_pos.size() * sizeof(int));
  } else {
    ++shortfalls;
  }
  *out.len_array = rows.count();

  const int freed = stmt.release();
  // Outputs that did not fit show only in the result: -1 to -3, with the
  // needed sizes written back and the success form in ErrMess.
  ReportSuccess(name, ErrMess);
  const int result = freed - shortfalls;
  return CommitThenAnswer(name, ErrMess, (result == 0 && shortfalls > 0) ? -1 : result);
}

}  // namespace ferrule
