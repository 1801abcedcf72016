// Inserts of spare hardware, board components and test boards. Every check
// runs and the last one that fails gives the result, so a script learns of
// the last problem of its row; the library is called only when none fails.
// The CTRL functions take the location before the comments, the library
// the comments first.
#include "ferrule.h"
#include "checked_calls.h"
#include "ctrl_reasons.h"
#include "ctrl_values.h"
#include "wrappers.h"

namespace ferrule::ctrl {
namespace {

struct SpareArgs {
  SpareArgs(TextVar* hwname, TextVar* hwtype, TextVar* serialnb, TextVar* responsible,
            TextVar* location, TextVar* comments)
      : name(TextOf(hwname)),
        type(TextOf(hwtype)),
        serial(TextOf(serialnb)),
        owner(TextOf(responsible)),
        place(TextOf(location)),
        remarks(TextOf(comments)) {}
  std::string name, type, serial, owner, place, remarks;
};

}  // namespace

const Variable* PVSSInsertSpareDevice(TextVar* hwname, TextVar* hwtype, TextVar* serialnb,
                                      TextVar* responsible, TextVar* location, TextVar* comments,
                                      IntegerVar* last) {
  static TextVar result;
  const SpareArgs a(hwname, hwtype, serialnb, responsible, location, comments);
  const int last_row = IntOf(last);
  RunChecked(result,
             LastFailure({{!IsName(a.serial), reason::kNoSerial},
                          {!IsFlag(last_row), reason::kLastFlag}}),
             kInserted, [&](char* err) {
               return InsertSpareDevice(a.name.c_str(), a.type.c_str(), a.serial.c_str(),
                                        a.owner.c_str(), a.remarks.c_str(), a.place.c_str(),
                                        last_row, err);
             });
  return &result;
}

const Variable* PVSSInsertMultipleSpareDevices(TextVar* hwname, TextVar* hwtype,
                                               TextVar* serialnb, TextVar* responsible,
                                               TextVar* location, TextVar* comments,
                                               IntegerVar* first, IntegerVar* last) {
  static TextVar result;
  const SpareArgs a(hwname, hwtype, serialnb, responsible, location, comments);
  const int first_row = IntOf(first), last_row = IntOf(last);
  RunChecked(result,
             LastFailure({{!IsName(a.serial), reason::kNoSerial},
                          {!IsFlag(last_row), reason::kLastFlag},
                          {!IsFlag(first_row), reason::kFirstFlag}}),
             kInserted, [&](char* err) {
               return InsertMultipleSpareDevices(a.name.c_str(), a.type.c_str(), a.serial.c_str(),
                                                 a.owner.c_str(), a.remarks.c_str(),
                                                 a.place.c_str(), first_row, last_row, err);
             });
  return &result;
}

const Variable* PVSSInsertMultipleBoardCpnts(TextVar* cpntname, TextVar* cpnttype,
                                             IntegerVar* replacable, TextVar* motherboardname,
                                             TextVar* serialnb, TextVar* hwtype,
                                             TextVar* responsible, TextVar* location,
                                             TextVar* comments, IntegerVar* first,
                                             IntegerVar* last) {
  static TextVar result;
  const std::string name = TextOf(cpntname), type = TextOf(cpnttype);
  const int replaceable = IntOf(replacable);
  const std::string board = TextOf(motherboardname), serial = TextOf(serialnb);
  const std::string hardware = TextOf(hwtype), owner = TextOf(responsible);
  const std::string place = TextOf(location), remarks = TextOf(comments);
  const int first_row = IntOf(first), last_row = IntOf(last);
  RunChecked(result,
             LastFailure({{!IsFlag(replaceable), "Error:replacable is 1 or 0"},
                          {!IsFlag(last_row), reason::kLastFlag},
                          {!IsFlag(first_row), reason::kFirstFlag},
                          {board == "none" && place.empty(), "Error: you should give a location"},
                          {place == "none" && board.empty(),
                           "Error: you should give the motherboardname"}}),
             kInserted, [&](char* err) {
               return InsertMultipleBoardCpnts(name.c_str(), type.c_str(), replaceable,
                                               board.c_str(), serial.c_str(), hardware.c_str(),
                                               owner.c_str(), remarks.c_str(), place.c_str(),
                                               first_row, last_row, err);
             });
  return &result;
}

// The lists go to the library packed, each with its byte total; the ports
// are as many as the port ways.
const Variable* PVSSInsertTestFunctionalDevice(TextVar* location, DynVar* ipaddList,
                                               DynVar* ipnameList, DynVar* subnetList,
                                               DynVar* portnbList, DynVar* port_typeList,
                                               DynVar* port_wayList, IntegerVar* last) {
  static TextVar result;
  const std::string place = TextOf(location);
  const std::vector<std::string> addresses = TextsOf(ipaddList), names = TextsOf(ipnameList);
  const std::vector<std::string> subnets = TextsOf(subnetList), numbers = TextsOf(portnbList);
  const std::vector<std::string> types = TextsOf(port_typeList);
  const std::vector<int> ways = IntsOf(port_wayList);
  const int last_row = IntOf(last);
  const std::string packed_addresses = PackTexts(addresses), packed_names = PackTexts(names);
  const std::string packed_subnets = PackTexts(subnets), packed_numbers = PackTexts(numbers);
  const std::string packed_types = PackTexts(types);
  auto size = [](const std::string& packed) { return static_cast<int>(packed.size()); };
  RunChecked(
      result,
      LastFailure({{!IsFlag(last_row), reason::kLastRowsFlag},
                   {addresses.size() != names.size() || names.size() != subnets.size(),
                    "nb of ipadd, nb of subnet and nb of ipname should be equal"},
                   {ways.size() != numbers.size(),
                    "nb of  nb of portnb and nb of port_way should be equal"}}),
      kInserted, [&](char* err) {
        return InsertTestFunctionalDevice(
            place.c_str(), packed_addresses.c_str(), size(packed_addresses), packed_names.c_str(),
            size(packed_names), packed_subnets.c_str(), size(packed_subnets),
            packed_numbers.c_str(), size(packed_numbers), packed_types.c_str(),
            size(packed_types), ways.data(), static_cast<int>(ways.size()), last_row, err);
      });
  return &result;
}

}  // namespace ferrule::ctrl
