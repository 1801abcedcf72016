// Lists of a device or a device type: ids (of devices, links, ports, links
// inside a board) and texts (names, destinations, MAC and IP data). An id
// list that found nothing holds -1 and -1, a failed one its result code; a
// text list that found nothing holds the library's marker, a failed one the
// ErrMess text twice.
#include "ferrule.h"
#include "call_buffers.h"
#include "ctrl_reasons.h"
#include "ctrl_values.h"
#include "lookup_patterns.h"
#include "wrappers.h"

namespace ferrule::ctrl {
namespace {

constexpr int kIdsPerType = 2000;  // ids, and bytes of ErrMess
constexpr int kIds = 1000;
constexpr int kListErrMessSize = 1000;
constexpr int kNamesSize = 50000;
constexpr int kMacIPSize = 8000;
constexpr int kMicroLinks = 2000;

void FillIdsFromCall(DynVar& list, int capacity, TextVar* errmess_arg, const IntsCall& call) {
  list.clear();
  const IntListAnswer answer = FetchIntList(capacity, capacity, call);
  FillIntList(list, answer);
  errmess_arg->setValue(answer.err.c_str());
}

void FillNamesFromCall(DynVar& list, int capacity, const TextCall& call) {
  FillTextListFromCall(list, capacity, kListErrMessSize, NoRowsMarker::BufferText, call);
}

// The links inside a board: the ids, and in the text argument the marker
// when there are none, else the ErrMess text. A failure leaves the list
// empty.
void FillMicroLinksFromCall(DynVar& list, TextVar* errmess_arg, const IntsCall& call) {
  list.clear();
  const IntListAnswer answer = FetchIntList(kMicroLinks, kListErrMessSize, call);
  for (int id : answer.values) AppendInt(list, id);
  errmess_arg->setValue(answer.outcome == IntListAnswer::NoRows ? reason::kNoRowsSelected
                                                                 : answer.err.c_str());
}

}  // namespace

const Variable* PVSSGetDeviceIDsPerType(TextVar* dtype, TextVar* ErrMess) {
  static DynVar result(kAnyVariable);
  const std::string type = TextOf(dtype);
  FillIdsFromCall(result, kIdsPerType, ErrMess, [&](int* len, int* ids, char* err) {
    return GetDeviceIDsPerType(type.c_str(), len, ids, err);
  });
  return &result;
}

const Variable* PVSSGetLkFromDevID(IntegerVar* node_from, TextVar* ErrMess) {
  static DynVar result(kAnyVariable);
  const int device = IntOf(node_from);
  FillIdsFromCall(result, kIds, ErrMess, [&](int* len, int* ids, char* err) {
    return GetLkFromDevID(device, len, ids, err);
  });
  return &result;
}

const Variable* PVSSGetLkToDevID(IntegerVar* node_to, TextVar* ErrMess) {
  static DynVar result(kAnyVariable);
  const int device = IntOf(node_to);
  FillIdsFromCall(result, kIds, ErrMess, [&](int* len, int* ids, char* err) {
    return GetLkToDevID(device, len, ids, err);
  });
  return &result;
}

const Variable* PVSSGetPortIDPerDevID(IntegerVar* devid, TextVar* ErrMess) {
  static DynVar result(kAnyVariable);
  const int device = IntOf(devid);
  FillIdsFromCall(result, kIds, ErrMess, [&](int* len, int* ids, char* err) {
    return GetPortIDPerDevID(device, len, ids, err);
  });
  return &result;
}

const Variable* PVSSGetFreeDeviceNamesPerType(TextVar* dtype) {
  static DynVar result(kAnyVariable);
  const std::string type = TextOf(dtype);
  FillNamesFromCall(result, kNamesSize, [&](int* len, char* list, char* err) {
    return GetFreeDeviceNamesPerType(type.c_str(), len, list, err);
  });
  return &result;
}

const Variable* PVSSGetDestinationNamePerDevPort(TextVar* devname, TextVar* ptnb, TextVar* ptype) {
  static DynVar result(kAnyVariable);
  const std::string device = TextOf(devname), number = TextOf(ptnb), type = TextOf(ptype);
  FillNamesFromCall(result, kNamesSize, [&](int* len, char* list, char* err) {
    return GetDestinationNamePerDevPort(device.c_str(), number.c_str(), type.c_str(), len, list,
                                        err);
  });
  return &result;
}

// One element per port, its fields joined by "|" as the library writes them.
const Variable* PVSSGetMacIPAddPerDevID(IntegerVar* devid) {
  static DynVar result(kAnyVariable);
  const int device = IntOf(devid);
  FillNamesFromCall(result, kMacIPSize, [&](int* len, char* list, char* err) {
    return GetMacIPAddPerDevID(device, len, list, err);
  });
  return &result;
}

// The items "name|id" split into two lists that stay in step; the result
// is the library's result code.
const Variable* PVSSGetDeviceNamesPerType(TextVar* dtype, DynVar* devnames, DynVar* devids) {
  static IntegerVar result;
  const std::string type = TextOf(dtype);
  devnames->clear();
  devids->clear();
  const ListAnswer answer =
      FetchPackedList(kNamesSize, kListErrMessSize, [&](int* len, char* list, char* err) {
        return GetDeviceNamesPerType(type.c_str(), len, list, err);
      });
  switch (answer.outcome) {
    case ListAnswer::Items:
      for (const std::string& item : answer.items) {
        const NameAndId device = SplitNameAndId(item);
        AppendText(*devnames, device.name);
        AppendInt(*devids, device.id);
      }
      break;
    case ListAnswer::NoRows:
      AppendText(*devnames, answer.no_rows_text);
      AppendText(*devnames, answer.no_rows_text);
      break;
    case ListAnswer::Failed:
      AppendText(*devnames, answer.err);
      AppendText(*devnames, answer.err);
      break;
  }
  result = answer.result;
  return &result;
}

const Variable* PVSSGetMicroLkFromCpntID(IntegerVar* cpntid_from, IntegerVar* motherboard,
                                         TextVar* ErrMess) {
  static DynVar result(kAnyVariable);
  const int component = IntOf(cpntid_from), board = IntOf(motherboard);
  FillMicroLinksFromCall(result, ErrMess, [&](int* count, int* ids, char* err) {
    return GetMicroLkFromCpntID(component, board, count, ids, err);
  });
  return &result;
}

const Variable* PVSSGetMicroLkToCpntID(IntegerVar* cpntid_to, IntegerVar* motherboard,
                                       TextVar* ErrMess) {
  static DynVar result(kAnyVariable);
  const int component = IntOf(cpntid_to), board = IntOf(motherboard);
  FillMicroLinksFromCall(result, ErrMess, [&](int* count, int* ids, char* err) {
    return GetMicroLkToCpntID(component, board, count, ids, err);
  });
  return &result;
}

}  // namespace ferrule::ctrl
