// The paths between devices, or from a device to the devices of a type:
// one element per link of every path in each list (from and to device,
// port and way, path number, position, link information), or the error
// text once in every text list and -1 in every integer list. A shortfall
// reported by the library brings a second call at the sizes written back.
#include "ferrule.h"
#include "ctrl_values.h"
#include "lookup_patterns.h"
#include "output_lists.h"
#include "wrappers.h"

namespace ferrule::ctrl {
namespace {

constexpr int kErrMessSize = 1000;
constexpr int kFromPortsSize = 10000;

// The first sizes of one path query: links, and bytes of each text.
struct PathSizes {
  int links;
  int device_names;
  int ports;
  int link_info;
};
constexpr PathSizes kBetweenDevices{2000, 10000, 10000, 50000};
constexpr PathSizes kDetailedBetweenDevices{3000, 900000, 100000, 9000000};
constexpr PathSizes kDetailedToDeviceType{60000, 1000000, 1000000, 10000000};

// The CTRL lists of a path query; link_pos is null where the function
// shows no positions.
struct PathLists {
  DynVar* nfrom;
  DynVar* pfrom;
  DynVar* pwayfrom;
  DynVar* nto;
  DynVar* pto;
  DynVar* pwayto;
  DynVar* pathid;
  DynVar* link_pos;
  DynVar* link_info;
};

// The library's outputs, each with its in/out size.
struct PathBuffers {
  IntBuffer& ints;  // way_a, way_b, pathid, link_pos
  TextBuffer& nfrom;
  TextBuffer& pfrom;
  TextBuffer& nto;
  TextBuffer& pto;
  TextBuffer& link_info;
  int* way_a() { return ints.data(0); }
  int* way_b() { return ints.data(1); }
  int* pathid() { return ints.data(2); }
  int* link_pos() { return ints.data(3); }
};

int FillPaths(const PathSizes& sizes, const PathLists& lists, TextVar* errmess_arg,
              const std::function<int(PathBuffers& buffers, char* err)>& call) {
  OutputLists outputs;
  PathBuffers buffers{
      outputs.Ints(sizes.links, {lists.pwayfrom, lists.pwayto, lists.pathid, lists.link_pos}),
      outputs.Text(sizes.device_names, lists.nfrom),
      outputs.Text(sizes.ports, lists.pfrom),
      outputs.Text(sizes.device_names, lists.nto),
      outputs.Text(sizes.ports, lists.pto),
      outputs.Text(sizes.link_info, lists.link_info)};
  const ListCallAnswer answer = FillListsFromCall(
      outputs, RetryWhen::Shortfall, [&](char* err) { return call(buffers, err); },
      [&] { return buffers.ints.Count(); });
  errmess_arg->setValue(answer.err.c_str());
  return answer.result;
}

}  // namespace

const Variable* PVSSGetConnectivityBetweenDevices(TextVar* dfrom, TextVar* dto, DynVar* nfrom_list,
                                                  DynVar* pfrom_list, DynVar* pwayfrom_list,
                                                  DynVar* nto_list, DynVar* pto_list,
                                                  DynVar* pwayto_list, DynVar* pid_list,
                                                  DynVar* link_info, TextVar* ErrMess) {
  static IntegerVar result;
  const std::string from = TextOf(dfrom), to = TextOf(dto);
  result = FillPaths(kBetweenDevices,
                     {nfrom_list, pfrom_list, pwayfrom_list, nto_list, pto_list, pwayto_list,
                      pid_list, nullptr, link_info},
                     ErrMess, [&](PathBuffers& b, char* err) {
                       return GetConnectivityBetweenDevices(
                           from.c_str(), to.c_str(), b.ints.length(), b.pfrom.length(),
                           b.nfrom.length(), b.pto.length(), b.nto.length(), b.link_info.length(),
                           b.nfrom.data(), b.nto.data(), b.pfrom.data(), b.way_a(), b.pto.data(),
                           b.way_b(), b.pathid(), b.link_pos(), b.link_info.data(), err);
                     });
  return &result;
}

// Each list is filled as its parameter string names it: the second list
// receives the to-device names, the third the from-ports, the fourth the
// from-ways, so that every string list holds texts and every int list
// integers.
const Variable* PVSSGetDetailedConnectivityBetweenDevices(TextVar* dfrom, TextVar* dto,
                                                          DynVar* nfrom_list, DynVar* nto_list,
                                                          DynVar* pfrom_list, DynVar* pwayfrom_list,
                                                          DynVar* pto_list, DynVar* pwayto_list,
                                                          DynVar* pid_list, DynVar* lkpos_list,
                                                          DynVar* link_info, TextVar* ErrMess) {
  static IntegerVar result;
  const std::string from = TextOf(dfrom), to = TextOf(dto);
  result = FillPaths(kDetailedBetweenDevices,
                     {nfrom_list, pfrom_list, pwayfrom_list, nto_list, pto_list, pwayto_list,
                      pid_list, lkpos_list, link_info},
                     ErrMess, [&](PathBuffers& b, char* err) {
                       return GetDetailedConnectivityBetweenDevices(
                           from.c_str(), to.c_str(), b.nfrom.data(), b.ints.length(),
                           b.nfrom.length(), b.pfrom.length(), b.nto.length(), b.pto.length(),
                           b.link_info.length(), b.pfrom.data(), b.pto.data(), b.way_a(), b.way_b(),
                           b.nto.data(), b.pathid(), b.link_pos(), b.link_info.data(), err);
                     });
  return &result;
}

const Variable* PVSSGetDetailedConnBetweenDeviceDevType(
    TextVar* dfrom, TextVar* dto, IntegerVar* dto_typegiven, DynVar* nfrom_list, DynVar* pfrom_list,
    DynVar* pwayfrom_list, DynVar* nto_list, DynVar* pto_list, DynVar* pwayto_list,
    DynVar* pid_list, DynVar* lkpos_list, DynVar* link_info, TextVar* ErrMess) {
  static IntegerVar result;
  const std::string from = TextOf(dfrom), to = TextOf(dto);
  const int to_type = IntOf(dto_typegiven);
  result =
      FillPaths(kDetailedToDeviceType,
                {nfrom_list, pfrom_list, pwayfrom_list, nto_list, pto_list, pwayto_list, pid_list,
                 lkpos_list, link_info},
                ErrMess, [&](PathBuffers& b, char* err) {
                  return GetDetailedConnBetweenDeviceDevType(
                      from.c_str(), to.c_str(), to_type, b.nfrom.data(), b.pfrom.data(),
                      b.pto.data(), b.ints.length(), b.nfrom.length(), b.pfrom.length(),
                      b.nto.length(), b.pto.length(), b.link_info.length(), b.way_a(), b.way_b(),
                      b.nto.data(), b.pathid(), b.link_pos(), b.link_info.data(), err);
                });
  return &result;
}

// Only the from-ports of the paths. A devtype_given other than 0 or 1 is
// refused before the database.
const Variable* PVSSGetConnOutBetweenDeviceDeviceType(TextVar* dfrom, TextVar* dto,
                                                      IntegerVar* devtype_given, DynVar* pfrom_list,
                                                      TextVar* ErrMess) {
  static IntegerVar result;
  const std::string from = TextOf(dfrom), to = TextOf(dto);
  const int by_type = IntOf(devtype_given);
  if (by_type != 0 && by_type != 1) {
    ErrMess->setValue("dtype_given is 1 if it's the devtype you give or 0 if it's a fixed part");
    result = -1;
    return &result;
  }
  result = FillTextListForStatus(
      *pfrom_list, kFromPortsSize, kErrMessSize,
      /*no_rows_in_errmess=*/false, ErrMess, [&](int* len, char* list, char* err) {
        return GetConnOutBetweenDeviceDeviceType(from.c_str(), to.c_str(), by_type, len, list, err);
      });
  return &result;
}

}  // namespace ferrule::ctrl
