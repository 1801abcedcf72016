// Macroscopic links: the ports, type, weight and subsystem set the database
// finds for a link, and when it finds none.
#include "insert_fixture.h"

class MacroLinksTest : public InsertTest {
 protected:
  void SetUp() override {
    InsertTest::SetUp();
    if (IsSkipped()) return;
    AddDeviceType("SWITCH", "DAQ,TFC,ECS");
    testdb::exec(
        "insert into vexa_link_types(linktypeID, link_name, link_nbr) values (7,'data',2)");
  }
  // A device with one output port "out" and one input port "in".
  void AddLinkedDevice(const char* name, const char* subsystems, int node = 0) {
    AddDevice(name, "SWITCH", subsystems, node);
    AddPort(name, "out", 2);
    AddPort(name, "in", 1);
  }
  int Link(const char* from, const char* to, int last_rows = 0, const char* type_from = nullptr,
           const char* type_to = nullptr, const char* from_port = "out") {
    testing::internal::CaptureStdout();
    const int rc = InsertMacroLink(from, to, from_port, "in", type_from, type_to, "data", "info",
                                   1, last_rows, err_);
    testing::internal::GetCapturedStdout();
    return rc;
  }
  static std::string LinkColumn(const char* column, const char* from, const char* to) {
    return testdb::value(std::string("select ") + column +
                         " from vexa_macroscopic_connectivity c "
                         "join vexa_port_properties f on f.portid = c.portidfrom "
                         "join vexa_lg_devices a on a.deviceid = f.deviceid "
                         "join vexa_port_properties t on t.portid = c.portidto "
                         "join vexa_lg_devices b on b.deviceid = t.deviceid "
                         "where a.devicename = '" + from + "' and b.devicename = '" + to + "'");
  }
};

TEST_F(MacroLinksTest, LinkGetsTheSubsystemsBothDevicesShare) {
  AddLinkedDevice("a", "DAQ,TFC");  // 6
  AddLinkedDevice("b", "DAQ,ECS");  // 10
  ASSERT_EQ(Link("a", "b"), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertMacroLink");
  EXPECT_EQ(LinkColumn("c.system_name", "a", "b"), "2");
  EXPECT_EQ(LinkColumn("concat_ws('|', f.port_nbr, t.port_nbr, c.link_type, "
                       "c.bidirectional_link_used, c.lkused, c.link_info, c.author, "
                       "c.user_update, c.terminal_name)",
                       "a", "b"),
            "out|in|7|1|1|info|" + Login() + "|" + Login() + "|" + Host());

  AddLinkedDevice("c", "TFC");  // 3
  AddLinkedDevice("d", "ECS");  // 5
  EXPECT_EQ(Link("c", "d"), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMacroLink : COULDNOT_INSERT_THIS_ROWS: CHECK SYSTEM COMPATIBILITY");
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 1);
}

TEST_F(MacroLinksTest, WeightCountsTheNodesAndOneMoreForANodeAtTheEnd) {
  AddLinkedDevice("n0", "DAQ", 0);
  AddLinkedDevice("m0", "DAQ", 0);
  AddLinkedDevice("n1", "DAQ", 1);
  AddLinkedDevice("m1", "DAQ", 1);
  ASSERT_EQ(Link("n0", "n1"), 0) << Err();
  ASSERT_EQ(Link("n1", "m1"), 0) << Err();
  ASSERT_EQ(Link("m0", "n0"), 0) << Err();
  ASSERT_EQ(Link("m1", "m0"), 0) << Err();
  EXPECT_EQ(LinkColumn("c.link_weight", "n0", "n1"), "2");
  EXPECT_EQ(LinkColumn("c.link_weight", "n1", "m1"), "3");
  EXPECT_EQ(LinkColumn("c.link_weight", "m0", "n0"), "0");
  EXPECT_EQ(LinkColumn("c.link_weight", "m1", "m0"), "1");
}

TEST_F(MacroLinksTest, MissingPortTypeMatchesPortsWithoutTypeOrTypedNone) {
  AddLinkedDevice("a", "DAQ");                   // its ports have no type
  AddDevice("b", "SWITCH", "DAQ");
  AddPort("b", "in", 1, "none");                 // typed "none"
  AddPort("b", "fast", 1, "gbe");
  testing::internal::CaptureStdout();
  EXPECT_EQ(InsertMacroLink("a", "b", "out", "in", "", nullptr, "data", "x", 0, 0, err_), 0)
      << Err();
  EXPECT_EQ(InsertMacroLink("a", "b", "out", "in", nullptr, "", "data", "y", 0, 0, err_), 0)
      << Err();
  // A typed port is not found without its type.
  EXPECT_EQ(InsertMacroLink("a", "b", "out", "fast", nullptr, nullptr, "data", "z", 0, 0, err_),
            -1);
  EXPECT_EQ(InsertMacroLink("a", "b", "out", "fast", nullptr, "gbe", "data", "w", 0, 0, err_), 0)
      << Err();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(testdb::column("select link_info from vexa_macroscopic_connectivity order by linkid"),
            (std::vector<std::string>{"x", "y", "w"}));
}

TEST_F(MacroLinksTest, FromPortMustBeAnOutput) {
  AddLinkedDevice("a", "DAQ");
  AddLinkedDevice("b", "DAQ");
  EXPECT_EQ(Link("a", "b", 0, nullptr, nullptr, "in"), -1);
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 0);
}

TEST_F(MacroLinksTest, SingleLinkCommitsWithOrWithoutTheRefresh) {
  AddLinkedDevice("a", "DAQ");
  AddLinkedDevice("b", "DAQ");
  AddLinkedDevice("c", "DAQ");
  ASSERT_EQ(Link("a", "b", 0), 0) << Err();
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 1);
  ASSERT_EQ(Link("b", "c", 1), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertMacroLink");
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 2);
}

TEST_F(MacroLinksTest, BatchOfLinksIsInsertedAndRefreshed) {
  AddLinkedDevice("a", "DAQ,TFC");
  AddLinkedDevice("b", "TFC,ECS");
  AddLinkedDevice("c", "DAQ,TFC,ECS");
  EXPECT_EQ(InsertMultipleMacroLinks("a", "b", "out", "in", nullptr, "", "data", "ab", 0, 1, 0,
                                     err_),
            0);
  EXPECT_EQ(InsertMultipleMacroLinks("b", "c", "out", "in", "", nullptr, "data", nullptr, 1, 0, 0,
                                     err_),
            0);
  EXPECT_EQ(InsertMultipleMacroLinks("c", "a", "out", "in", nullptr, nullptr, "data", "ca", 0, 0,
                                     1, err_),
            0)
      << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertMultipleMacroLinks");
  EXPECT_EQ(LinkColumn("c.system_name", "a", "b"), "3");
  EXPECT_EQ(LinkColumn("c.system_name", "b", "c"), "15");
  EXPECT_EQ(LinkColumn("c.system_name", "c", "a"), "6");
  EXPECT_EQ(LinkColumn("coalesce(c.link_info, '<null>') || c.bidirectional_link_used", "b", "c"),
            "<null>1");
}
