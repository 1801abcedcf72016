// Changes that take no batch: the replacement, status change and test use
// of hardware, the swap of two devices' hardware and the deletion of a link
// or a port. Nothing is checked here; the library answers every case, and
// its ErrMess text is the result of a failure.
#include "ferrule.h"
#include "checked_calls.h"
#include "ctrl_values.h"
#include "wrappers.h"

namespace ferrule::ctrl {

const Variable* PVSSReplaceFunctionalDevice(TextVar* functional_name, TextVar* new_status,
                                            TextVar* new_location, TextVar* user_comments,
                                            TextVar* status_datechange,
                                            TextVar* serialnb_replacement,
                                            TextVar* replace_date) {
  static TextVar result;
  const std::string name = TextOf(functional_name), status = TextOf(new_status);
  const std::string place = TextOf(new_location), remark = TextOf(user_comments);
  const std::string changed = TextOf(status_datechange), spare = TextOf(serialnb_replacement);
  const std::string replaced = TextOf(replace_date);
  RunChecked(result, nullptr, kUpdated, [&](char* err) {
    return ReplaceFunctionalDevice(name.c_str(), status.c_str(), place.c_str(), remark.c_str(),
                                   changed.c_str(), spare.c_str(), replaced.c_str(), err);
  });
  return &result;
}

const Variable* PVSSReplaceFunctionalBoardCpnt(TextVar* cpnt_name, TextVar* new_status,
                                               TextVar* new_location, TextVar* user_comments,
                                               TextVar* status_datechange,
                                               TextVar* serialnb_replacement,
                                               TextVar* replace_date) {
  static TextVar result;
  const std::string name = TextOf(cpnt_name), status = TextOf(new_status);
  const std::string place = TextOf(new_location), remark = TextOf(user_comments);
  const std::string changed = TextOf(status_datechange), spare = TextOf(serialnb_replacement);
  const std::string replaced = TextOf(replace_date);
  RunChecked(result, nullptr, kUpdated, [&](char* err) {
    return ReplaceFunctionalBoardCpnt(name.c_str(), status.c_str(), place.c_str(), remark.c_str(),
                                      changed.c_str(), spare.c_str(), replaced.c_str(), err);
  });
  return &result;
}

const Variable* PVSSUpdateHWBoardCpntStatus(TextVar* serialnb, TextVar* new_status,
                                            TextVar* new_location, TextVar* user_comments,
                                            TextVar* status_datechange,
                                            TextVar* functional_cpntname) {
  static TextVar result;
  const std::string serial = TextOf(serialnb), status = TextOf(new_status);
  const std::string place = TextOf(new_location), remark = TextOf(user_comments);
  const std::string changed = TextOf(status_datechange), position = TextOf(functional_cpntname);
  RunChecked(result, nullptr, kUpdated, [&](char* err) {
    return UpdateHWBoardCpntStatus(serial.c_str(), status.c_str(), place.c_str(), remark.c_str(),
                                   changed.c_str(), position.c_str(), err);
  });
  return &result;
}

const Variable* PVSSSetToTestUseStatus(TextVar* functional_name, TextVar* user_comments,
                                       TextVar* status_datechange, TextVar* serialnb_replacement,
                                       TextVar* testdevice_name, TextVar* replace_date) {
  static TextVar result;
  const std::string name = TextOf(functional_name), remark = TextOf(user_comments);
  const std::string changed = TextOf(status_datechange), spare = TextOf(serialnb_replacement);
  const std::string test_board = TextOf(testdevice_name), replaced = TextOf(replace_date);
  RunChecked(result, nullptr, kUpdated, [&](char* err) {
    return SetToTestUseStatus(name.c_str(), remark.c_str(), changed.c_str(), spare.c_str(),
                              test_board.c_str(), replaced.c_str(), err);
  });
  return &result;
}

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
