// Lookups that answer with one row of text: ports and IP data, links, link
// types, hardware items, board components, links inside a board and
// hardware components.
#include <gtest/gtest.h>

#include <string>

#include "lookup_fixture.h"

namespace {

class RowLookups : public LookupTest {
 protected:
  // Calls a row lookup with a fresh buffer of `capacity` bytes.
  template <class F>
  int Row(int capacity, F f) {
    buf_.assign(capacity > 0 ? static_cast<std::size_t>(capacity) : 1, '\x7f');
    buf_.back() = '\0';
    len_ = capacity;
    rc_ = Traced([&] { return f(&len_, buf_.data()); });
    return rc_;
  }
  std::string row() const { return buf_.c_str(); }

  std::string buf_;
  int len_ = 0;
  int rc_ = 0;
};

const char* const kSw1Port =
    "|portid (I):12 |devicename (C):sw1 |port_nbr (C):3 |port_way (I):2 "
    "|administrative_status (I):1 |speed (I):1000 |port_type (C):none |phy (C):none "
    "|pxi_booting (I):0 |bia (C):none |macaddress (C):none |ipaddress (C):none |";

TEST_F(RowLookups, PortWithoutHardwarePortAndItsExactLength) {
  for (const char* type : {static_cast<const char*>(nullptr), "", "none"}) {
    Row(1000, [&](int* l, char* r) { return GetPortRow_devid(1, "3", 2, type, l, r, err_); });
    EXPECT_EQ(rc_, 0) << err_;
    EXPECT_EQ(row(), kSw1Port);
    EXPECT_EQ(Err(), "NO_ERROR in GetPortRow_devid");
  }
  EXPECT_EQ(std::string(kSw1Port).size(), 221u);
  EXPECT_EQ(Row(222, [&](int* l, char* r) { return GetPortRow_devid(1, "3", 2, "", l, r, err_); }), 0);
  EXPECT_EQ(len_, 222) << "a row that fits leaves the length alone";
  EXPECT_EQ(Row(221, [&](int* l, char* r) { return GetPortRow_devid(1, "3", 2, "", l, r, err_); }), -1);
  EXPECT_EQ(len_, 222);
  EXPECT_EQ(Err(), "ERROR in GetPortRow_devid : BUFFER_TOO_SMALL");
  EXPECT_EQ(buf_[0], '\x7f') << "nothing written";

  Row(1000, [&](int* l, char* r) { return GetPortRow_pid(12, l, r, err_); });
  EXPECT_EQ(row(),
            "|portid (I):12 |devicename (C):sw1 |port_nbr (C):3 |port_way (I):2 "
            "|administrative_status (I):1 |speed (I):1000 |port_type (C):None |phy (C):None "
            "|pxi_booting (I):0 |bia (C):none |macaddress (C):none |ipaddress (C):None |");
  Row(1000, [&](int* l, char* r) { return GetPortRow_devname("sw1", "3", 2, "", l, r, err_); });
  EXPECT_EQ(row(), kSw1Port);
}

TEST_F(RowLookups, PortWithItsHardwarePort) {
  Row(1000, [&](int* l, char* r) { return GetPortRow_pid(20, l, r, err_); });
  EXPECT_EQ(row(),
            "|portid (I):20 |devicename (C):core1 |port_nbr (C):1 |port_way (I):2 "
            "|administrative_status (I):1 |speed (I):0 |port_type (C):eth |phy (C):copper "
            "|pxi_booting (I):-1 |bia (C):bia1 |macaddress (C):00:aa |ipaddress (C):192.0.2.1 |");
  // A hardware port without bia or mac: "None" by portid, "none" else; a
  // null pxi_booting reads -1 with a hardware port in every lookup.
  Row(1000, [&](int* l, char* r) { return GetPortRow_pid(22, l, r, err_); });
  EXPECT_NE(row().find("|port_type (C):None |phy (C):None |pxi_booting (I):-1 |bia (C):None "
                       "|macaddress (C):None |ipaddress (C):192.0.2.2 |"),
            std::string::npos) << row();
  Row(1000, [&](int* l, char* r) { return GetPortRow_devname("core1", "2", 1, nullptr, l, r, err_); });
  EXPECT_NE(row().find("|pxi_booting (I):-1 |bia (C):none |macaddress (C):none "
                       "|ipaddress (C):192.0.2.2 |"),
            std::string::npos) << row();
  Row(1000, [&](int* l, char* r) { return GetPortRow_devid(4, "1", 2, "eth", l, r, err_); });
  EXPECT_NE(row().find("|bia (C):bia1 |macaddress (C):00:aa |"), std::string::npos);

  // Without a hardware port a null pxi_booting is 0 by portid, -1 else.
  testdb::exec("update vexa_port_properties set pxi_booting=null where portid=12");
  Row(1000, [&](int* l, char* r) { return GetPortRow_pid(12, l, r, err_); });
  EXPECT_NE(row().find("|pxi_booting (I):0 |"), std::string::npos);
  Row(1000, [&](int* l, char* r) { return GetPortRow_devid(1, "3", 2, "", l, r, err_); });
  EXPECT_NE(row().find("|pxi_booting (I):-1 |"), std::string::npos);
  EXPECT_EQ(row().size(), 222u) << "-1 takes one character more than 0";
}

TEST_F(RowLookups, PortNotFound) {
  const std::string no_rows = "ERROR in GetPortRow_devid : NO_ROWS_SELECTED";
  // "None" is what the row by portid shows, not a port type key.
  Row(100, [&](int* l, char* r) { return GetPortRow_devid(1, "3", 2, "None", l, r, err_); });
  EXPECT_EQ(rc_, 0);
  EXPECT_EQ(row(), "NO_ROWS_SELECTED");
  EXPECT_EQ(Err(), no_rows);
  EXPECT_EQ(len_, 100);
  // A port without administrative status cannot be read, like no port.
  Row(100, [&](int* l, char* r) { return GetPortRow_devid(4, "3", 1, "", l, r, err_); });
  EXPECT_EQ(rc_, 0);
  EXPECT_EQ(row(), "NO_ROWS_SELECTED");
  strcpy(err_, "NO_ROWS_SELECTED");
  Row(100, [&](int* l, char* r) { return GetPortRow_pid(9999, l, r, err_); });
  EXPECT_EQ(Err(), "ERROR in GetPortRow_pid : NO_ROWS_SELECTED");
  Row(1000, [&](int* l, char* r) { return GetPortRow_pid(12, l, r, err_); });
  EXPECT_EQ(Err(), "NO_ERROR in GetPortRow_pid") << "decided by this call alone";
  EXPECT_EQ(printed_, "") << "the fetch status is not traced";

  // Keys the statements would compare with NULL are refused.
  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetPortRow_devname(nullptr, "3", 2, "", l, r, err_); }), -1);
  EXPECT_EQ(Err(), "ERROR in GetPortRow_devname : devicename MUST be given");
  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetPortRow_devid(1, nullptr, 2, "", l, r, err_); }), -1);
  EXPECT_EQ(Err(), "ERROR in GetPortRow_devid : port_nbr MUST be given");
}

// A key of 100 characters (the longest type) does not fit a 100-byte copy
// with its NUL; it is used whole.
TEST_F(RowLookups, LongPortTypeKeyIsUsedWhole) {
  const std::string type(100, 't');
  testdb::exec("update vexa_port_properties set port_type='" + type + "' where portid=12");
  Row(1000, [&](int* l, char* r) { return GetPortRow_devid(1, "3", 2, type.c_str(), l, r, err_); });
  EXPECT_NE(row().find("|port_type (C):" + type + " |"), std::string::npos) << err_;
  Row(1000, [&](int* l, char* r) {
    return GetPortRow_devid(1, "3", 2, type.substr(0, 99).c_str(), l, r, err_);
  });
  EXPECT_EQ(row(), "NO_ROWS_SELECTED") << "no cut key finds the port";
}

TEST_F(RowLookups, IPInfoRow) {
  Row(1000, [&](int* l, char* r) { return GetIPInfoRow("192.0.2.1", l, r, err_); });
  EXPECT_EQ(row(), "|ipaddress (C):192.0.2.1|subnet_info (C):255.255.255.0 |ipname (C):ctrl1 |");
  Row(1000, [&](int* l, char* r) { return GetIPInfoRow("192.0.2.2", l, r, err_); });
  EXPECT_EQ(row(), "|ipaddress (C):192.0.2.2|subnet_info (C): |ipname (C): |");
  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetIPInfoRow(nullptr, l, r, err_); }), -1);
  EXPECT_EQ(Err(), "ERROR in GetIPInfoRow :  IP add MUST be given");
}

const char* const kLink1 =
    "|linkid (I):1 |node_from (C):core1 |node_to (C):srv1 |port_nbrfrom (C):1 "
    "|port_typefrom (C): eth|port_nbrto (C):eth0 |port_typeto (C):none |link_type (C):cu "
    "|bidirectional_link_used (I):0 |lkused (I):1 |link_info (C):none |";

TEST_F(RowLookups, LinkByIdAndByEitherEnd) {
  Row(1000, [&](int* l, char* r) { return GetMacroConnectivityRow_lkid(1, l, r, err_); });
  EXPECT_EQ(row(), kLink1);
  for (int way : {2, 0, 5}) {
    Row(1000, [&](int* l, char* r) {
      return GetMacroConnectivityRow_nodename("core1", "1", way, "eth", l, r, err_);
    });
    EXPECT_EQ(row(), kLink1) << way;
  }
  Row(1000, [&](int* l, char* r) { return GetMacroConnectivityRow_node(4, "1", 2, "eth", l, r, err_); });
  std::string by_id = kLink1;
  by_id.replace(by_id.find("(C): eth|"), 9, "(C):eth |");
  EXPECT_EQ(row(), by_id);
  // Way 1 finds the link arriving at the port; a null type is "none".
  Row(1000, [&](int* l, char* r) { return GetMacroConnectivityRow_node(5, "eth0", 1, nullptr, l, r, err_); });
  EXPECT_EQ(row(), by_id);
  Row(1000, [&](int* l, char* r) { return GetMacroConnectivityRow_node(5, "eth0", 2, "", l, r, err_); });
  EXPECT_EQ(rc_, 0);
  EXPECT_EQ(row(), "NO_ROWS_SELECTED");
  EXPECT_EQ(Err(), "ERROR in GetMacroConnectivityRow_node : NO_ROWS_SELECTED");

  Row(1000, [&](int* l, char* r) { return GetMacroConnectivityRow_nodename("sw3", "1", 1, "", l, r, err_); });
  EXPECT_NE(row().find("|link_type (C):fo |bidirectional_link_used (I):1 |lkused (I):1 "
                       "|link_info (C):trunk |"), std::string::npos) << row();
  EXPECT_EQ(Row(100, [&](int* l, char* r) {
              return GetMacroConnectivityRow_nodename(nullptr, "1", 1, "", l, r, err_);
            }), -1);
  EXPECT_EQ(Err(), "ERROR in GetMacroConnectivityRow_nodename : nodename MUST be given");
}

TEST_F(RowLookups, LinkLengthsAskWhatThePartsAsk) {
  const int row_length = static_cast<int>(std::string(kLink1).size());
  EXPECT_EQ(Row(row_length + 2, [&](int* l, char* r) { return GetMacroConnectivityRow_lkid(1, l, r, err_); }), -1);
  EXPECT_EQ(len_, row_length + 3) << "by linkid: two bytes more than the row and its NUL";
  EXPECT_EQ(Row(row_length + 3, [&](int* l, char* r) { return GetMacroConnectivityRow_lkid(1, l, r, err_); }), 0);
  EXPECT_EQ(Row(row_length + 1, [&](int* l, char* r) {
              return GetMacroConnectivityRow_nodename("core1", "1", 2, "eth", l, r, err_);
            }), 0);
  EXPECT_EQ(Row(row_length, [&](int* l, char* r) {
              return GetMacroConnectivityRow_nodename("core1", "1", 2, "eth", l, r, err_);
            }), -1);
  EXPECT_EQ(len_, row_length + 1);
}

TEST_F(RowLookups, LinkTypeRows) {
  const std::string by_name = "|link_name (C):fibre |link_nbr (I):5 |linktypeID (I) :4 |";
  const std::string by_id = "|link_name (C):fibre |link_nbr (I):5 |linktypeID (I):4 |";
  Row(1000, [&](int* l, char* r) { return GetLkTypeRow_lkname("fibre", l, r, err_); });
  EXPECT_EQ(row(), by_name);
  EXPECT_EQ(Err(), "NO_ERROR in GetLkTypeRow_lkname");
  Row(1000, [&](int* l, char* r) { return GetLkTypeRow_lknb(4, l, r, err_); });
  EXPECT_EQ(row(), by_id);
  EXPECT_EQ(Err(), "NO_ERROR in GetLkTypeRow_lknb ");
  // Both need 57 + 1 bytes, although the row by id has 56 characters.
  for (int capacity : {57, 58}) {
    Row(capacity, [&](int* l, char* r) { return GetLkTypeRow_lkname("fibre", l, r, err_); });
    EXPECT_EQ(rc_, capacity == 58 ? 0 : -1);
    Row(capacity, [&](int* l, char* r) { return GetLkTypeRow_lknb(4, l, r, err_); });
    EXPECT_EQ(rc_, capacity == 58 ? 0 : -1);
    if (rc_ != 0) {
      EXPECT_EQ(len_, 58);
    }
  }
  // No such type: result 0 by name; by id the traced fetch status.
  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetLkTypeRow_lkname("none?", l, r, err_); }), 0);
  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetLkTypeRow_lknb(99, l, r, err_); }), 100);
  EXPECT_EQ(row(), "NO_ROWS_SELECTED");
  EXPECT_EQ(Err(), "ERROR in GetLkTypeRow_lknb : NO_ROWS_SELECTED");
  EXPECT_EQ(printed_, "Error - OCI_NODATA OCIFETCH unsuccessful\n\n");
  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetLkTypeRow_lkname(nullptr, l, r, err_); }), -1);
  EXPECT_EQ(Err(), "ERROR in GetLkTypeRow_lkname :  lktype_name MUST be given");
}

TEST_F(RowLookups, HardwareItemWithOrWithoutItsDevice) {
  const std::string mounted =
      "|hwname (C):corehw |hwtype (C):router |device_status (C):IN_USE |location (C):rack A "
      "|responsible  (C):net team |user_comments (C):none |devicename (C):core1 "
      "|serialnb  (C):SN-CORE |";
  const std::string spare =
      "|hwname (C):none |hwtype (C):disk |device_status (C):SPARE |location (C):shelf "
      "|responsible  (C):none |user_comments (C):kept |devicename (C):none "
      "|serialnb  (C):SN-SPARE |";
  for (const std::string& expected : {mounted, spare}) {
    const char* serial = expected == mounted ? "SN-CORE" : "SN-SPARE";
    const int need = static_cast<int>(expected.size()) + 1;
    EXPECT_EQ(Row(need, [&](int* l, char* r) { return GetHWDeviceRow_serialnb(serial, l, r, err_); }), 0);
    EXPECT_EQ(row(), expected);
    EXPECT_EQ(Row(need - 1, [&](int* l, char* r) { return GetHWDeviceRow_serialnb(serial, l, r, err_); }), -1);
    EXPECT_EQ(len_, need);
  }
  Row(1000, [&](int* l, char* r) { return GetHWDeviceRow_serialnb("SN-BAD", l, r, err_); });
  EXPECT_NE(row().find("|device_status (C):INVALID |"), std::string::npos);
  // A null status cannot be read: the item is answered as missing.
  for (const char* serial : {"SN-NULLST", "SN-NOPE"}) {
    EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetHWDeviceRow_serialnb(serial, l, r, err_); }), 0);
    EXPECT_EQ(row(), "NO_ROWS_SELECTED");
    EXPECT_EQ(Err(), "ERROR in GetHWDeviceRow_serialnb : NO_ROWS_SELECTED");
  }
  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetHWDeviceRow_serialnb(nullptr, l, r, err_); }), -1);
  EXPECT_EQ(Err(), "ERROR in GetHWDeviceRow_serialnb : serialnb MUST be given");
}

TEST_F(RowLookups, BoardComponentRows) {
  const std::string adc1 =
      "|cpntname (C):adc1 |cpnttype (C):ADC |cpntid  (I):11 |snbid (I):1 "
      "|motherboard (C):board1 |serialnb  (C):CS-1 |";
  Row(1000, [&](int* l, char* r) { return GetBoardCpntRow_cpntname("adc1", l, r, err_); });
  EXPECT_EQ(row(), adc1);
  Row(1000, [&](int* l, char* r) { return GetBoardCpntRow_cpntid(12, l, r, err_); });
  EXPECT_NE(row().find("|snbid (I):2 |motherboard (C):board1 |serialnb  (C):none |"),
            std::string::npos) << row();
  const int need = static_cast<int>(adc1.size()) + 1;
  EXPECT_EQ(Row(need - 1, [&](int* l, char* r) { return GetBoardCpntRow_cpntname("adc1", l, r, err_); }), -1);
  EXPECT_EQ(len_, need);
  EXPECT_EQ(Err(), "ERROR in GetBoardCpntRow_cpntname : BUFFER_TOO_SMALL");

  // Nothing mounted, the board itself, or no such component: the fetch
  // status and the database's message.
  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetBoardCpntRow_cpntname("fpga|x", l, r, err_); }), 100);
  EXPECT_EQ(row(), "NO_ROWS_SELECTED");
  EXPECT_EQ(Err(), "ERROR in GetBoardCpntRow_cpntname : no data found");
  EXPECT_EQ(printed_, "Error - OCI_NODATA OCIFETCH unsuccessful\n");
  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetBoardCpntRow_cpntid(-1, l, r, err_); }), 100);
  EXPECT_EQ(printed_, "Error - OCI_NODATA OCIFETCH  unsuccessful\n");
  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetBoardCpntRow_cpntname(nullptr, l, r, err_); }), -1);
  EXPECT_EQ(Err(), "ERROR in GetBoardCpntRow_cpntname : cpntname MUST be given");
}

TEST_F(RowLookups, LinksInsideABoard) {
  const std::string link1 =
      "|linkid (I):1 |cpntfrom (C):board1 |cpntto (C):adc1 |port_nbrfrom (C):50 "
      "|port_nbrto (C):3 |link_type (C):cu |bidirectional_link_used (I):0 |lkused (I):1 |";
  Row(1000, [&](int* l, char* r) { return GetMicroConnectivityRow_lkid(1, l, r, err_); });
  EXPECT_EQ(row(), link1);
  EXPECT_EQ(printed_.rfind("value of selectconn  select t.linkid,", 0), 0u) << printed_;

  std::string at_node = link1;
  at_node.replace(at_node.find("cpntfrom"), 8, "cpnt_from");
  at_node.replace(at_node.find("cpntto"), 6, "cpnt_to");
  for (int way : {0, 2, -1}) {
    Row(1000, [&](int* l, char* r) { return GetMicroConnectivityRow_node(-1, 50, way, l, r, err_); });
    EXPECT_EQ(row(), at_node);
    EXPECT_EQ(printed_, "after fetching 2\n");
    Row(1000, [&](int* l, char* r) { return GetMicroConnectivityRow_cpntname("motherboard", 50, way, l, r, err_); });
    std::string by_name = at_node;
    by_name.replace(by_name.find("port_nbrfrom (C)"), 16, "port_nbrfrom (I)");
    by_name.replace(by_name.find("port_nbrto (C)"), 14, "port_nbrto (I)");
    EXPECT_EQ(row(), by_name);
  }
  Row(1000, [&](int* l, char* r) { return GetMicroConnectivityRow_node(12, 1, 1, l, r, err_); });
  EXPECT_NE(row().find("|cpnt_from (C):adc1 |cpnt_to (C):adc2 |port_nbrfrom (C):4 "), std::string::npos);
  Row(1000, [&](int* l, char* r) { return GetMicroConnectivityRow_cpntname("adc2", 52, 2, l, r, err_); });
  EXPECT_EQ(row(), "NO_ROWS_SELECTED");
  Row(1000, [&](int* l, char* r) { return GetMicroConnectivityRow_node(-1, 52, 1, l, r, err_); });
  EXPECT_NE(row().find("|cpnt_from (C):adc2 |cpnt_to (C):board1 |port_nbrfrom (C):2 "
                       "|port_nbrto (C):52 |"), std::string::npos) << row();

  // A link leaves board port 50 but none arrives there.
  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetMicroConnectivityRow_node(-1, 50, 1, l, r, err_); }), 100);
  EXPECT_EQ(row(), "NO_ROWS_SELECTED");
  EXPECT_EQ(printed_, "Error - OCI_NODATA OCIFETCH unsuccessful\n");
  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetMicroConnectivityRow_lkid(99, l, r, err_); }), 100);
  EXPECT_EQ(Err(), "ERROR in GetMicroConnectivityRow_lkid : no data found");

  const int need = static_cast<int>(link1.size()) + 1;
  EXPECT_EQ(Row(need - 1, [&](int* l, char* r) { return GetMicroConnectivityRow_lkid(1, l, r, err_); }), -1);
  EXPECT_EQ(len_, need);
  EXPECT_EQ(Err(), "ERROR in GetMicroConnectivityRow_lkid : NOT ENOUGH MEMORY");
  EXPECT_EQ(Row(need - 1, [&](int* l, char* r) { return GetMicroConnectivityRow_node(-1, 50, 0, l, r, err_); }), -1);
  EXPECT_EQ(Err(), "ERROR in GetMicroConnectivityRow_node : NOT ENOUGH SPACE");
  EXPECT_EQ(Row(need - 1, [&](int* l, char* r) {
              return GetMicroConnectivityRow_cpntname("motherboard", 50, 0, l, r, err_);
            }), -1);
  EXPECT_EQ(Err(), "ERROR in GetMicroConnectivityRow_cpntname : NOT ENOUGH SPACE");
  EXPECT_EQ(Row(need, [&](int* l, char* r) { return GetMicroConnectivityRow_lkid(1, l, r, err_); }), 0);
}

TEST_F(RowLookups, HardwareComponentRows) {
  const std::string mounted =
      "|snbid (I):1 |hwname (C):adc1hw |hwtype (C):adc |cpnt_status (C):IN_USE "
      "|replacable (I):1 |location (C):SN-BOARD |responsible  (C):daq |user_comment (C):none "
      "|cpntname (C):adc1 |serialnb  (C):CS-1 |";
  const std::string alone =
      "|hwname (C):f3 |hwtype (C):fpga |cpnt_status (C):INVALID |replacable (I):1 "
      "|location (C):none |responsible  (C):none |user_comment (C):old |cpntname (C):none "
      "|serialnb  (C):CS-3 |";
  for (const std::string& expected : {mounted, alone}) {
    const char* serial = expected == mounted ? "CS-1" : "CS-3";
    const int need = static_cast<int>(expected.size()) + 1;
    EXPECT_EQ(Row(need, [&](int* l, char* r) { return GetHWCpntRow_serialnb(serial, l, r, err_); }), 0);
    EXPECT_EQ(row(), expected);
    EXPECT_EQ(Row(need - 1, [&](int* l, char* r) { return GetHWCpntRow_serialnb(serial, l, r, err_); }), -1);
    EXPECT_EQ(len_, need);
  }
  // Without a serial number: "none" when mounted, empty when not.
  Row(1000, [&](int* l, char* r) { return GetHWCpntRow_snbid(2, l, r, err_); });
  EXPECT_NE(row().find("|cpnt_status (C):SPARE |"), std::string::npos);
  EXPECT_NE(row().find("|cpntname (C):adc2 |serialnb  (C):none |"), std::string::npos) << row();
  Row(1000, [&](int* l, char* r) { return GetHWCpntRow_snbid(5, l, r, err_); });
  EXPECT_EQ(row().rfind("|hwname (C):f5 |", 0), 0u) << row();
  EXPECT_NE(row().find("|cpntname (C):none |serialnb  (C): |"), std::string::npos) << row();

  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetHWCpntRow_serialnb("CS-NOPE", l, r, err_); }), 100);
  EXPECT_EQ(row(), "NO_ROWS_SELECTED");
  EXPECT_EQ(Err(), "ERROR in GetHWCpntRow_serialnb : no data found");
  EXPECT_NE(printed_.find("Error - OCI_NODATA OCIFETCH unsuccessful\n"), std::string::npos);
  EXPECT_EQ(Row(100, [&](int* l, char* r) { return GetHWCpntRow_serialnb(nullptr, l, r, err_); }), -1);
  EXPECT_EQ(Err(), "ERROR in GetHWCpntRow_serialnb : serialnb MUST be given");
}

}  // namespace
