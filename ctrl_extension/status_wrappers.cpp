// The status word of a functional or hardware item, and which hardware was
// last mounted where, as one text each. A status lookup calls the library
// once; a last-mounted lookup a second time when its answer needs a larger
// buffer.
#include "ferrule.h"
#include "ctrl_values.h"
#include "lookup_patterns.h"
#include "wrappers.h"

namespace ferrule::ctrl {
namespace {

constexpr int kStatusSize = 1000;
constexpr int kStatusErrMessSize = 1000;
constexpr RowShape kLastMounted{1000, 1000};

std::string StatusFrom(const FixedTextCall& call) {
  return TextFromOneCall(kStatusSize, kStatusErrMessSize, NoRowsText::Answer, call);
}

}  // namespace

const Variable* PVSSGetFunctionalDeviceStatus(TextVar* dname) {
  static TextVar result;
  const std::string name = TextOf(dname);
  result = StatusFrom([&](char* status, char* err) {
             return GetFunctionalDeviceStatus(name.c_str(), status, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetFunctionalBoardCpntStatus(TextVar* cpntname) {
  static TextVar result;
  const std::string name = TextOf(cpntname);
  result = StatusFrom([&](char* status, char* err) {
             return GetFunctionalBoardCpntStatus(name.c_str(), status, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetHWDeviceStatus(TextVar* serialnb) {
  static TextVar result;
  const std::string serial = TextOf(serialnb);
  result = StatusFrom([&](char* status, char* err) {
             return GetHWDeviceStatus(serial.c_str(), status, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetHWBoardCpntStatus(TextVar* serialnb, IntegerVar* snbid) {
  static TextVar result;
  const std::string serial = TextOf(serialnb);
  const int id = IntOf(snbid);
  result = StatusFrom([&](char* status, char* err) {
             return GetHWBoardCpntStatus(serial.c_str(), id, status, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetHWLastFunctionalDevice(TextVar* serialnb) {
  static TextVar result;
  const std::string serial = TextOf(serialnb);
  result = RowWithRetry(kLastMounted, [&](int* len, char* text, char* err) {
             return GetHWLastFunctionalDevice(serial.c_str(), text, len, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetHWLastFunctionalBoardCpntName(TextVar* hw_serialnb, IntegerVar* hw_snbid) {
  static TextVar result;
  const std::string serial = TextOf(hw_serialnb);
  const int id = IntOf(hw_snbid);
  result = RowWithRetry(kLastMounted, [&](int* len, char* text, char* err) {
             return GetHWLastFunctionalBoardCpntName(serial.c_str(), id, text, len, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetFunctionalDeviceLastHW(TextVar* functional_name) {
  static TextVar result;
  const std::string name = TextOf(functional_name);
  result = RowWithRetry(kLastMounted, [&](int* len, char* text, char* err) {
             return GetFunctionalDeviceLastHW(name.c_str(), text, len, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetFunctionalBoardCpntNameLastHW(TextVar* functional_name) {
  static TextVar result;
  const std::string name = TextOf(functional_name);
  result = RowWithRetry(kLastMounted, [&](int* len, char* text, char* err) {
             return GetFunctionalBoardCpntNameLastHW(name.c_str(), text, len, err);
           }).c_str();
  return &result;
}

}  // namespace ferrule::ctrl
