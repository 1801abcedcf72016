// The inserts of the sweep (refusal_cases.h), against sweep_network.h.
#include <string>

#include "ferrule.h"
#include "refusal_cases.h"

namespace sweep {
namespace {

const std::string kText101(101, 'x'), kText201(201, 'x'), kText1001(1001, 'x');

}  // namespace

const char* const kOver100 = kText101.c_str();
const char* const kOver200 = kText201.c_str();
const char* const kOver1000 = kText1001.c_str();

namespace {

CachedRow DeviceType(const char* subsystems, const char* name) {
  return [=](int first, int last, char* e) {
    return InsertMultipleDeviceTypes(subsystems, name, 1, 1, "new", nullptr, first, last, e);
  };
}
SingleCall OneDeviceType(const char* subsystems, const char* name) {
  return [=](char* e) { return InsertDeviceType(subsystems, name, 1, 1, "new", nullptr, 1, e); };
}

CachedRow Device(const char* subsystems, const char* name, const char* type, const char* serial,
                 const char* location = "rack") {
  return [=](int first, int last, char* e) {
    return InsertMultipleFunctionalDevices(subsystems, name, type, 0, 0, serial, "hw", "me", "new",
                                           location, first, last, e);
  };
}
SingleCall OneDevice(const char* subsystems, const char* name, const char* type,
                     const char* serial, const char* location = "rack") {
  return [=](char* e) {
    return InsertFunctionalDevice(subsystems, name, type, 0, 0, serial, "hw", "me", "new",
                                  location, 1, e);
  };
}

// A port with an address when ip is given (its name ipname).
CachedRow Port(const char* device, const char* nbr, const char* ip = nullptr,
               const char* ipname = nullptr, int way = 1) {
  return [=](int first, int last, char* e) {
    return InsertMultiplePorts(device, nbr, 1, way, 1000, 0, nullptr, "bia", ip, ipname,
                               "255.0.0.0", "mac", "phy", first, last, e);
  };
}
SingleCall OnePort(const char* device, const char* nbr, const char* ip = nullptr,
                   const char* ipname = nullptr, int way = 1) {
  return [=](char* e) {
    return InsertPort(device, nbr, 1, way, 1000, 0, nullptr, "bia", ip, ipname, "255.0.0.0", "mac",
                      "phy", 1, e);
  };
}

CachedRow Spare(const char* name, const char* serial) {
  return [=](int first, int last, char* e) {
    return InsertMultipleSpareDevices(name, "hw", serial, "me", "new", "shelf", first, last, e);
  };
}
SingleCall OneSpare(const char* name, const char* serial) {
  return [=](char* e) { return InsertSpareDevice(name, "hw", serial, "me", "new", "shelf", 1, e); };
}

CachedRow SparePort(const char* serial, const char* nbr, const char* bia = "bia") {
  return [=](int first, int last, char* e) {
    return InsertMultipleSparePorts(serial, nbr, 1, nullptr, bia, "mac", first, last, e);
  };
}
SingleCall OneSparePort(const char* serial, const char* nbr, const char* bia = "bia") {
  return [=](char* e) { return InsertSparePort(serial, nbr, 1, nullptr, bia, "mac", 1, e); };
}

// Mounted on board when board is given, else spare hardware on a shelf.
CachedRow Component(const char* name, const char* board, const char* serial, int replacable = 0,
                    const char* type = "chip") {
  return [=](int first, int last, char* e) {
    return InsertMultipleBoardCpnts(name, type, replacable, board, serial, "hw", "me", "new",
                                    "shelf", first, last, e);
  };
}

CachedRow Link(const char* from, const char* port_from, const char* to, const char* port_to,
               const char* type = "data", const char* info = "new") {
  return [=](int first, int last, char* e) {
    return InsertMultipleMacroLinks(from, to, port_from, port_to, nullptr, nullptr, type, info, 0,
                                    first, last, e);
  };
}
SingleCall OneLink(const char* from, const char* port_from, const char* to, const char* port_to,
                   const char* type = "data", const char* info = "new") {
  return [=](char* e) {
    return InsertMacroLink(from, to, port_from, port_to, nullptr, nullptr, type, info, 0, 1, e);
  };
}

// Component ports are numbers of their own; a board end names a portid.
CachedRow MicroLink(const char* from, const char* to, const char* type = "data") {
  return [=](int first, int last, char* e) {
    return InsertMultipleMicroLinks(from, to, 1, 2, type, 0, first, last, e);
  };
}

CachedRow SimpleType(const char* name) {
  return [=](int first, int last, char* e) {
    return InsertMultipleSimpleLinkTypes(name, first, last, e);
  };
}
SingleCall OneSimpleType(const char* name) {
  return [=](char* e) { return InsertSimpleLinkType(name, 1, e); };
}
CachedRow CompositeType(const char* name, const char* list) {
  return [=](int first, int last, char* e) {
    return InsertMultipleCompositeLinkTypes(name, list, first, last, e);
  };
}
SingleCall OneCompositeType(const char* name, const char* list) {
  return [=](char* e) { return InsertCompositeLinkType(name, list, 1, e); };
}

// A test board with two ports: addresses and port numbers as packed lists.
SingleCall TestBoard(const std::string& ips, const std::string& numbers,
                     const char* location = "lab") {
  return [=](char* e) {
    const std::string names("a\0b\0", 4), subnets("m\0m\0", 4), types("t\0t\0", 4);
    const int ways[] = {1, 1};
    return InsertTestFunctionalDevice(location, ips.data(), static_cast<int>(ips.size()),
                                      names.data(), static_cast<int>(names.size()),
                                      subnets.data(), static_cast<int>(subnets.size()),
                                      numbers.data(), static_cast<int>(numbers.size()),
                                      types.data(), static_cast<int>(types.size()), ways, 2, 1, e);
  };
}
// A list whose number is above the largest integer: 7907*7919*3*5*7.
constexpr const char* kTooLarge = "far1,far2,ctrl,mgmt,aux";

const std::string kTwoAddresses("10.7.0.1\0" "10.7.0.2\0", 18);

}  // namespace

std::vector<ExportSweep> InsertSweeps() {
  return {
      {"DeviceTypes",
       DeviceType("DAQ", "T1"),
       DeviceType("DAQ,ECS", "T2"),
       {{"unknown subsystem", DeviceType("DAQ,NOPE", "T3"), Leaves::AcceptedRows},
        {"name taken", DeviceType("DAQ", "SWITCH"), Leaves::Nothing},
        {"name over its column", DeviceType("DAQ", kOver100), Leaves::Nothing}},
       {{"unknown subsystem", OneDeviceType("DAQ,NOPE", "T3")},
        {"name taken", OneDeviceType("DAQ", "SWITCH")},
        {"name over its column", OneDeviceType("DAQ", kOver100)}}},

      {"FunctionalDevices",
       Device("DAQ", "d1", "SWITCH", "SN-d1"),
       Device("DAQ,TFC", "d2", "BOARD", "SN-d2"),
       {{"unknown device type", Device("DAQ", "d3", "NOTYPE", "SN-d3"), Leaves::AcceptedRows},
        // The refused row's serial number is the next row's, which gets it.
        {"unknown device type, serial number of the next row",
         Device("DAQ", "d2", "NOTYPE", "SN-d2"), Leaves::AcceptedRows},
        {"unknown subsystem", Device("DAQ,NOPE", "d3", "SWITCH", "SN-d3"), Leaves::AcceptedRows},
        {"name taken", Device("DAQ", "sw1", "SWITCH", "SN-d3"), Leaves::Nothing},
        {"serial number taken", Device("DAQ", "d3", "SWITCH", "SN-sw1"), Leaves::Nothing},
        {"location over its column", Device("DAQ", "d3", "SWITCH", "SN-d3", kOver200),
         Leaves::Nothing}},
       {{"unknown device type", OneDevice("DAQ", "d3", "NOTYPE", "SN-d3")},
        {"unknown subsystem", OneDevice("DAQ,NOPE", "d3", "SWITCH", "SN-d3")},
        {"name taken", OneDevice("DAQ", "sw1", "SWITCH", "SN-d3")},
        {"serial number taken", OneDevice("DAQ", "d3", "SWITCH", "SN-sw1")},
        {"location over its column", OneDevice("DAQ", "d3", "SWITCH", "SN-d3", kOver200)}}},

      {"Ports",
       Port("sw2", "5"),
       Port("sw2", "6", "10.0.0.6", "ip6"),
       {{"unknown device", Port("ghost", "7"), Leaves::AcceptedRows},
        {"unknown device, with an address", Port("ghost", "7", "10.0.0.7", "ip7"),
         Leaves::AcceptedRows},
        // The next row records the same address under its own name.
        {"unknown device, with the next row's address", Port("ghost", "7", "10.0.0.6", "orphan"),
         Leaves::AcceptedRows},
        {"port taken", Port("sw1", "1", nullptr, nullptr, 2), Leaves::Nothing},
        {"port taken, with an address", Port("sw1", "1", "10.0.0.7", "ip7", 2), Leaves::Nothing},
        {"number over its column", Port("sw2", kOver100, "10.0.0.7", "ip7"), Leaves::Nothing}},
       {{"unknown device", OnePort("ghost", "7")},
        {"unknown device, with an address", OnePort("ghost", "7", "10.0.0.7", "ip7")},
        {"port taken, with an address", OnePort("sw1", "1", "10.0.0.7", "ip7", 2)},
        {"number over its column", OnePort("sw2", kOver100, "10.0.0.7", "ip7")}}},

      {"SpareDevices",
       Spare("s1", "SP-a"),
       Spare("s2", "SP-b"),
       {{"serial number taken", Spare("s3", "SN-sw1"), Leaves::Nothing},
        {"name over its column", Spare(kOver100, "SP-c"), Leaves::Nothing}},
       {{"no serial number", OneSpare("s3", nullptr)},
        {"serial number taken", OneSpare("s3", "SN-sw1")},
        {"name over its column", OneSpare(kOver100, "SP-c")}}},

      {"SparePorts",
       SparePort("SP-1", "1"),
       SparePort("SP-1", "2"),
       {{"bia over its column", SparePort("SP-1", "3", kOver100), Leaves::Nothing}},
       {{"bia over its column", OneSparePort("SP-1", "3", kOver100)}}},

      {"BoardComponents",
       Component("c3", "board1", "CS-3"),
       Component("c4", nullptr, "CS-4"),
       {{"unknown board", Component("c5", "ghost", "CS-5"), Leaves::AcceptedRows},
        {"unknown board, without a serial number", Component("c5", "ghost", nullptr),
         Leaves::AcceptedRows},
        {"name taken", Component("c1", "board1", "CS-5"), Leaves::Nothing},
        {"replaceable without a serial number", Component("c5", "board1", nullptr, 1),
         Leaves::Nothing},
        {"type over its column", Component("c5", "board1", "CS-5", 0, kOver100),
         Leaves::Nothing}},
       {}},

      {"MacroLinks",
       Link("sw1", "2", "sw2", "2"),
       Link("sw3", "2", "sw2", "1", "ctrl"),
       {{"unknown device", Link("ghost", "1", "sw2", "2"), Leaves::AcceptedRows},
        {"unknown port", Link("sw1", "9", "sw2", "2"), Leaves::AcceptedRows},
        {"unknown link type", Link("sw1", "2", "sw2", "2", "nolink"), Leaves::AcceptedRows},
        {"no common subsystem", Link("sw1", "2", "sw4", "1"), Leaves::AcceptedRows},
        {"information over its column", Link("sw1", "2", "sw2", "2", "data", kOver1000),
         Leaves::Nothing}},
       {{"unknown device", OneLink("ghost", "1", "sw2", "2")},
        {"unknown link type", OneLink("sw1", "2", "sw2", "2", "nolink")},
        {"no common subsystem", OneLink("sw1", "2", "sw4", "1")},
        {"information over its column", OneLink("sw1", "2", "sw2", "2", "data", kOver1000)}}},

      {"MicroLinks",
       MicroLink("c1", "c2"),
       MicroLink("c2", "c1", "ctrl"),
       {{"unknown component", MicroLink("c1", "ghost"), Leaves::AcceptedRows},
        {"unknown link type", MicroLink("c1", "c2", "nolink"), Leaves::AcceptedRows}},
       {}},

      {"SimpleLinkTypes",
       SimpleType("lt1"),
       SimpleType("lt2"),
       {{"name taken", SimpleType("data"), Leaves::Nothing},
        {"name over its column", SimpleType(kOver100), Leaves::Nothing}},
       {{"no name", OneSimpleType(nullptr)},
        {"name taken", OneSimpleType("data")},
        {"name over its column", OneSimpleType(kOver100)}}},

      {"CompositeLinkTypes",
       CompositeType("lt1", "data,ctrl"),
       CompositeType("lt2", "'mgmt','aux'"),
       // Two parts each: a list of one simple type is refused for its list.
       {{"name taken", CompositeType("ctrl", "data,opt"), Leaves::Nothing},
        {"name over its column", CompositeType(kOver100, "data,opt"), Leaves::Nothing},
        {"unknown type in the list", CompositeType("lt3", "data,nosuch"), Leaves::AcceptedRows},
        {"one simple type", CompositeType("lt3", "data"), Leaves::AcceptedRows},
        {"one composite type", CompositeType("lt3", "ca"), Leaves::AcceptedRows},
        {"another type's simple types", CompositeType("lt3", "aux,ctrl"), Leaves::AcceptedRows},
        {"number too large", CompositeType("lt3", kTooLarge), Leaves::AcceptedRows}},
       {{"no list", OneCompositeType("lt3", nullptr)},
        {"name taken", OneCompositeType("ctrl", "data,opt")},
        {"name over its column", OneCompositeType(kOver100, "data,opt")},
        {"unknown type in the list", OneCompositeType("lt3", "'data','nosuch'")},
        {"one composite type, twice", OneCompositeType("lt3", "ca,ca")},
        {"another type's simple types", OneCompositeType("lt3", "ca,aux")},
        {"number too large", OneCompositeType("lt3", kTooLarge)}}},

      {"TestBoards",
       nullptr,
       nullptr,
       {},
       {{"port given twice", TestBoard(kTwoAddresses, std::string("1\0" "1\0", 4))},
        {"address taken", TestBoard(std::string("10.0.0.3\0" "10.7.0.2\0", 18),
                                    std::string("1\0" "2\0", 4))},
        {"address over its column",
         TestBoard(std::string(kOver100) + '\0' + "10.7.0.2" + '\0', std::string("1\0" "2\0", 4))},
        {"location over its column",
         TestBoard(kTwoAddresses, std::string("1\0" "2\0", 4), kOver200)}}},
  };
}

}  // namespace sweep
