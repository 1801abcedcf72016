// Owning pointers for libpq's connection and result objects.
#pragma once

#include <libpq-fe.h>

#include <memory>

namespace ferrule::oci {

struct PgConnCloser {
  void operator()(PGconn* conn) const { PQfinish(conn); }
};
struct PgResultClearer {
  void operator()(PGresult* result) const { PQclear(result); }
};

using PgConnPtr = std::unique_ptr<PGconn, PgConnCloser>;
using PgResultPtr = std::unique_ptr<PGresult, PgResultClearer>;

inline bool result_ok(const PGresult* result) {
  if (!result) return false;
  ExecStatusType status = PQresultStatus(result);
  return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK ||
         status == PGRES_EMPTY_QUERY;
}

}  // namespace ferrule::oci
