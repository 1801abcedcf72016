// 10,000 rows of an array-bound insert block through the client layer
// (one execution, run in chunks of rows, outputs written back), against the
// same inserts sent as pipelined prepared statements through libpq in one
// transaction. Prints the median of each and their ratio, with whether it
// meets its target: at most 1.5, the bound a single row lookup has against
// libpq too. Every batch of the library runs through this execution, so
// what the layer adds here is added to each batch.
//
// Usage: bench_oci_array [rounds]   (connection from FERRULE_SERVER,
// FERRULE_USER, FERRULE_PASSWORD)
#include <libpq-fe.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "libpq_connect.h"
#include "oci.h"

namespace {

using bench::median;
using bench::run;

using Clock = std::chrono::steady_clock;
constexpr int kRows = 10000;
constexpr int kNameSize = 16;
constexpr double kTargetRatio = 1.5;

struct Settings {
  std::string server, user, password;
};


double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

bool exec(PGconn* conn, const std::string& sql) {
  PGresult* result = PQexec(conn, sql.c_str());
  bool ok = PQresultStatus(result) == PGRES_COMMAND_OK ||
            PQresultStatus(result) == PGRES_TUPLES_OK;
  if (!ok) std::fprintf(stderr, "%s: %s", sql.c_str(), PQerrorMessage(conn));
  PQclear(result);
  return ok;
}

// The rows both sides insert, as the caller of the layer lays them out.
struct Rows {
  std::vector<char> names = std::vector<char>(kRows * kNameSize);
  std::vector<int> quantities = std::vector<int>(kRows);
  std::vector<int> numrows = std::vector<int>(kRows);
  Rows() {
    for (int i = 0; i < kRows; ++i) {
      std::snprintf(&names[i * kNameSize], kNameSize, "port%d", i);
      quantities[i] = i % 97;
    }
  }
};

class LayerSession {
 public:
  bool open(const Settings& s) {
    OCIEnvCreate(&env_, OCI_DEFAULT, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
    OCIHandleAlloc(env_, reinterpret_cast<void**>(&err_), OCI_HTYPE_ERROR, 0, nullptr);
    OCIHandleAlloc(env_, reinterpret_cast<void**>(&server_), OCI_HTYPE_SERVER, 0, nullptr);
    OCIHandleAlloc(env_, reinterpret_cast<void**>(&svc_), OCI_HTYPE_SVCCTX, 0, nullptr);
    OCIHandleAlloc(env_, reinterpret_cast<void**>(&session_), OCI_HTYPE_SESSION, 0, nullptr);
    OCIHandleAlloc(env_, reinterpret_cast<void**>(&stmt_), OCI_HTYPE_STMT, 0, nullptr);
    if (OCIServerAttach(server_, err_, text(s.server), -1, OCI_DEFAULT) != OCI_SUCCESS)
      return report("attach");
    OCIAttrSet(svc_, OCI_HTYPE_SVCCTX, server_, 0, OCI_ATTR_SERVER, err_);
    OCIAttrSet(session_, OCI_HTYPE_SESSION, const_cast<char*>(s.user.c_str()),
               static_cast<ub4>(s.user.size()), OCI_ATTR_USERNAME, err_);
    OCIAttrSet(session_, OCI_HTYPE_SESSION, const_cast<char*>(s.password.c_str()),
               static_cast<ub4>(s.password.size()), OCI_ATTR_PASSWORD, err_);
    if (OCISessionBegin(svc_, err_, session_, OCI_CRED_RDBMS, OCI_DEFAULT) != OCI_SUCCESS)
      return report("session begin");
    OCIAttrSet(svc_, OCI_HTYPE_SVCCTX, session_, 0, OCI_ATTR_SESSION, err_);
    return true;
  }
  ~LayerSession() {
    if (env_) OCIHandleFree(env_, OCI_HTYPE_ENV);
  }

  bool prepare_insert(const std::string& table, const std::string& sequence, Rows& rows) {
    std::string block = "BEGIN insert into " + table + "(id, name, qty) values (nextval('" +
                        sequence + "'), :name, :qty); GET DIAGNOSTICS :numrows = ROW_COUNT; END;";
    OCIStmtPrepare(stmt_, err_, text(block), static_cast<ub4>(block.size()), OCI_NTV_SYNTAX,
                   OCI_DEFAULT);
    return bind(":name", rows.names.data(), kNameSize, SQLT_STR) &&
           bind(":qty", rows.quantities.data(), sizeof(int), SQLT_INT) &&
           bind(":numrows", rows.numrows.data(), sizeof(int), SQLT_INT);
  }

  bool insert_all() {
    if (OCIStmtExecute(svc_, stmt_, err_, kRows, 0, nullptr, nullptr, OCI_DEFAULT) != OCI_SUCCESS)
      return report("execute");
    return OCITransCommit(svc_, err_, OCI_DEFAULT) == OCI_SUCCESS || report("commit");
  }

 private:
  static const OraText* text(const std::string& s) {
    return reinterpret_cast<const OraText*>(s.c_str());
  }
  bool bind(const char* name, void* values, sb4 size, ub2 type) {
    OCIBind* handle = nullptr;
    if (OCIBindByName(stmt_, &handle, err_, reinterpret_cast<const OraText*>(name), -1, values,
                      size, type, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT) != OCI_SUCCESS)
      return report("bind");
    return OCIBindArrayOfStruct(handle, err_, static_cast<ub4>(size), 0, 0, 0) == OCI_SUCCESS;
  }
  bool report(const char* what) {
    OraText message[512];
    sb4 code = 0;
    OCIErrorGet(err_, 1, nullptr, &code, message, sizeof message, OCI_HTYPE_ERROR);
    std::fprintf(stderr, "layer %s failed: %d %s\n", what, code, reinterpret_cast<char*>(message));
    return false;
  }

  OCIEnv* env_ = nullptr;
  OCIError* err_ = nullptr;
  OCIServer* server_ = nullptr;
  OCISvcCtx* svc_ = nullptr;
  OCISession* session_ = nullptr;
  OCIStmt* stmt_ = nullptr;
};

// The same rows as prepared inserts, pipelined in one transaction.
bool insert_with_libpq(PGconn* conn, const Rows& rows) {
  if (PQenterPipelineMode(conn) != 1) return false;
  PQsendQueryParams(conn, "BEGIN", 0, nullptr, nullptr, nullptr, nullptr, 0);
  char quantity[16];
  for (int i = 0; i < kRows; ++i) {
    std::snprintf(quantity, sizeof quantity, "%d", rows.quantities[i]);
    const char* values[2] = {&rows.names[i * kNameSize], quantity};
    PQsendQueryPrepared(conn, "bench_insert", 2, values, nullptr, nullptr, 0);
  }
  PQsendQueryParams(conn, "COMMIT", 0, nullptr, nullptr, nullptr, nullptr, 0);
  PQpipelineSync(conn);
  bool ok = true;
  for (int i = 0; i < kRows + 2; ++i) {
    PGresult* result = PQgetResult(conn);
    ok = ok && PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
    PQclear(PQgetResult(conn));  // the null that ends each command
  }
  PQclear(PQgetResult(conn));  // the sync
  PQexitPipelineMode(conn);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const char *server, *user, *password;
  if (!testdb::ConnectionFromEnv(server, user, password)) return 2;
  const Settings settings{server, user, password};
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const std::string suffix = std::to_string(getpid());
  const std::string table = "bench_oci_array_" + suffix, sequence = table + "_seq";

  PGconn* direct = testdb::ConnectLibpq(settings.server, settings.user, settings.password);
  if (PQstatus(direct) != CONNECTION_OK) {
    std::fprintf(stderr, "%s", PQerrorMessage(direct));
    return 1;
  }
  bench::say_cluster(direct);
  if (!exec(direct, "CREATE TABLE " + table + "(id integer PRIMARY KEY, name text, qty integer)") ||
      !exec(direct, "CREATE SEQUENCE " + sequence))
    return 1;
  PQclear(PQprepare(direct, "bench_insert",
                    ("insert into " + table + "(id, name, qty) values (nextval('" + sequence +
                     "'), $1, $2)").c_str(),
                    0, nullptr));

  Rows rows;
  LayerSession layer;
  bool ok = layer.open(settings) && layer.prepare_insert(table, sequence, rows);
  std::vector<double> layer_times, libpq_times;
  // Round 0 warms both sides up (the block's procedure is created there).
  for (int round = 0; ok && round <= rounds; ++round) {
    ok = exec(direct, "TRUNCATE " + table);
    auto start = Clock::now();
    ok = ok && layer.insert_all();
    if (round > 0) layer_times.push_back(seconds_since(start));

    ok = ok && exec(direct, "TRUNCATE " + table);
    start = Clock::now();
    ok = ok && insert_with_libpq(direct, rows);
    if (round > 0) libpq_times.push_back(seconds_since(start));
  }
  if (ok && rows.numrows[kRows - 1] != 1) {
    std::fprintf(stderr, "the block's row count did not come back\n");
    ok = false;
  }
  exec(direct, "DROP TABLE IF EXISTS " + table + "; DROP SEQUENCE IF EXISTS " + sequence);
  PQfinish(direct);
  if (!ok) return 1;

  const double layer_median = median(layer_times), libpq_median = median(libpq_times);
  std::printf("%d rows, median of %d rounds\n", kRows, rounds);
  std::printf("client layer (block over array rows):    %.3f s\n", layer_median);
  std::printf("libpq pipelined inserts:                 %.3f s\n", libpq_median);
  const double ratio = layer_median / libpq_median;
  std::printf("ratio: %.2f   target <= %.1f: %s\n", ratio, kTargetRatio,
              ratio <= kTargetRatio ? "met" : "NOT met");
  return 0;
}
