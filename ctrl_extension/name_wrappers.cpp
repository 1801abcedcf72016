// Names and ids of devices and board components, lists of components and
// hardware by type, location or board, and which subsystems are busy. The
// lists show nothing found as two "NO_ROWS_SELECTED" and a failure as two
// ErrMess texts.
#include "ferrule.h"
#include "call_buffers.h"
#include "ctrl_values.h"
#include "lookup_patterns.h"
#include "wrappers.h"

namespace ferrule::ctrl {
namespace {

constexpr int kNameSize = 1000;
constexpr int kErrMessSize = 1000;
constexpr int kListSize = 50000;
constexpr int kDecompositionSize = 5000;

std::string NameFromCall(const FixedTextCall& call) {
  return TextFromOneCall(kNameSize, kErrMessSize, NoRowsText::Failure, call);
}

// The id on success, else -1; the ErrMess text goes to errmess_arg. An id
// the library leaves unwritten (a name that matches nothing) reads -1.
int IdFromCall(TextVar* errmess_arg, const std::function<int(int* id, char* err)>& call) {
  ErrMessBuffer err(kErrMessSize);
  int id = -1;
  const int result = call(&id, err.data());
  errmess_arg->setValue(err.Text().c_str());
  return result == 0 ? id : -1;
}

void FillFromCall(DynVar& list, int capacity, const TextCall& call) {
  FillTextListFromCall(list, capacity, kErrMessSize, NoRowsMarker::TwoWords, call);
}

}  // namespace

const Variable* PVSSGetDeviceName_deviceid(IntegerVar* deviceid) {
  static TextVar result;
  const int device = IntOf(deviceid);
  result = NameFromCall([&](char* name, char* err) {
             return GetDeviceName_deviceid(device, name, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetCpntName_cpntid(IntegerVar* cpntid) {
  static TextVar result;
  const int component = IntOf(cpntid);
  result = NameFromCall([&](char* name, char* err) {
             return GetCpntName_cpntid(component, name, err);
           }).c_str();
  return &result;
}

const Variable* PVSSGetDeviceID_devicename(TextVar* devicename, TextVar* ErrMess) {
  static IntegerVar result;
  const std::string name = TextOf(devicename);
  result = IdFromCall(
      ErrMess, [&](int* id, char* err) { return GetDeviceID_devicename(name.c_str(), id, err); });
  return &result;
}

const Variable* PVSSGetCpntID_cpntname(TextVar* cpntname, TextVar* ErrMess) {
  static IntegerVar result;
  const std::string name = TextOf(cpntname);
  result = IdFromCall(
      ErrMess, [&](int* id, char* err) { return GetCpntID_cpntname(name.c_str(), id, err); });
  return &result;
}

const Variable* PVSSGetBoardCpntPerType(TextVar* cpnttype) {
  static DynVar result(kAnyVariable);
  const std::string type = TextOf(cpnttype);
  FillFromCall(result, kListSize, [&](int* len, char* list, char* err) {
    return GetBoardCpntPerType(type.c_str(), len, list, err);
  });
  return &result;
}

const Variable* PVSSGetDeviceNamesPerLocation(TextVar* location) {
  static DynVar result(kAnyVariable);
  const std::string place = TextOf(location);
  FillFromCall(result, kListSize, [&](int* len, char* list, char* err) {
    return GetDeviceNamesPerLocation(place.c_str(), len, list, err);
  });
  return &result;
}

// Its one argument, named location in the declaration, is the board's name.
const Variable* PVSSGetCpntNamesPerBoard(TextVar* location) {
  static DynVar result(kAnyVariable);
  const std::string board = TextOf(location);
  FillFromCall(result, kListSize, [&](int* len, char* list, char* err) {
    return GetCpntNamesPerBoard(board.c_str(), len, list, err);
  });
  return &result;
}

const Variable* PVSSGetSpareHWPerLocation(TextVar* location) {
  static DynVar result(kAnyVariable);
  const std::string place = TextOf(location);
  FillFromCall(result, kListSize, [&](int* len, char* list, char* err) {
    return GetSpareHWPerLocation(place.c_str(), len, list, err);
  });
  return &result;
}

const Variable* PVSSGetSpareHWCpntPerLocation(TextVar* location) {
  static DynVar result(kAnyVariable);
  const std::string place = TextOf(location);
  FillFromCall(result, kListSize, [&](int* len, char* list, char* err) {
    return GetSpareHWCpntPerLocation(place.c_str(), len, list, err);
  });
  return &result;
}

const Variable* PVSSGetSpareHWPerType(TextVar* hwtype) {
  static DynVar result(kAnyVariable);
  const std::string type = TextOf(hwtype);
  FillFromCall(result, kListSize, [&](int* len, char* list, char* err) {
    return GetSpareHWPerType(type.c_str(), len, list, err);
  });
  return &result;
}

const Variable* PVSSGetSpareHWCpntPerType(TextVar* hwtype) {
  static DynVar result(kAnyVariable);
  const std::string type = TextOf(hwtype);
  FillFromCall(result, kListSize, [&](int* len, char* list, char* err) {
    return GetSpareHWCpntPerType(type.c_str(), len, list, err);
  });
  return &result;
}

const Variable* PVSSGetLkTypeDecomposition_lknb(IntegerVar* linktype_nb) {
  static DynVar result(kAnyVariable);
  const int number = IntOf(linktype_nb);
  FillFromCall(result, kDecompositionSize, [&](int* len, char* list, char* err) {
    return GetLkTypeDecomposition_lknb(number, len, list, err);
  });
  return &result;
}

// subsytemname holds the names asked for and receives the answer.
const Variable* PVSSGetStatusSubsystem(DynVar* subsytemname, DynVar* SubsystemStatus) {
  static IntegerVar result;
  result = FillBusySubsystems(*subsytemname, *SubsystemStatus, GetBusySubsystems);
  return &result;
}

}  // namespace ferrule::ctrl
