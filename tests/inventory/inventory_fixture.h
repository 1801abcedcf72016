// A connected library against a freshly reset database (subsystems DAQ 2,
// TFC 3, ECS 5), with helpers that write devices, hardware, components,
// ports and links as plain SQL, so that each test sets up exactly the
// inventory it needs.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "connected_fixture.h"
#include "identity.h"

// Gives a server function another body for one test, then puts the
// original back.
class ServerFunctionSwap {
 public:
  ServerFunctionSwap(const std::string& signature, const std::string& body)
      : original_(testdb::value("select pg_get_functiondef('" + signature +
                                "'::regprocedure)")) {
    const std::string name = signature.substr(0, signature.find('('));
    testdb::exec("CREATE OR REPLACE FUNCTION " + name + "(" +
                 testdb::value("select pg_get_function_arguments('" + signature +
                               "'::regprocedure)") +
                 ") RETURNS integer LANGUAGE sql AS '" + body + "'");
  }
  ~ServerFunctionSwap() { testdb::exec(original_); }

 private:
  std::string original_;
};

class InventoryTest : public ConnectedTest {
 protected:
  static std::string Q(const std::string& text) { return "'" + text + "'"; }
  static std::string Value(const std::string& sql) { return testdb::value(sql); }
  static std::vector<std::string> Column(const std::string& sql) { return testdb::column(sql); }

  // Hardware device; status 1 IN_USE ... 6 DESTROYED.
  static void Hardware(const std::string& serial, int status,
                       const std::string& location = "store") {
    testdb::exec("insert into vexa_hw_devices(serialnb,hwtype,device_status,location) values (" +
                 Q(serial) + ",'board'," + std::to_string(status) + "," + Q(location) + ")");
  }
  // Functional device of the subsystem set, with the hardware serial (none
  // when empty), which is created IN_USE.
  static void Device(const std::string& name, const std::string& serial, int subsystems = 2,
                     const std::string& location = "rack") {
    if (!serial.empty()) Hardware(serial, 1, "nowhere");
    testdb::exec("insert into vexa_lg_devices(devicename,devicetypeID,deviceid,nodeused,"
                 "system_name,serialnb,location) values (" +
                 Q(name) + ",1,nextval('vexa_lg_deviceseq')," + (serial.empty() ? "0" : "1") +
                 "," + std::to_string(subsystems) + "," + (serial.empty() ? "NULL" : Q(serial)) +
                 "," + Q(location) + ")");
  }
  // A link from an output port of one device to an input port of another,
  // in use.
  static void Link(const std::string& from, const std::string& to) {
    testdb::exec(
        "insert into vexa_port_properties(portid,deviceid,port_nbr,port_way) "
        "select nextval('vexa_portseq'),deviceid," + Q(to) + ",2 from vexa_lg_devices "
        "where devicename=" + Q(from) + ";"
        "insert into vexa_port_properties(portid,deviceid,port_nbr,port_way) "
        "select nextval('vexa_portseq'),deviceid," + Q(from) + ",1 from vexa_lg_devices "
        "where devicename=" + Q(to) + ";"
        "insert into vexa_macroscopic_connectivity(linkid,portidfrom,portidto,lkused) "
        "select nextval('vexa_macroconnseq'),f.portid,t.portid,1 from vexa_port_properties f, "
        "vexa_port_properties t where f.port_nbr=" + Q(to) + " and f.port_way=2 and "
        "f.deviceid=(select deviceid from vexa_lg_devices where devicename=" + Q(from) + ") "
        "and t.port_nbr=" + Q(from) + " and t.port_way=1 and "
        "t.deviceid=(select deviceid from vexa_lg_devices where devicename=" + Q(to) + ")");
  }
  // The switches sw1 and sw2 with the hardware SN1 and SN2, linked both
  // ways.
  static void LinkedSwitches() {
    Device("sw1", "SN1");
    Device("sw2", "SN2");
    Link("sw1", "sw2");
    Link("sw2", "sw1");
  }
  // Hardware component named hwname, located on a board's serial number or
  // elsewhere.
  static void HwCpnt(const std::string& serial, const std::string& hwname, int status,
                     const std::string& location, int replacable = 1) {
    testdb::exec("insert into vexa_hw_cpnts(snbid,serialnb,hwname,cpnt_status,replacable,location)"
                 " values (nextval('VEXA_HW_CPNTS_SNBID_SEQ')," + Q(serial) + "," + Q(hwname) +
                 "," + std::to_string(status) + "," + std::to_string(replacable) + "," +
                 Q(location) + ")");
  }
  // Component position on a board, holding the hardware component serial
  // (none when empty).
  static void Cpnt(const std::string& name, const std::string& board, const std::string& serial) {
    testdb::exec("insert into vexa_lg_cpnts(cpntname,cpntid,snbid,motherboardid) select " +
                 Q(name) + ",nextval('VEXA_LG_CPNTS_DEVICEID_SEQ'),(select snbid from "
                 "vexa_hw_cpnts where serialnb=" + (serial.empty() ? "NULL" : Q(serial)) +
                 "),deviceid from vexa_lg_devices where devicename=" + Q(board));
  }
  static void MicroLink(const std::string& from, const std::string& to) {
    testdb::exec("insert into vexa_microscopic_connectivity(linkid,cpntidfrom,cpntidto,lkused) "
                 "select nextval('vexa_microconnseq'),f.cpntid,t.cpntid,1 from vexa_lg_cpnts f,"
                 "vexa_lg_cpnts t where f.cpntname=" + Q(from) + " and t.cpntname=" + Q(to));
  }

  // What a refused change must leave as it was.
  static std::string Snapshot() {
    return Value(
        "select concat((select string_agg(concat_ws(',',serialnb,device_status,location),';' "
        "order by serialnb) from vexa_hw_devices),'/',(select string_agg(concat_ws(',',"
        "devicename,serialnb,nodeused),';' order by devicename) from vexa_lg_devices),'/',"
        "(select count(*) from vexa_device_history),'/',(select string_agg(concat_ws(',',"
        "snbid,cpnt_status,location),';' order by snbid) from vexa_hw_cpnts),'/',"
        "(select string_agg(concat_ws(',',cpntname,snbid),';' order by cpntname) from "
        "vexa_lg_cpnts),'/',(select count(*) from vexa_cpnt_history),'/',(select "
        "string_agg(concat_ws(',',linkid,lkused),';' order by linkid) from "
        "vexa_macroscopic_connectivity))");
  }
  // History rows of a serial number or device, oldest first, as
  // "status|device|location|date".
  static std::vector<std::string> DeviceHistory(const std::string& where) {
    return Column("select concat_ws('|',h.device_status,coalesce(d.devicename,'-'),"
                  "coalesce(h.location,'-'),to_char(h.status_change,'YY/MM/DD/HH24/MI/SS')) "
                  "from vexa_device_history h left join vexa_lg_devices d using (deviceid) "
                  "where " + where + " order by h.historydeviceid");
  }
  // Hardware components as "serial,status,location;...", positions as
  // "name,serial;..." ("-" when empty).
  static std::string CpntStates() {
    return Value("select string_agg(concat_ws(',',serialnb,cpnt_status,location),';' order by "
                 "serialnb) from vexa_hw_cpnts where snbid<>-1");
  }
  static std::string Positions() {
    return Value("select string_agg(concat_ws(',',c.cpntname,coalesce(h.serialnb,'-')),';' order "
                 "by c.cpntname) from vexa_lg_cpnts c left join vexa_hw_cpnts h using (snbid) "
                 "where c.cpntid<>-1");
  }
  // Component history rows as "status|serial|position|location|date", the
  // date in the given format.
  static std::vector<std::string> CpntHistory(const std::string& date_format) {
    return Column("select concat_ws('|',p.cpnt_status,coalesce(h.serialnb,'-'),"
                  "coalesce(c.cpntname,'-'),p.location,to_char(p.status_change,'" + date_format +
                  "')) from vexa_cpnt_history p left join vexa_hw_cpnts h using (snbid) left join "
                  "vexa_lg_cpnts c using (cpntid) order by p.historycpntid");
  }
  // The items of a packed list that f(list, &len) writes, the marker alone,
  // or the result code and ErrMess.
  template <class F>
  std::vector<std::string> List(F f) {
    char list[4000];
    int len = sizeof list;
    const int rc = Quiet([&] { return f(list, &len); });
    if (rc != 0) return {std::to_string(rc) + ": " + err_};
    if (std::strcmp(list, "NO_ROWS_SELECTED") == 0) return {list};
    std::vector<std::string> items;
    for (int at = 0; at < len; at += static_cast<int>(items.back().size()) + 1)
      items.emplace_back(list + at);
    return items;
  }
  static std::string Err(const char* err) { return err; }
};
