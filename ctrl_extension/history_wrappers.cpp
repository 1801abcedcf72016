// Status histories and the items in one status, each a list of texts: one
// element per item as the library writes it, two "NO_ROWS_SELECTED" when
// nothing matches, two ErrMess texts for a failure. Dates are passed as
// given ("YY/MM/DD/HH24/MI/SS", or "none" for an open end).
#include "ferrule.h"
#include "ctrl_values.h"
#include "lookup_patterns.h"
#include "wrappers.h"

namespace ferrule::ctrl {
namespace {

constexpr int kListErrMessSize = 1000;
constexpr int kListSize = 50000;
// Hardware devices change hands more often than anything else.
constexpr int kDeviceHistorySize = 500000;

void FillFromCall(DynVar& list, int capacity, const TextCall& call) {
  FillTextListFromCall(list, capacity, kListErrMessSize, NoRowsMarker::TwoWords, call);
}

}  // namespace

const Variable* PVSSGetHistoryOfFunctionalDevice(TextVar* functional_name, TextVar* min_date,
                                                 TextVar* max_date) {
  static DynVar result(kAnyVariable);
  const std::string name = TextOf(functional_name), from = TextOf(min_date), to = TextOf(max_date);
  FillFromCall(result, kListSize, [&](int* len, char* list, char* err) {
    return GetHistoryOfFunctionalDevice(name.c_str(), list, len, from.c_str(), to.c_str(), err);
  });
  return &result;
}

const Variable* PVSSGetHistoryOfHWDevice(TextVar* serial_nb, TextVar* min_date,
                                         TextVar* max_date) {
  static DynVar result(kAnyVariable);
  const std::string serial = TextOf(serial_nb), from = TextOf(min_date), to = TextOf(max_date);
  FillFromCall(result, kDeviceHistorySize, [&](int* len, char* list, char* err) {
    return GetHistoryOfHWDevice(serial.c_str(), list, len, from.c_str(), to.c_str(), err);
  });
  return &result;
}

const Variable* PVSSGetHistoryOfFunctionalBoardCpntName(TextVar* functional_cpntname,
                                                        TextVar* min_date, TextVar* max_date) {
  static DynVar result(kAnyVariable);
  const std::string name = TextOf(functional_cpntname);
  const std::string from = TextOf(min_date), to = TextOf(max_date);
  FillFromCall(result, kListSize, [&](int* len, char* list, char* err) {
    return GetHistoryOfFunctionalBoardCpntName(name.c_str(), list, len, from.c_str(), to.c_str(),
                                               err);
  });
  return &result;
}

const Variable* PVSSGetHistoryOfHWBoardCpnt(TextVar* serial_nb, IntegerVar* snbid,
                                            TextVar* min_date, TextVar* max_date) {
  static DynVar result(kAnyVariable);
  const std::string serial = TextOf(serial_nb), from = TextOf(min_date), to = TextOf(max_date);
  const int id = IntOf(snbid);
  FillFromCall(result, kListSize, [&](int* len, char* list, char* err) {
    return GetHistoryOfHWBoardCpnt(serial.c_str(), id, list, len, from.c_str(), to.c_str(), err);
  });
  return &result;
}

const Variable* PVSSGetFunctionalDeviceByStatus(TextVar* system_name, TextVar* device_status) {
  static DynVar result(kAnyVariable);
  const std::string systems = TextOf(system_name), status = TextOf(device_status);
  FillFromCall(result, kListSize, [&](int* len, char* list, char* err) {
    return GetFunctionalDeviceByStatus(systems.c_str(), status.c_str(), len, list, err);
  });
  return &result;
}

const Variable* PVSSGetHWDeviceByStatus(TextVar* systemname, TextVar* device_status) {
  static DynVar result(kAnyVariable);
  const std::string systems = TextOf(systemname), status = TextOf(device_status);
  FillFromCall(result, kListSize, [&](int* len, char* list, char* err) {
    return GetHWDeviceByStatus(systems.c_str(), status.c_str(), len, list, err);
  });
  return &result;
}

const Variable* PVSSGetHWBoardCpntByStatus(TextVar* cpnt_status) {
  static DynVar result(kAnyVariable);
  const std::string status = TextOf(cpnt_status);
  FillFromCall(result, kListSize, [&](int* len, char* list, char* err) {
    return GetHWBoardCpntByStatus(status.c_str(), list, len, err);
  });
  return &result;
}

}  // namespace ferrule::ctrl
