// The schema's tables, the routing and destination tables that the server
// builds, and what is read back from them: the ports of a device towards a
// subsystem, the routes of a device, the paths inside a board. Each answers
// the library's result code and writes the ErrMess text into its ErrMess
// argument.
#include "ferrule.h"
#include "ctrl_values.h"
#include "lookup_patterns.h"
#include "output_lists.h"
#include "wrappers.h"

namespace ferrule::ctrl {
namespace {

constexpr int kErrMessSize = 1000;
constexpr int kPortListSize = 10000;

// The first sizes of the routing table's lists, in the library's order.
constexpr int kDestinationNamesSize = 900000;
constexpr int kAddressesSize = 200000;
constexpr int kNextPortsSize = 900000;

// The first sizes of a board's paths: rows, and bytes of each text.
constexpr int kMicroRows = 2000;
constexpr int kMicroTextSize = 10000;

// The CTRL outputs of a path inside a board.
struct MicroPathOutputs {
  DynVar* nfrom_list;
  TextVar* lastlkfrom;
  TextVar* lastlkto;
  DynVar* nto_list;
  DynVar* pid_list;
  DynVar* lkpos_list;
  TextVar* ErrMess;
};

using MicroPathCall =
    std::function<int(int* pathid, int* link_pos, int* len_array, char* nfrom, int* len_nfrom,
                      char* nto, int* len_nto, char* last_nfrom, int* len_last_nfrom,
                      char* last_nto, int* len_last_nto, char* err)>;

// One element per link of every path; the ends of the last link in the two
// text arguments. A second call when some output wrote back a larger size
// (the library then reads NO_ERROR in ErrMess).
int FillMicroPaths(const MicroPathOutputs& out, const MicroPathCall& call) {
  OutputLists outputs;
  IntBuffer& ids = outputs.Ints(kMicroRows, {out.pid_list, out.lkpos_list});
  TextBuffer& nfrom = outputs.Text(kMicroTextSize, out.nfrom_list);
  TextBuffer& nto = outputs.Text(kMicroTextSize, out.nto_list);
  TextBuffer& last_nfrom = outputs.Text(kMicroTextSize, nullptr);
  TextBuffer& last_nto = outputs.Text(kMicroTextSize, nullptr);
  const ListCallAnswer answer = FillListsFromCall(
      outputs, RetryWhen::SizeGrew,
      [&](char* err) {
        return call(ids.data(0), ids.data(1), ids.length(), nfrom.data(), nfrom.length(),
                    nto.data(), nto.length(), last_nfrom.data(), last_nfrom.length(),
                    last_nto.data(), last_nto.length(), err);
      },
      [&] { return ids.Count(); });
  const bool found = answer.result == 0;
  out.lastlkfrom->setValue(found ? last_nfrom.Text().c_str() : answer.err.c_str());
  out.lastlkto->setValue(found ? last_nto.Text().c_str() : answer.err.c_str());
  out.ErrMess->setValue(answer.err.c_str());
  return answer.result;
}

// The three queries of paths inside a board take their inputs, then the
// same outputs.
template <class Query, class... Inputs>
int QueryMicroPaths(const MicroPathOutputs& out, Query query, Inputs... inputs) {
  return FillMicroPaths(out, [&](auto... outputs) { return query(inputs..., outputs...); });
}

// The routing and the destination table of a device are built alike.
int BuildTable(int (*build)(const char* devicename, int roundtrip, char* err),
               TextVar* devicename, IntegerVar* roundtrip, TextVar* ErrMess) {
  const std::string device = TextOf(devicename);
  const int hops = IntOf(roundtrip);
  return CallForStatus(kErrMessSize, ErrMess,
                       [&](char* err) { return build(device.c_str(), hops, err); });
}

}  // namespace

const Variable* PVSSCreateTableSchema(TextVar* ErrMess) {
  static IntegerVar result;
  result = CallForStatus(kErrMessSize, ErrMess, CreateTableSchema);
  return &result;
}

const Variable* PVSSDropTableSchema(TextVar* ErrMess) {
  static IntegerVar result;
  result = CallForStatus(kErrMessSize, ErrMess, DropTableSchema);
  return &result;
}

const Variable* PVSSCreateRoutingTable(TextVar* devicename, IntegerVar* roundtrip,
                                       TextVar* ErrMess) {
  static IntegerVar result;
  result = BuildTable(CreateRoutingTable, devicename, roundtrip, ErrMess);
  return &result;
}

const Variable* PVSSCreateDestinationTable(TextVar* devicename, IntegerVar* roundtrip,
                                           TextVar* ErrMess) {
  static IntegerVar result;
  result = BuildTable(CreateDestinationTable, devicename, roundtrip, ErrMess);
  return &result;
}

const Variable* PVSSGetPortPerSubsystem(TextVar* dfrom, TextVar* system_name, DynVar* pfrom_list,
                                        TextVar* ErrMess) {
  static IntegerVar result;
  const std::string device = TextOf(dfrom), subsystem = TextOf(system_name);
  result = FillTextListForStatus(
      *pfrom_list, kPortListSize, kErrMessSize,
      /*no_rows_in_errmess=*/true, ErrMess, [&](int* len, char* list, char* err) {
        return GetPortPerSubsystem(device.c_str(), subsystem.c_str(), len, list, err);
      });
  return &result;
}

// switch_name is the start device's id as decimal text. Element i of every
// list belongs to route i.
const Variable* PVSSLoadRoutingTable(TextVar* switch_name, DynVar* destinname_list,
                                     DynVar* nextport_list, DynVar* ipnext_list,
                                     DynVar* ipdestin_list, DynVar* subnetnext_list,
                                     DynVar* macaddnext_list, TextVar* ErrMess) {
  static IntegerVar result;
  const std::string start = TextOf(switch_name);
  OutputLists outputs;
  TextBuffer& names = outputs.Text(kDestinationNamesSize, destinname_list);
  TextBuffer& destinations = outputs.Text(kAddressesSize, ipdestin_list);
  TextBuffer& ports = outputs.Text(kNextPortsSize, nextport_list);
  TextBuffer& next_addresses = outputs.Text(kAddressesSize, ipnext_list);
  TextBuffer& subnets = outputs.Text(kAddressesSize, subnetnext_list);
  TextBuffer& macs = outputs.Text(kAddressesSize, macaddnext_list);
  const ListCallAnswer answer = FillListsFromCall(
      outputs, RetryWhen::Shortfall,
      [&](char* err) {
        return LoadRoutingtable(start.c_str(), names.length(), names.data(), destinations.length(),
                                destinations.data(), ports.length(), ports.data(),
                                next_addresses.length(), next_addresses.data(), subnets.length(),
                                subnets.data(), macs.length(), macs.data(), err);
      },
      [&] { return static_cast<int>(names.AllItems().size()); });
  ErrMess->setValue(answer.err.c_str());
  result = answer.result;
  return &result;
}

const Variable* PVSSGetMicroConnectBetweenBoardCpntAndMotherBoard(
    TextVar* cpnt_from, IntegerVar* mboard_pid, DynVar* nfrom_list, TextVar* lastlkfrom_list,
    TextVar* lastlkto_list, DynVar* nto_list, DynVar* pid_list, DynVar* lkpos_list,
    TextVar* ErrMess) {
  static IntegerVar result;
  const std::string component = TextOf(cpnt_from);
  result = QueryMicroPaths(
      {nfrom_list, lastlkfrom_list, lastlkto_list, nto_list, pid_list, lkpos_list, ErrMess},
      GetMicroConnectBetweenBoardCpntAndMotherBoard, component.c_str(), IntOf(mboard_pid));
  return &result;
}

const Variable* PVSSGetMicroConnectFromPortid(IntegerVar* mboardportid_from,
                                              IntegerVar* mboardportid_to, TextVar* cpntname,
                                              DynVar* nfrom_list, TextVar* lastlkfrom_list,
                                              TextVar* lastlkto_list, DynVar* nto_list,
                                              DynVar* pid_list, DynVar* lkpos_list,
                                              TextVar* ErrMess) {
  static IntegerVar result;
  const std::string component = TextOf(cpntname);
  result = QueryMicroPaths(
      {nfrom_list, lastlkfrom_list, lastlkto_list, nto_list, pid_list, lkpos_list, ErrMess},
      GetMicroConnectFromPortid, IntOf(mboardportid_from), IntOf(mboardportid_to),
      component.c_str());
  return &result;
}

const Variable* PVSSGetMicroConnectToCpntType(IntegerVar* mboardportid_from,
                                              IntegerVar* cpnttype_given, TextVar* cpnttype,
                                              DynVar* nfrom_list, TextVar* lastlkfrom_list,
                                              TextVar* lastlkto_list, DynVar* nto_list,
                                              DynVar* pid_list, DynVar* lkpos_list,
                                              TextVar* ErrMess) {
  static IntegerVar result;
  const std::string type = TextOf(cpnttype);
  result = QueryMicroPaths(
      {nfrom_list, lastlkfrom_list, lastlkto_list, nto_list, pid_list, lkpos_list, ErrMess},
      GetMicroConnectToCpntType, IntOf(mboardportid_from), IntOf(cpnttype_given), type.c_str());
  return &result;
}

}  // namespace ferrule::ctrl
