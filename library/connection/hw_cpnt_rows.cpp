// Hardware components as one row of text, with the board component that
// holds them; a component that no board component holds is read again
// alone and shows "none" as its board component. When nothing is found
// they answer with the fetch status (100) and the database's message.
#include "ferrule.h"
#include "row_lookup.h"

namespace ferrule {
namespace {

// hwname, hwtype, cpnt_status, responsible, user_comment, location,
// serialnb; then cpntname, snbid and replacable in the first statement,
// snbid and replacable in the second. A null cpnt_status or replacable
// cannot be fetched: such a component is answered as missing.
const std::vector<LookupColumn> kHWCpntColumns{
    TextColumn(kFloor50), TextColumn(kFloor50), StatusWordColumn(), TextColumn(kFloor50),
    TextColumn(kFloor50), TextColumn(kFloor50), TextColumn(kFloor50), TextColumn(kFloor50),
    IntColumn(),          IntColumn()};
const std::vector<LookupColumn> kHWCpntAloneColumns{
    TextColumn(kFloor50), TextColumn(kFloor50), StatusWordColumn(), TextColumn(kFloor50),
    TextColumn(kFloor50), TextColumn(kFloor50), TextColumn(kFloor50), IntColumn(),
    IntColumn()};

const char* const kHWCpntFormat =
    "|snbid (I):%d |hwname (C):%s |hwtype (C):%s |cpnt_status (C):%s |replacable (I):%d "
    "|location (C):%s |responsible  (C):%s |user_comment (C):%s |cpntname (C):%s "
    "|serialnb  (C):%s |";
// The row of a component alone has no snbid field.
const char* const kHWCpntAloneFormat =
    "|hwname (C):%s |hwtype (C):%s |cpnt_status (C):%s |replacable (I):%d |location (C):%s "
    "|responsible  (C):%s |user_comment (C):%s |cpntname (C):none |serialnb  (C):%s |";

// A null serialnb shows as an empty value.
#define HW_CPNT_ALONE_SELECT                                                                  \
  " select coalesce(hwname,'none')||'?',coalesce(hwtype,'none')||'?',cpnt_status,"            \
  "coalesce(responsible,'none')||'?',coalesce(user_comment,'none')||'?',"                     \
  "coalesce(location,'none')||'?',concat(serialnb,'?'),snbid,replacable from %(hw_cpnts) where "

RowLookupSpec HWCpntRow(const char* appliName, const char* statement) {
  RowLookupSpec spec{appliName, nullptr, statement, kHWCpntColumns, kHWCpntFormat,
                     NoRowsForm::Reported};
  spec.fields = {9, 1, 2, 3, 10, 6, 4, 5, 8, 7};
  return spec;
}

RowLookupSpec HWCpntAlone(const char* appliName, const char* statement) {
  RowLookupSpec spec{appliName, nullptr, statement, kHWCpntAloneColumns, kHWCpntAloneFormat};
  spec.fields = {1, 2, 3, 9, 6, 4, 5, 7};
  return spec;
}

const RowLookupSpec kHWCpntBySerialAlone =
    HWCpntAlone("GetHWCpntRow_serialnb", HW_CPNT_ALONE_SELECT "serialnb=:dname");

const RowLookupSpec kHWCpntBySerial = [] {
  RowLookupSpec spec = HWCpntRow(
      "GetHWCpntRow_serialnb",
      " select coalesce(t.hwname,'none')||'?',coalesce(t.hwtype,'none')||'?',t.cpnt_status,"
      "coalesce(t.responsible,'none')||'?',coalesce(t.user_comment,'none')||'?',"
      "coalesce(t.location,'none')||'?',t.serialnb||'?',d.cpntname||'?' ,t.snbid,t.replacable "
      "from %(hw_cpnts) t,%(lg_cpnts) d where t.serialnb=:dname and t.snbid=d.snbid");
  spec.fallback = &kHWCpntBySerialAlone;
  spec.prepare_trace = " select stmt ";
  return spec;
}();

const RowLookupSpec kHWCpntBySnbidAlone = [] {
  RowLookupSpec spec = HWCpntAlone("GetHWCpntRow_snbid", HW_CPNT_ALONE_SELECT "snbid=:did");
  spec.prepare_trace = "selectdev ";
  return spec;
}();

const RowLookupSpec kHWCpntBySnbid = [] {
  RowLookupSpec spec = HWCpntRow(
      "GetHWCpntRow_snbid",
      " select coalesce(t.hwname,'none')||'?',coalesce(t.hwtype,'none')||'?',t.cpnt_status,"
      "coalesce(t.responsible,'none')||'?',coalesce(t.user_comment,'none')||'?',"
      "coalesce(t.location,'none')||'?',coalesce(t.serialnb,'none')||'?',"
      "coalesce(d.cpntname,'none')||'?' ,t.snbid,t.replacable "
      "from %(hw_cpnts) t,%(lg_cpnts) d where t.snbid=:did and t.snbid=d.snbid");
  spec.fallback = &kHWCpntBySnbidAlone;
  return spec;
}();

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetHWCpntRow_serialnb(const char* serialnb, int* len_cpnt, char* cpnt_result,
                                     char* ErrMess) {
  return RunRowLookup(kHWCpntBySerial,
                      {KeyBind::Text(":dname", serialnb, "serialnb MUST be given")}, len_cpnt,
                      cpnt_result, ErrMess);
}

extern "C" int GetHWCpntRow_snbid(int snbid, int* len_cpnt, char* cpnt_result, char* ErrMess) {
  return RunRowLookup(kHWCpntBySnbid, {KeyBind::Int(":did", snbid)}, len_cpnt, cpnt_result,
                      ErrMess);
}
