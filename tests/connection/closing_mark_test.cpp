// Stored texts that hold the marks the statements close their columns and
// items with ('?' and '|', some at the end of the value) come back whole
// from every family of readers: rows, name and id lists, whole tables, the
// path search, the routing and destination loads, histories and status
// lists, and the subsystem names loaded at connection.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "db_fixture.h"
#include "session.h"

namespace {

using Items = std::vector<std::string>;

// The items of a packed list of `length` bytes, sorted (no statement
// orders its rows).
Items Unpacked(const char* list, int length) {
  Items items;
  for (int at = 0; at < length; at += static_cast<int>(items.back().size()) + 1)
    items.emplace_back(list + at);
  std::sort(items.begin(), items.end());
  return items;
}

// One network whose every text holds both marks:
//   type QM?TYPE|1; devices QM?DEV|A (101, a node, DAQ, hardware SN?1|A in
//   use) and QM?DEV|B| (103, DAQ and D|Q?, spare hardware SN2?); port
//   in?1|p of A (way 1) at 10.0?0.1|a, port o?1|q of B (way 2) at
//   10.0?0.2|b, each with its hardware port; link 1 from B's port to A's,
//   of type lk?a|b, info li?nk|info; one history row of SN?1|A.
class MarkedValues : public ConnectedTest {
 protected:
  MarkedValues() : ConnectedTest("('DAQ',2),('TFC',3),('D|Q?',7)") {}

  void SetUp() override {
    ConnectedTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    testdb::exec(
        "insert into vexa_lg_device_types(devicetypeID, devicetype, nbrofinput, nbrofoutput, "
        "description, rgbcolor, system_name) values "
        "(1,'QM?TYPE|1',1,1,'is it? yes|no?','#0?0|0',2);"
        "insert into vexa_hw_devices(serialnb, hwtype, hwname, responsible, user_comments, "
        "location, device_status) values "
        "('SN?1|A','hw?type|y','hw?name|x','who?|me','note?|n','shelf?1|s',1),"
        "('SN2?','hw?type|z',null,null,null,null,2);"
        "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode, "
        "active, nodeused, system_name, serialnb, location) values "
        "('QM?DEV|A',1,101,1,0,0,1,2,'SN?1|A','rack?5|B'),"
        "('QM?DEV|B|',1,103,0,0,0,1,14,'SN2?','rack?6|C|');"
        "insert into vexa_ipinfo(ipaddress, subnet_info, ipname) values "
        "('10.0?0.1|a','sub?net|a','ip?name|a'),('10.0?0.2|b','sub?net|b','ip?name|b');"
        "insert into vexa_port_properties(portid, deviceid, port_nbr, port_way, port_type, "
        "administrative_status, speed, phy, pxi_booting, ipaddress) values "
        "(1002,101,'in?1|p',1,'et?h|t',1,100,'ph?y|z',0,'10.0?0.1|a'),"
        "(1006,103,'o?1|q',2,'et?h|u',1,100,'ph?y|w',0,'10.0?0.2|b');"
        "insert into vexa_hwport_properties(serialnb, port_nbr, port_type, port_way, bia, "
        "macaddress) values ('SN?1|A','in?1|p','et?h|t',1,'bi?a|b','ma?c|d'),"
        "('SN2?','o?1|q','et?h|u',2,'bi?a|e','ma?c|f');"
        "insert into vexa_link_types(linktypeID, link_name, link_nbr) values (1,'lk?a|b',2);"
        "insert into vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type, "
        "bidirectional_link_used, link_weight, lkused, link_info, system_name) values "
        "(1,1006,1002,1,1,2,1,'li?nk|info',2);"
        "insert into vexa_device_history(historydeviceid, serialnb, deviceid, device_status, "
        "location, status_change) values (nextval('vexa_history_deviceseq'),'SN?1|A',101,"
        "'IN_USE','rack?5|B',timestamp '2026-01-01')");
  }

  // A row lookup with room for any row: the row, or the ErrMess text.
  std::string Row(const std::function<int(int*, char*)>& call) {
    std::vector<char> row(2000, '\0');
    int length = static_cast<int>(row.size());
    return Quiet([&] { return call(&length, row.data()); }) == 0 ? row.data() : err_;
  }
  // A packed list with room for any list: its items, or the ErrMess text.
  Items List(const std::function<int(int*, char*)>& call) {
    std::vector<char> list(2000, '\0');
    int length = static_cast<int>(list.size());
    if (Quiet([&] { return call(&length, list.data()); }) != 0) return {err_};
    return Unpacked(list.data(), length);
  }
  // The library's builds, made visible to the reads of other statements.
  void Built(int rc) {
    ASSERT_EQ(rc, 0) << err_;
    ferrule::Session& s = ferrule::session();
    ASSERT_EQ(OCITransCommit(s.svchp, s.errhp, OCI_DEFAULT), 0);
  }
};

struct RowCase {
  const char* what;
  std::function<int(int*, char*, char*)> call;
  std::string row;
};

TEST_F(MarkedValues, RowsShowEveryTextWhole) {
  const RowCase cases[] = {
      {"device type",
       [](int* l, char* r, char* e) { return GetDeviceTypeRow("QM?TYPE|1", l, r, e); },
       "|devicetype (C):QM?TYPE|1 |devicetypeID (I):1 |nbrofinput (I):1 |nbrofoutput (I):1 "
       "|description (C):is it? yes|no? |rgbcolor (C):#0?0|0 |system_name (C):DAQ |"},
      {"device by name",
       [](int* l, char* r, char* e) { return GetDeviceRow_devicename("QM?DEV|A", l, r, e); },
       "|devicename (C):QM?DEV|A |devicetype (C):QM?TYPE|1 |active (I):0 |node (I):1 "
       "|deviceid  (I):101 |promiscuous_mode (I):0 |location (C):rack?5|B |nodeused (I):1 "
       "|serialnb  (C):SN?1|A |system_name (C):DAQ |"},
      // serialnb is selected without a mark here: its last '?' stays.
      {"device by id", [](int* l, char* r, char* e) { return GetDeviceRow_devid(103, l, r, e); },
       "|devicename (C):QM?DEV|B| |devicetype (C):QM?TYPE|1 |active (I):0 |node (I):0 "
       "|deviceid  (I):103 |promiscuous_mode (I):0 |location (C):rack?6|C| |nodeused (I):1 "
       "|serialnb  (C):SN2? |system_name (C):DAQ,D|Q? |"},
      {"port",
       [](int* l, char* r, char* e) {
         return GetPortRow_devname("QM?DEV|A", "in?1|p", 1, "et?h|t", l, r, e);
       },
       "|portid (I):1002 |devicename (C):QM?DEV|A |port_nbr (C):in?1|p |port_way (I):1 "
       "|administrative_status (I):1 |speed (I):100 |port_type (C):et?h|t |phy (C):ph?y|z "
       "|pxi_booting (I):0 |bia (C):bi?a|b |macaddress (C):ma?c|d |ipaddress (C):10.0?0.1|a |"},
      {"IP address", [](int* l, char* r, char* e) { return GetIPInfoRow("10.0?0.2|b", l, r, e); },
       "|ipaddress (C):10.0?0.2|b|subnet_info (C):sub?net|b |ipname (C):ip?name|b |"},
      {"link", [](int* l, char* r, char* e) { return GetMacroConnectivityRow_lkid(1, l, r, e); },
       "|linkid (I):1 |node_from (C):QM?DEV|B| |node_to (C):QM?DEV|A |port_nbrfrom (C):o?1|q "
       "|port_typefrom (C): et?h|u|port_nbrto (C):in?1|p |port_typeto (C):et?h|t "
       "|link_type (C):lk?a|b |bidirectional_link_used (I):1 |lkused (I):1 "
       "|link_info (C):li?nk|info |"},
      {"link type", [](int* l, char* r, char* e) { return GetLkTypeRow_lkname("lk?a|b", l, r, e); },
       "|link_name (C):lk?a|b |link_nbr (I):2 |linktypeID (I) :1 |"},
      {"hardware item",
       [](int* l, char* r, char* e) { return GetHWDeviceRow_serialnb("SN?1|A", l, r, e); },
       "|hwname (C):hw?name|x |hwtype (C):hw?type|y |device_status (C):IN_USE "
       "|location (C):shelf?1|s |responsible  (C):who?|me |user_comments (C):note?|n "
       "|devicename (C):QM?DEV|A |serialnb  (C):SN?1|A |"},
      {"hardware last in a device",
       [](int* l, char* r, char* e) { return GetFunctionalDeviceLastHW("QM?DEV|A", r, l, e); },
       "SN?1|A"},
      {"device last holding hardware",
       [](int* l, char* r, char* e) { return GetHWLastFunctionalDevice("SN?1|A", r, l, e); },
       "QM?DEV|A"},
  };
  for (const RowCase& c : cases) {
    EXPECT_EQ(Row([&](int* l, char* r) { return c.call(l, r, err_); }), c.row) << c.what;
    EXPECT_EQ(std::string(err_).rfind("NO_ERROR in ", 0), 0u) << c.what << ": " << err_;
  }
  char name[101] = "";
  ASSERT_EQ(Quiet([&] { return GetDeviceName_deviceid(103, name, err_); }), 0) << err_;
  EXPECT_STREQ(name, "QM?DEV|B|");
}

struct ListCase {
  const char* what;
  std::function<int(int*, char*, char*)> call;
  Items items;
};

TEST_F(MarkedValues, ListItemsKeepEveryTextWhole) {
  const ListCase cases[] = {
      {"names and ids per type",
       [](int* l, char* b, char* e) { return GetDeviceNamesPerType("QM?TYPE|1", l, b, e); },
       {"QM?DEV|A|101", "QM?DEV|B||103"}},
      {"free names per type",
       [](int* l, char* b, char* e) { return GetFreeDeviceNamesPerType("QM?TYPE|1", l, b, e); },
       {"QM?DEV|A", "QM?DEV|B|"}},
      {"names per location",
       [](int* l, char* b, char* e) { return GetDeviceNamesPerLocation("rack?", l, b, e); },
       {"QM?DEV|A", "QM?DEV|B|"}},
      {"ports with addresses",
       [](int* l, char* b, char* e) { return GetMacIPAddPerDevID(101, l, b, e); },
       {"in?1|p|1|et?h|t|ma?c|d|10.0?0.1|a"}},
      {"spare hardware per type",
       [](int* l, char* b, char* e) { return GetSpareHWPerType("hw?type|y", l, b, e); },
       {"SN?1|A|hw?name|x"}},
      {"history",
       [](int* l, char* b, char* e) {
         return GetHistoryOfHWDevice("SN?1|A", b, l, "none", "none", e);
       },
       {"QM?DEV|A|SN?1|A|IN_USE|26/01/01/00/00/00|rack?5|B"}},
      {"hardware in use",
       [](int* l, char* b, char* e) { return GetHWDeviceByStatus("DAQ", "IN_USE", l, b, e); },
       {"SN?1|A"}},
      {"spare hardware",
       [](int* l, char* b, char* e) { return GetHWDeviceByStatus("DAQ", "SPARE", l, b, e); },
       {"SN2?"}},
      {"devices with hardware in use",
       [](int* l, char* b, char* e) {
         return GetFunctionalDeviceByStatus("DAQ", "IN_USE", l, b, e);
       },
       {"QM?DEV|A"}},
  };
  for (const ListCase& c : cases)
    EXPECT_EQ(List([&](int* l, char* b) { return c.call(l, b, err_); }), c.items) << c.what;

  int active[49] = {};
  EXPECT_EQ(
      List([&](int* l, char* b) { return GetBusySubsystems(l, "ALL", b, nullptr, active, err_); }),
      (Items{"DAQ", "D|Q?"}));
}

TEST_F(MarkedValues, WholeTablesKeepEveryTextWhole) {
  std::vector<int> ids(10);
  std::vector<char> names(1000);
  int count = 10, bytes = 1000;
  ASSERT_EQ(Quiet([&] {
              return LoadDeviceTypeTable("ALL", &bytes, names.data(), &count, ids.data(), err_);
            }),
            0)
      << err_;
  EXPECT_EQ(Unpacked(names.data(), bytes), (Items{"QM?TYPE|1"}));

  count = 10, bytes = 1000;
  ASSERT_EQ(Quiet([&] {
              return MatchDeviceIDDeviceName("ALL", &count, ids.data(), &bytes, names.data(), err_);
            }),
            0)
      << err_;
  EXPECT_EQ(Unpacked(names.data(), bytes), (Items{"QM?DEV|A", "QM?DEV|B|"}))
      << "two devices never show under one name";

  count = 10, bytes = 1000;
  ASSERT_EQ(
      Quiet([&] { return LoadLinkTypeTable(&count, ids.data(), &bytes, names.data(), err_); }), 0)
      << err_;
  EXPECT_EQ(Unpacked(names.data(), bytes), (Items{"lk?a|b"}));

  std::vector<int> from(10), to(10), bidir(10), used(10), type(10);
  std::vector<char> pfrom(1000), pto(1000), info(1000);
  int links = 10, lfrom = 1000, lto = 1000, linfo = 1000;
  ASSERT_EQ(Quiet([&] {
              return LoadConnectivityTable("ALL", &links, ids.data(), from.data(), to.data(),
                                           &lfrom, &lto, pfrom.data(), pto.data(), bidir.data(),
                                           used.data(), type.data(), info.data(), &linfo, err_);
            }),
            0)
      << err_;
  EXPECT_EQ(Unpacked(pfrom.data(), lfrom), (Items{"o?1|q|et?h|u"}));
  EXPECT_EQ(Unpacked(pto.data(), lto), (Items{"in?1|p|et?h|t"}));
  EXPECT_EQ(Unpacked(info.data(), linfo), (Items{"li?nk|info"}));
}

TEST_F(MarkedValues, ThePathSearchKeepsEveryTextWhole) {
  constexpr int kRoom = 1000;
  std::vector<char> nfrom(kRoom), nto(kRoom), pfrom(kRoom), pto(kRoom), lkinfo(kRoom);
  std::vector<int> way_a(kRoom), way_b(kRoom), pathid(kRoom), link_pos(kRoom);
  int n = kRoom, ln = kRoom, lp = kRoom, lnt = kRoom, lpt = kRoom, li = kRoom;
  ASSERT_EQ(Quiet([&] {
              return GetDetailedConnBetweenDeviceDevType(
                  "QM?DEV|B|", "QM?DEV|A", 0, nfrom.data(), pfrom.data(), pto.data(), &n, &ln, &lp,
                  &lnt, &lpt, &li, way_a.data(), way_b.data(), nto.data(), pathid.data(),
                  link_pos.data(), lkinfo.data(), err_);
            }),
            0)
      << err_;
  ASSERT_EQ(n, 1);
  EXPECT_EQ(Unpacked(nfrom.data(), ln), (Items{"QM?DEV|B|"}));
  EXPECT_EQ(Unpacked(nto.data(), lnt), (Items{"QM?DEV|A"}));
  EXPECT_EQ(Unpacked(pfrom.data(), lp), (Items{"o?1|q|et?h|u"}));
  EXPECT_EQ(Unpacked(pto.data(), lpt), (Items{"in?1|p|et?h|t"}));
  EXPECT_EQ(Unpacked(lkinfo.data(), li), (Items{"li?nk|info"}));
}

TEST_F(MarkedValues, RoutingAndDestinationLoadsKeepEveryTextWhole) {
  Built(Quiet([&] { return CreateRoutingTable("QM?DEV|A", 0, err_); }));
  std::vector<std::vector<char>> lists(6, std::vector<char>(1000));
  int lens[6] = {1000, 1000, 1000, 1000, 1000, 1000};
  ASSERT_EQ(Quiet([&] {
              return LoadRoutingtable("101", &lens[0], lists[0].data(), &lens[1], lists[1].data(),
                                      &lens[2], lists[2].data(), &lens[3], lists[3].data(),
                                      &lens[4], lists[4].data(), &lens[5], lists[5].data(), err_);
            }),
            0)
      << err_;
  // Destination names and addresses, next ports, addresses, subnets and
  // MAC addresses.
  const Items expected[6] = {{"QM?DEV|B|"},  {"10.0?0.2|b"}, {"in?1|p|et?h|t|1"},
                             {"10.0?0.2|b"}, {"sub?net|b"},  {"ma?c|d"}};
  for (int l = 0; l < 6; ++l) EXPECT_EQ(Unpacked(lists[l].data(), lens[l]), expected[l]) << l;

  Built(Quiet([&] { return CreateDestinationTable("QM?DEV|A", 10, err_); }));
  EXPECT_EQ(
      List([&](int* l, char* b) { return GetPortPerSubsystem("QM?DEV|A", "DAQ", l, b, err_); }),
      (Items{"in?1|p|et?h|t|1"}));
  Built(Quiet([&] { return CreateDestinationTable("QM?DEV|B|", 10, err_); }));
  EXPECT_EQ(List([&](int* l, char* b) {
              return GetDestinationNamePerDevPort("QM?DEV|B|", "o?1|q", "et?h|u", l, b, err_);
            }),
            (Items{"QM?DEV|A"}));
}

}  // namespace
