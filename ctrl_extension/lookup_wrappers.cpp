// Connection and lookups of one row. A row that needs more than the first
// buffer comes with a second call at the length the library wrote back.
#include "ferrule.h"
#include "ctrl_values.h"
#include "lookup_patterns.h"
#include "wrappers.h"

namespace ferrule::ctrl {
namespace {

constexpr int kConnectionErrMessSize = 600;
constexpr RowShape kRow{1000, 1000};
// Board and hardware components: longer rows, a shorter ErrMess.
constexpr RowShape kComponentRow{2000, 600};

}  // namespace

const Variable* PVSSDBConnexion(TextVar* server, TextVar* usr, TextVar* pwd, TextVar* ErrMess) {
  static IntegerVar result;
  const std::string s = TextOf(server), u = TextOf(usr), p = TextOf(pwd);
  result = CallForStatus(kConnectionErrMessSize, ErrMess, [&](char* err) {
    return DBConnexion(s.c_str(), u.c_str(), p.c_str(), err);
  });
  return &result;
}

const Variable* PVSSDBDeconnexion(TextVar* ErrMess) {
  static IntegerVar result;
  result = CallForStatus(kConnectionErrMessSize, ErrMess, DBDeconnexion);
  return &result;
}

const Variable* PVSSGetDeviceTypeRow(TextVar* dtype) {
  static TextVar result;
  const std::string key = TextOf(dtype);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetDeviceTypeRow(key.c_str(), len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetDeviceRow_devicename(TextVar* dname) {
  static TextVar result;
  const std::string key = TextOf(dname);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetDeviceRow_devicename(key.c_str(), len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetDeviceRow_devid(IntegerVar* dID) {
  static TextVar result;
  const int key = IntOf(dID);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetDeviceRow_devid(key, len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetPortRow_pid(IntegerVar* dID) {
  static TextVar result;
  const int port = IntOf(dID);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetPortRow_pid(port, len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetPortRow_devid(IntegerVar* devID, TextVar* pt_nb, IntegerVar* pway,
                                     TextVar* ptype) {
  static TextVar result;
  const int device = IntOf(devID), way = IntOf(pway);
  const std::string number = TextOf(pt_nb), type = TextOf(ptype);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetPortRow_devid(device, number.c_str(), way, type.c_str(), len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetIPInfoRow(TextVar* ip_add) {
  static TextVar result;
  const std::string address = TextOf(ip_add);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetIPInfoRow(address.c_str(), len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetMacroConnectivityRow_lkid(IntegerVar* lkID) {
  static TextVar result;
  const int link = IntOf(lkID);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetMacroConnectivityRow_lkid(link, len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetMacroConnectivityRow_node(IntegerVar* nodeID, TextVar* ptnb,
                                                 IntegerVar* pway, TextVar* ptype) {
  static TextVar result;
  const int device = IntOf(nodeID), way = IntOf(pway);
  const std::string number = TextOf(ptnb), type = TextOf(ptype);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetMacroConnectivityRow_node(device, number.c_str(), way, type.c_str(), len,
                                                 row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetMacroConnectivityRow_nodename(TextVar* nodename, TextVar* ptnb,
                                                     IntegerVar* pway, TextVar* ptype) {
  static TextVar result;
  const std::string device = TextOf(nodename), number = TextOf(ptnb), type = TextOf(ptype);
  const int way = IntOf(pway);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetMacroConnectivityRow_nodename(device.c_str(), number.c_str(), way,
                                                     type.c_str(), len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetLkTypeRow_lkname(TextVar* lkname) {
  static TextVar result;
  const std::string name = TextOf(lkname);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetLkTypeRow_lkname(name.c_str(), len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetLkTypeRow_lknb(IntegerVar* lktype_nb) {
  static TextVar result;
  const int number = IntOf(lktype_nb);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetLkTypeRow_lknb(number, len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetHWDeviceRow_serialnb(TextVar* serialnb) {
  static TextVar result;
  const std::string serial = TextOf(serialnb);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetHWDeviceRow_serialnb(serial.c_str(), len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetMicroConnectivityRow_lkid(IntegerVar* lkid) {
  static TextVar result;
  const int link = IntOf(lkid);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetMicroConnectivityRow_lkid(link, len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetMicroConnectivityRow_node(IntegerVar* nodeID, IntegerVar* ptnb,
                                                 IntegerVar* way) {
  static TextVar result;
  const int component = IntOf(nodeID), number = IntOf(ptnb), direction = IntOf(way);
  result = RowWithRetry(kRow, [&](int* len, char* row, char* err) {
             return GetMicroConnectivityRow_node(component, number, direction, len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetBoardCpntRow_cpntname(TextVar* cpntname) {
  static TextVar result;
  const std::string name = TextOf(cpntname);
  result = RowWithRetry(kComponentRow, [&](int* len, char* row, char* err) {
             return GetBoardCpntRow_cpntname(name.c_str(), len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetBoardCpntRow_cpntid(IntegerVar* cpntid) {
  static TextVar result;
  const int component = IntOf(cpntid);
  result = RowWithRetry(kComponentRow, [&](int* len, char* row, char* err) {
             return GetBoardCpntRow_cpntid(component, len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetHWCpntRow_serialnb(TextVar* serialnb) {
  static TextVar result;
  const std::string serial = TextOf(serialnb);
  result = RowWithRetry(kComponentRow, [&](int* len, char* row, char* err) {
             return GetHWCpntRow_serialnb(serial.c_str(), len, row, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetHWCpntRow_snbid(IntegerVar* snbtid) {
  static TextVar result;
  const int id = IntOf(snbtid);
  result = RowWithRetry(kComponentRow, [&](int* len, char* row, char* err) {
             return GetHWCpntRow_snbid(id, len, row, err);
           }).c_str();
  return &result;
}

}  // namespace ferrule::ctrl
