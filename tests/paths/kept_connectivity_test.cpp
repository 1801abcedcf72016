// Loaded connectivity kept between queries: reused while the network is
// unchanged, never once it changed (committed by another session, or
// written and not yet committed by this one).
#include <cstring>
#include <string>
#include <vector>

#include "path_fixture.h"
#include "paths/connectivity_cache.h"
#include "session.h"

namespace {

using RouteList = std::vector<std::string>;
using ferrule::ConnectivityLoadCount;

class KeptConnectivity : public PathTest {
 protected:
  void SetUp() override {
    PathTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    Chain();
  }
  void TearDown() override {
    ferrule::ForgetKeptConnectivity();
    PathTest::TearDown();
  }

  // Runs a write on the library's own connection, which opens a
  // transaction and leaves it open.
  static void WriteInSession(const char* sql) {
    ferrule::Session& s = ferrule::session();
    OCIStmt* stmt = nullptr;
    ASSERT_EQ(OCIHandleAlloc(s.envhp, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0,
                             nullptr), 0);
    ASSERT_EQ(OCIStmtPrepare(stmt, s.errhp, reinterpret_cast<const OraText*>(sql),
                             static_cast<ub4>(std::strlen(sql)), OCI_NTV_SYNTAX, OCI_DEFAULT), 0);
    EXPECT_EQ(OCIStmtExecute(s.svchp, stmt, s.errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT), 0);
    OCIHandleFree(stmt, OCI_HTYPE_STMT);
  }
};

TEST_F(KeptConnectivity, RepeatedQueriesLoadOnce) {
  const long before = ConnectivityLoadCount();
  EXPECT_EQ(Routes("A", "C"), (RouteList{"A>B>C"}));
  EXPECT_EQ(Routes("A", "B"), (RouteList{"A>B"}));
  EXPECT_EQ(Routes("B", "C"), (RouteList{"B>C"})) << "B's subsystems are A's";
  EXPECT_EQ(ConnectivityLoadCount() - before, 1);

  // A change no search reads keeps the copy; one it reads does not.
  testdb::exec("update vexa_lg_devices set active = 0, nodeused = 0 where devicename = 'B'");
  EXPECT_EQ(Routes("A", "C"), (RouteList{"A>B>C"}));
  EXPECT_EQ(ConnectivityLoadCount() - before, 1);
  testdb::exec("update vexa_macroscopic_connectivity set link_info = 'x' where linkid = 2");
  EXPECT_EQ(Routes("A", "C"), (RouteList{"A>B>C"}));
  EXPECT_EQ(ConnectivityLoadCount() - before, 2);
}

TEST_F(KeptConnectivity, ChangesCommittedByAnotherSessionAreSeenByTheNextQuery) {
  EXPECT_EQ(Routes("A", "C"), (RouteList{"A>B>C"}));

  Link(3, "A", "C");
  EXPECT_EQ(Routes("A", "C"), (RouteList{"A>C", "A>B>C"}));

  testdb::exec("update vexa_macroscopic_connectivity set lkused = 0 where linkid = 3");
  EXPECT_EQ(Routes("A", "C"), (RouteList{"A>B>C"}));

  testdb::exec("update vexa_lg_devices set devicename = 'Z' where devicename = 'C'");
  EXPECT_EQ(Routes("A", "Z"), (RouteList{"A>B>Z"}));

  // A's subsystems decide which links are loaded.
  testdb::exec("update vexa_lg_devices set system_name = 3 where devicename = 'A'");
  EXPECT_EQ(Paths("A", "Z"), -1);
  EXPECT_STREQ(err_, "ERROR in GetDetailedConnBetweenDeviceDevType : ERROR in "
                     "LoadConnectivityTable_InCache : NO_ROWS_SELECTED");
}

TEST_F(KeptConnectivity, UncommittedWritesOfThisSessionAreSeenUntilRolledBack) {
  EXPECT_EQ(Routes("A", "C"), (RouteList{"A>B>C"}));
  const long before = ConnectivityLoadCount();

  WriteInSession("update vexa_macroscopic_connectivity set lkused = 0 where linkid = 2");
  EXPECT_EQ(Paths("A", "C"), -1);
  EXPECT_STREQ(err_, "ERROR in GetDetailedConnBetweenDeviceDevType : NO_ROWS_SELECTED");
  EXPECT_EQ(Paths("A", "C"), -1);
  EXPECT_EQ(ConnectivityLoadCount() - before, 2) << "inside the writes, every query loads";

  ferrule::Session& s = ferrule::session();
  ASSERT_EQ(OCITransRollback(s.svchp, s.errhp, OCI_DEFAULT), 0);
  EXPECT_EQ(Routes("A", "C"), (RouteList{"A>B>C"}));
  EXPECT_EQ(ConnectivityLoadCount() - before, 2) << "the copy from before the writes is good";

  WriteInSession("update vexa_macroscopic_connectivity set lkused = 0 where linkid = 2");
  ASSERT_EQ(OCITransCommit(s.svchp, s.errhp, OCI_DEFAULT), 0);
  EXPECT_EQ(Paths("A", "C"), -1);
  EXPECT_STREQ(err_, "ERROR in GetDetailedConnBetweenDeviceDevType : NO_ROWS_SELECTED");
}

// 20,001 rows: more than the searches' first capacity of 20,000, and as
// many targets of one type.
TEST_F(KeptConnectivity, TwentyThousandAndOneRowsAreLoadedOnceForBothCalls) {
  testdb::exec(
      "delete from vexa_macroscopic_connectivity;"
      "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode, "
      "active, nodeused, system_name) select 'host' || g, 2, 1000 + g, 1, 0, 1, 1, 2 "
      "from generate_series(1, 20001) g;"
      "insert into vexa_port_properties(portid, deviceid, port_nbr, port_way, port_type) "
      "select 100000 + g, 1, 'h' || g, 2, null from generate_series(1, 20001) g "
      "union all select 200000 + g, 1000 + g, 'in', 1, null from generate_series(1, 20001) g;"
      "insert into vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type, "
      "bidirectional_link_used, link_weight, lkused, system_name) "
      "select 1000 + g, 100000 + g, 200000 + g, 1, 0, 2, 1, 2 from generate_series(1, 20001) g");

  const long before = ConnectivityLoadCount();
  std::vector<int> linkid(20001), node_from(20001), node_to(20001), bidirectional(20001),
      lkused(20001), link_type(20001), link_weight(20001);
  auto load = [&](int* count) {
    return Quietly([&] {
      return ferrule::LoadConnectivityTable_InCache(
          "ALL", "A", "none", 0, count, linkid.data(), node_from.data(), node_to.data(),
          bidirectional.data(), lkused.data(), link_type.data(), link_weight.data(), err_);
    });
  };
  int count = 20000;
  EXPECT_EQ(load(&count), -1);
  EXPECT_EQ(count, 20001);
  EXPECT_EQ(ferrule::ConnectivityCache(), nullptr);
  ASSERT_EQ(load(&count), 0) << err_;
  EXPECT_STREQ(err_, "NO_ERROR in LoadConnectivityTable_InCache");
  ASSERT_EQ(count, 20001);
  EXPECT_EQ(ConnectivityLoadCount() - before, 1) << "the second call reuses the rows";
  EXPECT_EQ(linkid[0], 1001);
  EXPECT_EQ(linkid[20000], 21001);
  EXPECT_EQ(node_to[20000], 21001);
  EXPECT_EQ(link_weight[20000], 2);
  ASSERT_NE(ferrule::ConnectivityCache(), nullptr);
  EXPECT_STREQ(ferrule::ConnectivityCache()->rows.name_to.at(20000), "host20001");
  ferrule::ReleaseConnectivityCache();

  // The tables span many chunks of blocks; loaded with every text, each
  // link has its texts, from the first chunk to the last.
  ferrule::ForgetKeptConnectivity();
  count = 20001;
  ASSERT_EQ(Quietly([&] {
              return ferrule::LoadConnectivityTable_InCache(
                  "ALL", "A", "none", 0, &count, linkid.data(), node_from.data(), node_to.data(),
                  bidirectional.data(), lkused.data(), link_type.data(), link_weight.data(),
                  err_, ferrule::TextLoad::WithRows);
            }),
            0)
      << err_;
  ASSERT_EQ(count, 20001);
  const ferrule::Connectivity* with_texts = ferrule::ConnectivityCache();
  ASSERT_NE(with_texts, nullptr);
  for (int r = 0; r < count; ++r) ASSERT_TRUE(with_texts->texts.known(with_texts->rows.stored[r]));
  EXPECT_EQ(with_texts->texts.from(with_texts->rows.stored[20000]), "h20001|none");
  EXPECT_EQ(with_texts->texts.to(with_texts->rows.stored[0]), "in|none");
  ferrule::ReleaseConnectivityCache();

  // A search through the same protocol, from a fresh load, to 20,001
  // targets over as many links leaving one device.
  ferrule::ForgetKeptConnectivity();
  std::vector<PathEntry> e;
  ASSERT_EQ(Paths("A", "HOST", 1, &e, 400000), 0) << err_;
  EXPECT_EQ(e.size(), 20001u);
  EXPECT_EQ(e.back().nto, "host20001");
  EXPECT_EQ(ConnectivityLoadCount() - before, 3);
}

}  // namespace
