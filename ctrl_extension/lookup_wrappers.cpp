// Connection and lookups of one row.
#include "ferrule.h"
#include "ctrl_values.h"
#include "lookup_patterns.h"
#include "wrappers.h"

namespace ferrule::ctrl {
namespace {

constexpr int kConnectionErrMessSize = 600;
constexpr RowShape kRow{1000, 1000, /*exact_no_rows=*/false};

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

}  // namespace ferrule::ctrl
