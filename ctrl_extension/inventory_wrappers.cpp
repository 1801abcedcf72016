// Changes that take no batch: the swap of two devices' hardware and the
// deletion of a link or a port. Nothing is checked here; the library
// answers every case, and its ErrMess text is the result of a failure.
#include "ferrule.h"
#include "checked_calls.h"
#include "ctrl_values.h"
#include "wrappers.h"

namespace ferrule::ctrl {

const Variable* PVSSSwapTwoDevices(TextVar* functional_devname1, TextVar* functional_devname2,
                                   TextVar* comments) {
  static TextVar result;
  const std::string first = TextOf(functional_devname1), second = TextOf(functional_devname2);
  const std::string remark = TextOf(comments);
  RunChecked(result, nullptr, kUpdated, [&](char* err) {
    return SwapTwoDevices(first.c_str(), second.c_str(), remark.c_str(), err);
  });
  return &result;
}

const Variable* PVSSDeleteLinkRow(IntegerVar* linkid, IntegerVar* macro_link) {
  static TextVar result;
  const int link = IntOf(linkid), macro = IntOf(macro_link);
  RunChecked(result, nullptr, kUpdated,
             [&](char* err) { return DeleteLinkRow(link, macro, err); });
  return &result;
}

const Variable* PVSSDeletePortRow(IntegerVar* portid) {
  static TextVar result;
  const int port = IntOf(portid);
  RunChecked(result, nullptr, kUpdated, [&](char* err) { return DeletePortRow(port, err); });
  return &result;
}

}  // namespace ferrule::ctrl
