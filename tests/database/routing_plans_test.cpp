// How the routing package reads its tables, whatever their statistics say:
// builds and refreshes read the rows of the starts and devices they are
// given through the indexes, never a whole table of routes, paths or
// destinations; and a lookup of a device's steps stops visiting the dead
// rows that rewrites of the steps left, once it has seen them dead.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "libpq_connect.h"
#include "test_db.h"

namespace {

struct ConnCloser {
  void operator()(PGconn* c) const { PQfinish(c); }
};
using Conn = std::unique_ptr<PGconn, ConnCloser>;

// The tables of the package whose rows a build or a refresh reads for
// given starts and devices only.
constexpr const char* kPerStartTables =
    "('routes', 'vexa_pdetails', 'vexa_destinationtable')";

class RoutingPlans : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DB();
    testdb::reset();
    ASSERT_TRUE(testdb::params(params_));
  }
  void TearDown() override { testdb::reset(); }

  // Four switches in a ring (devices 1-4), three hosts on each (5-16),
  // every link bidirectional. So few rows that a scan of a whole table
  // looks cheapest wherever the planner may choose one.
  static void WriteRing() {
    testdb::exec(R"SQL(
      INSERT INTO vexa_lg_devices(devicename, devicetypeID, deviceid, node, system_name)
      SELECT 'dev' || g, 1, g, CASE WHEN g <= 4 THEN 0 ELSE 1 END, 2
      FROM generate_series(1, 16) g;
      INSERT INTO vexa_port_properties(portid, deviceid, port_nbr, port_way)
      SELECT s * 100 + k, s, k::text, 2 FROM generate_series(1, 4) s, generate_series(1, 5) k
      UNION ALL SELECT h * 100 + 1, h, '1', 1 FROM generate_series(5, 16) h;
      INSERT INTO vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type,
        bidirectional_link_used, link_weight, lkused, system_name)
      SELECT s, s * 100 + 1, (s % 4 + 1) * 100 + 2, 1, 1, 0, 1, 2 FROM generate_series(1, 4) s
      UNION ALL
      SELECT h, ((h - 5) / 3 + 1) * 100 + 3 + (h - 5) % 3, h * 100 + 1, 1, 1, 2, 1, 2
      FROM generate_series(5, 16) h;)SQL");
  }

  // A connection of its own, so that the package's plans are made afresh.
  Conn Connect() const {
    Conn c(testdb::ConnectLibpq(params_.server, params_.user, params_.password));
    EXPECT_EQ(PQstatus(c.get()), CONNECTION_OK) << PQerrorMessage(c.get());
    return c;
  }

  // The first column of every row of sql run on c.
  static std::vector<std::string> Column(PGconn* c, const std::string& sql) {
    std::vector<std::string> out;
    PGresult* r = PQexec(c, sql.c_str());
    const auto status = PQresultStatus(r);
    EXPECT_TRUE(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        << PQerrorMessage(c) << sql;
    if (status == PGRES_TUPLES_OK)
      for (int i = 0; i < PQntuples(r); ++i) out.push_back(PQgetvalue(r, i, 0));
    PQclear(r);
    return out;
  }

  // The tables of kPerStartTables that c's transaction scanned whole.
  static std::vector<std::string> ScannedWhole(PGconn* c) {
    return Column(c, std::string("SELECT relname || ': ' || seq_scan FROM "
                                 "pg_stat_xact_user_tables WHERE seq_scan > 0 "
                                 "AND relname IN ") + kPerStartTables + " ORDER BY 1");
  }

  // Builds the routing and the destination table of every device on c.
  static void BuildAll(PGconn* c) {
    EXPECT_EQ(Column(c, "SELECT count(*) FROM vexa_lg_devices d WHERE d.deviceid > 0 AND "
                        "(routingtable_pck.createRT_all_devname(d.devicename, 1, 10, 1) <> 0 "
                        "OR routingtable_pck.createTD_all_devname(d.devicename, 1, 10, 1) <> 0)"),
              std::vector<std::string>{"0"});
  }

  testdb::Params params_;
};

// After droptableschema the routes are emptied, and a vacuum then leaves
// the table with no page at all: a plan made at that moment and kept for
// the connection scanned the routes of every start at each build.
TEST_F(RoutingPlans, BuildsReadOneStartsRowsAfterTheRoutesWereEmptiedAndVacuumed) {
  WriteRing();
  testdb::exec("SELECT vexa_configuration_dev.droptableschema(1)");
  testdb::exec("VACUUM routingtable_pck.routes");
  testdb::exec("SELECT vexa_configuration_dev.createtableschema(1)");
  ASSERT_EQ(testdb::value("SELECT relpages FROM pg_class "
                          "WHERE oid = 'routingtable_pck.routes'::regclass"),
            "0");

  Conn c = Connect();
  Column(c.get(), "BEGIN");
  BuildAll(c.get());
  EXPECT_EQ(ScannedWhole(c.get()), std::vector<std::string>{});
  // The builds' rows are there, so that the reads above had rows to find.
  EXPECT_EQ(Column(c.get(), "SELECT count(DISTINCT nodeid_start0) FROM vexa_routingtable"),
            std::vector<std::string>{"16"});
  EXPECT_EQ(Column(c.get(), "SELECT count(DISTINCT node1) FROM vexa_pdetails"),
            std::vector<std::string>{"16"});
  Column(c.get(), "COMMIT");
}

// A refresh splices bundles and shows paths again for some pairs, and,
// past the rebuild threshold, builds tables again: none of it reads the
// whole tables, with the generic plans a connection keeps.
TEST_F(RoutingPlans, RefreshesReadTheRowsOfTheirPairsOnly) {
  WriteRing();
  Conn builder = Connect();
  Column(builder.get(), "BEGIN");
  BuildAll(builder.get());
  Column(builder.get(), "COMMIT");

  Conn c = Connect();
  Column(c.get(), "SET plan_cache_mode = force_generic_plan");
  Column(c.get(), "BEGIN");
  // A host's link, then a link of the ring: few pairs, then a table built
  // again (a threshold of 3 devices a round, undone with the transaction).
  const char* const changes[] = {
      "UPDATE vexa_macroscopic_connectivity SET lkused = 0 WHERE linkid = 5",
      "UPDATE vexa_macroscopic_connectivity SET lkused = 1 WHERE linkid = 5",
      "CREATE OR REPLACE FUNCTION routingtable_pck.rebuild_threshold() RETURNS integer "
      "LANGUAGE sql IMMUTABLE AS $$ SELECT 3 $$",
      "UPDATE vexa_macroscopic_connectivity SET lkused = 0 WHERE linkid = 1",
  };
  for (const char* change : changes) {
    Column(c.get(), change);
    EXPECT_EQ(Column(c.get(), "SELECT routingtable_pck.updatepathused(1)"),
              std::vector<std::string>{"0"})
        << change;
  }
  EXPECT_EQ(ScannedWhole(c.get()), std::vector<std::string>{});
  EXPECT_EQ(Column(c.get(), "SELECT count(*) > 0 FROM routingtable_pck.route_changes"),
            std::vector<std::string>{"f"});
  Column(c.get(), "ROLLBACK");
}

// Every rewrite of the steps leaves their old rows dead. A lookup marks the
// index entries of rows it finds dead, and later lookups skip them: an
// entry that held the dead and the live rows of a device together would
// never be marked, and each lookup would visit every dead row again.
TEST_F(RoutingPlans, StepLookupsVisitDeadStepsOnce) {
  // A switch with 200 hosts: enough entries of one device to fill index
  // pages, where entries of equal keys would be merged.
  testdb::exec(R"SQL(
    INSERT INTO vexa_lg_devices(devicename, devicetypeID, deviceid, node, system_name)
    SELECT 'dev' || g, 1, g, CASE WHEN g = 1 THEN 0 ELSE 1 END, 2 FROM generate_series(1, 201) g;
    INSERT INTO vexa_port_properties(portid, deviceid, port_nbr, port_way)
    SELECT 1000 + g, 1, g::text, 2 FROM generate_series(2, 201) g
    UNION ALL SELECT g * 1000 + 1, g, '1', 1 FROM generate_series(2, 201) g;
    INSERT INTO vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type,
      bidirectional_link_used, link_weight, lkused, system_name)
    SELECT g, 1000 + g, g * 1000 + 1, 1, 1, 2, 1, 2 FROM generate_series(2, 201) g;)SQL");
  for (int round = 0; round < 3; ++round) {
    testdb::exec("UPDATE vexa_macroscopic_connectivity SET lkused = 0");
    testdb::exec("UPDATE vexa_macroscopic_connectivity SET lkused = 1");
  }
  // The rows an index-only lookup visits in the table: one per entry it
  // follows (no page of the steps is all-visible before a vacuum).
  const char* const visits = R"SQL(
    CREATE FUNCTION pg_temp.rows_visited(q text) RETURNS integer
    LANGUAGE plpgsql SET enable_seqscan = off SET enable_bitmapscan = off AS $$
    DECLARE
      plan json;
    BEGIN
      EXECUTE 'EXPLAIN (ANALYZE, FORMAT JSON) ' || q INTO plan;
      IF plan->0->'Plan'->'Plans'->0->>'Node Type' <> 'Index Only Scan' THEN
        RAISE 'not an index-only scan: %', plan;
      END IF;
      RETURN (plan->0->'Plan'->'Plans'->0->>'Heap Fetches')::integer;
    END $$)SQL";
  for (const char* column : {"from_dev", "to_dev"}) {
    const std::string lookup = std::string("SELECT pg_temp.rows_visited('SELECT count(*) FROM "
                                           "routingtable_pck.steps WHERE ") +
                               column + " = 1')";
    // Four generations of the switch's 200 steps, three of them dead. A
    // lookup marks the entries of rows dead to every transaction; while a
    // snapshot of another session (autovacuum's, say) may still see them,
    // it cannot. So each try is a lookup that marks, then one that counts,
    // on a connection of its own (a session learns late that rows became
    // dead to all), until the dead rows are no longer visited.
    std::vector<std::string> counted;
    for (int attempt = 0; attempt < 100 && counted != std::vector<std::string>{"200"};
         ++attempt) {
      if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
      Conn c = Connect();
      Column(c.get(), visits);
      Column(c.get(), lookup);
      counted = Column(c.get(), lookup);
    }
    EXPECT_EQ(counted, std::vector<std::string>{"200"}) << column;
  }
}

}  // namespace
