// Cached updates of functional devices, and the two switches of device
// activity. The text updates refuse a last_rows other than 0 or 1 and
// answer "Successful update" or the library's ErrMess text; the activity
// switches answer the library's result code, or -1 for a refused row, with
// the text in their errMess argument.
#include "ferrule.h"
#include "checked_calls.h"
#include "ctrl_reasons.h"
#include "ctrl_values.h"
#include "wrappers.h"

namespace ferrule::ctrl {

const Variable* PVSSUpdateMultipleAttributesDevices(TextVar* devname, IntegerVar* node,
                                                    IntegerVar* promiscuous_mode,
                                                    TextVar* location, IntegerVar* first_rows,
                                                    IntegerVar* last_rows) {
  static TextVar result;
  const std::string name = TextOf(devname), place = TextOf(location);
  const int is_node = IntOf(node), promiscuous = IntOf(promiscuous_mode);
  const int first = IntOf(first_rows), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleAttributesDevices(name.c_str(), is_node, promiscuous, place.c_str(),
                                           first, last, err);
  });
  return &result;
}

const Variable* PVSSUpdateMultipleDeviceSystemList(TextVar* devname, TextVar* new_systemList,
                                                   IntegerVar* first_rows,
                                                   IntegerVar* last_rows) {
  static TextVar result;
  const std::string name = TextOf(devname), systems = TextOf(new_systemList);
  const int first = IntOf(first_rows), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleDeviceSystemList(name.c_str(), systems.c_str(), first, last, err);
  });
  return &result;
}

const Variable* PVSSUpdateMultipleDevNamesDevices(TextVar* old_devname, TextVar* devname,
                                                  IntegerVar* first_rows, IntegerVar* last_rows) {
  static TextVar result;
  const std::string old_name = TextOf(old_devname), name = TextOf(devname);
  const int first = IntOf(first_rows), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleDevNamesDevices(old_name.c_str(), name.c_str(), first, last, err);
  });
  return &result;
}

const Variable* PVSSUpdateMultipleDTypeDevices(TextVar* devname, TextVar* devtype,
                                               IntegerVar* first_rows, IntegerVar* last_rows) {
  static TextVar result;
  const std::string name = TextOf(devname), type = TextOf(devtype);
  const int first = IntOf(first_rows), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleDTypeDevices(name.c_str(), type.c_str(), first, last, err);
  });
  return &result;
}

const Variable* PVSSUpdateMultipleDeviceNodeUsed(TextVar* devname, IntegerVar* nodeused,
                                                 IntegerVar* first_rows, IntegerVar* last_rows) {
  static TextVar result;
  const std::string name = TextOf(devname);
  const int used = IntOf(nodeused);
  const int first = IntOf(first_rows), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleDeviceNodeUsed(name.c_str(), used, first, last, err);
  });
  return &result;
}

// Not cached: the library takes no first flag.
const Variable* PVSSUpdateMultipleDeviceNodeUsedByType(TextVar* devtype, IntegerVar* nodeused,
                                                       IntegerVar* devtype_given,
                                                       IntegerVar* last_rows) {
  static TextVar result;
  const std::string type = TextOf(devtype);
  const int used = IntOf(nodeused), by_type = IntOf(devtype_given), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleDeviceNodeUsedByType(type.c_str(), used, by_type, last, err);
  });
  return &result;
}

// The refusals of the activity switches carry no "Error:" prefix.
const Variable* PVSSUpdateMultipleDeviceActive(TextVar* devicename, IntegerVar* active,
                                               IntegerVar* first_rows, IntegerVar* last_rows,
                                               TextVar* errMess) {
  static IntegerVar result;
  const std::string name = TextOf(devicename);
  const int is_active = IntOf(active), first = IntOf(first_rows), last = IntOf(last_rows);
  result = RunCheckedForStatus(errMess,
                               FirstFailure({{!IsFlag(last), reason::kLastRowsFlagBare},
                                             {!IsFlag(first), "first_rows is 1 or 0"},
                                             {!IsFlag(is_active), reason::kActiveFlagBare}}),
                               [&](char* err) {
                                 return UpdateMultipleDeviceActive(name.c_str(), is_active, first,
                                                                   last, err);
                               });
  return &result;
}

const Variable* PVSSUpdateMultipleDeviceActiveByType(TextVar* devicename, IntegerVar* active,
                                                     IntegerVar* devtype_given,
                                                     IntegerVar* last_rows, TextVar* errMess) {
  static IntegerVar result;
  const std::string name = TextOf(devicename);
  const int is_active = IntOf(active), by_type = IntOf(devtype_given), last = IntOf(last_rows);
  result = RunCheckedForStatus(errMess,
                               FirstFailure({{!IsFlag(last), reason::kLastRowsFlagBare},
                                             {!IsFlag(is_active), reason::kActiveFlagBare},
                                             {!IsFlag(by_type), "devtype_given is 1 or 0"}}),
                               [&](char* err) {
                                 return UpdateMultipleDeviceActiveByType(name.c_str(), is_active,
                                                                         by_type, last, err);
                               });
  return &result;
}

}  // namespace ferrule::ctrl
