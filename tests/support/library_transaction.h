// What the server shows of the library's own session: whether it is inside
// a transaction, the transaction's id and the locks it holds. A session
// left "idle in transaction" with an id and locks holds up every VACUUM of
// the cluster and every schema change of the tables it locked, for as long
// as the client waits before its next commit.
#pragma once

#include <ostream>
#include <string>

#include "oci.h"
#include "session.h"
#include "test_db.h"

namespace testdb {

// The server process of the library's connection; -1 when not connected.
// Asked through the library: a query alone opens no transaction, and inside
// one it changes nothing.
inline int LibraryBackend() {
  ferrule::Session& s = ferrule::session();
  if (!s.connected()) return -1;
  OCIStmt* stmt = nullptr;
  OCIHandleAlloc(s.envhp, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
  const char sql[] = "select pg_backend_pid()";
  OCIStmtPrepare(stmt, s.errhp, reinterpret_cast<const OraText*>(sql), sizeof sql - 1,
                 OCI_NTV_SYNTAX, OCI_DEFAULT);
  int pid = -1;
  OCIDefine* define = nullptr;
  OCIDefineByPos(stmt, &define, s.errhp, 1, &pid, sizeof pid, SQLT_INT, nullptr, nullptr,
                 nullptr, OCI_DEFAULT);
  if (OCIStmtExecute(s.svchp, stmt, s.errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT) != OCI_SUCCESS)
    pid = -1;
  OCIHandleFree(stmt, OCI_HTYPE_STMT);
  return pid;
}

// The session's state, its transaction id ("<null>" for none) and its
// locks ("relation vexa_lg_devices AccessShareLock", ... in one text,
// empty for none). Locks on sequences are left out: the server keeps the
// one that nextval() takes until the transaction ends, even when the work
// that called it was rolled back to a savepoint.
struct SessionTransaction {
  std::string state;
  std::string xid;
  std::string locks;

  bool outside_any() const { return state == "idle" && xid == "<null>" && locks.empty(); }
};

inline SessionTransaction TransactionOf(int pid) {
  const std::string of = std::to_string(pid);
  return {value("select state from pg_stat_activity where pid = " + of),
          value("select coalesce(backend_xid::text, '<null>') from pg_stat_activity "
                "where pid = " + of),
          value("select coalesce(string_agg(lock, ', ' order by lock), '') from (select "
                "locktype || ' ' || coalesce(relation::regclass::text, transactionid::text, "
                "virtualxid, objid::text, '') || ' ' || mode as lock from pg_locks l "
                "where pid = " + of + " and not exists (select from pg_class c where "
                "c.oid = l.relation and c.relkind = 'S')) held")};
}

inline std::ostream& operator<<(std::ostream& os, const SessionTransaction& t) {
  return os << t.state << ", xid " << t.xid << ", locks [" << t.locks << "]";
}

}  // namespace testdb
