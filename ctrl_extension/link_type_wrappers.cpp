// Inserts of simple and composite link types, one row or cached batches. A
// composite type comes with the list of its simple types, which the library
// takes as one text of quoted names.
#include "ferrule.h"
#include "checked_calls.h"
#include "ctrl_reasons.h"
#include "ctrl_values.h"
#include "wrappers.h"

namespace ferrule::ctrl {

const Variable* PVSSInsertSimpleLinkType(TextVar* lktype_name, IntegerVar* last_rows) {
  static TextVar result;
  const std::string name = TextOf(lktype_name);
  const int last = IntOf(last_rows);
  RunChecked(result,
             FirstFailure({{!IsName(name), reason::kNoLinkType},
                           {!IsFlag(last), reason::kLastRowsFlag}}),
             kInserted, [&](char* err) { return InsertSimpleLinkType(name.c_str(), last, err); });
  return &result;
}

const Variable* PVSSInsertMultipleSimpleLinkTypes(TextVar* lktype_name, IntegerVar* first_time,
                                                  IntegerVar* last_rows) {
  static TextVar result;
  const std::string name = TextOf(lktype_name);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result,
             FirstFailure({{!IsName(name), reason::kNoLinkType},
                           {!IsFlag(first) || !IsFlag(last), reason::kFirstAndLastFlags}}),
             kInserted, [&](char* err) {
               return InsertMultipleSimpleLinkTypes(name.c_str(), first, last, err);
             });
  return &result;
}

const Variable* PVSSInsertCompositeLinkType(TextVar* lktype_name, DynVar* lktype_list,
                                            IntegerVar* last_rows) {
  static TextVar result;
  const std::string name = TextOf(lktype_name);
  const std::vector<std::string> simple_types = TextsOf(lktype_list);
  const std::string joined = JoinQuoted(simple_types);
  const int last = IntOf(last_rows);
  RunChecked(result,
             FirstFailure({{!IsName(name), reason::kNoLinkType},
                           {!IsFlag(last), reason::kLastRowsFlag},
                           {simple_types.empty(), reason::kEmptyLinkList}}),
             kInserted, [&](char* err) {
               return InsertCompositeLinkType(name.c_str(), joined.c_str(), last, err);
             });
  return &result;
}

const Variable* PVSSInsertMultipleCompositeLinkTypes(TextVar* lktype_name, DynVar* lktype_list,
                                                     IntegerVar* first_time,
                                                     IntegerVar* last_rows) {
  static TextVar result;
  const std::string name = TextOf(lktype_name);
  const std::vector<std::string> simple_types = TextsOf(lktype_list);
  const std::string joined = JoinQuoted(simple_types);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result,
             FirstFailure({{!IsName(name), reason::kNoLinkType},
                           {!IsFlag(first) || !IsFlag(last), reason::kFirstAndLastFlags},
                           {simple_types.empty(), reason::kEmptyLinkList}}),
             kInserted, [&](char* err) {
               return InsertMultipleCompositeLinkTypes(name.c_str(), joined.c_str(), first, last,
                                                       err);
             });
  return &result;
}

}  // namespace ferrule::ctrl
