// Board components in cached batches. A component given with its board
// (motherboard, a device name) is mounted there: a hardware component with
// the status IN_USE, the functional component on the board and an 'IN_USE'
// history row. Without a board it is spare hardware only: a hardware
// component with the status SPARE and a 'SPARE' history row.
#include <algorithm>
#include <cstring>

#include "diagnostics.h"
#include "ferrule.h"
#include "insert/batch_protocol.h"
#include "insert/cache_release.h"
#include "reasons.h"

namespace ferrule {
namespace {

// Mounted: the hardware row takes as location the serial number of the
// hardware mounted in the board (none: no row); the functional row takes
// that new hardware row, found by its snbid, since a serial number may be
// null; when the board has no hardware and no row was written, it takes the
// hardware component that has the given serial number, if one does. The
// history row follows only when one functional row was written. Spare: the
// hardware row at the given location, then its history row. :numrows counts
// the rows of the last insert that ran; :snbid carries the new spare's snbid
// to its history row.
const InsertStatement kBoardCpntInsert{
    "DECLARE n integer; new_snbid integer; BEGIN "
    "IF coalesce(:motherboard,'none') not like 'none' THEN "
    "insert into %(hw_cpnts)(snbid,serialnb,hwtype,responsible,user_comment,cpnt_status,hwname,"
    "replacable,location) "
    "select %(next_snbid),:serialnb,:hwtype,:responsible,:comments,1,:dname,:replacable,serialnb "
    "from %(devices) where devicename=:motherboard and serialnb is not null "
    "returning snbid into new_snbid; "
    "IF new_snbid IS NULL THEN "
    "select snbid into new_snbid from %(hw_cpnts) where serialnb=:serialnb; "
    "END IF; "
    "insert into %(lg_cpnts)(cpntname,cpnttype,snbid,cpntid,motherboardid,author,created,"
    "terminal_name) "
    "select :dname,:cpnttype,new_snbid,%(next_cpntid),deviceid,'%(login)',vexa_sysdate(),"
    "'%(host)' from %(devices) "
    "where new_snbid is not null and devicename=:motherboard; "
    "GET DIAGNOSTICS n = %(row_count); "
    "IF n=1 THEN "
    "insert into %(cpnt_history)(historycpntID,snbid,cpntid,cpnt_status,user_comment,location,"
    "status_change,created,author,terminal_name) "
    "select %(next_cpnt_historyid),snbid,cpntid,'IN_USE',:comments,:motherboard,created,"
    "vexa_sysdate(),'%(login)','%(host)' from %(lg_cpnts) where cpntname=:dname; "
    "GET DIAGNOSTICS n = %(row_count); "
    "END IF; "
    "ELSE "
    "insert into %(hw_cpnts)(snbid,serialnb,hwtype,responsible,user_comment,cpnt_status,hwname,"
    "replacable,location) "
    "values(%(next_snbid),:serialnb,:hwtype,:responsible,:comments,2,:dname,:replacable,"
    ":location) returning snbid into :snbid; "
    "GET DIAGNOSTICS n = %(row_count); "
    "IF n=1 THEN "
    "insert into %(cpnt_history)(historycpntID,snbid,cpnt_status,user_comment,location,"
    "status_change,created,author,terminal_name) "
    "values(%(next_cpnt_historyid),:snbid,'SPARE',:comments,:location,vexa_sysdate(),"
    "vexa_sysdate(),'%(login)','%(host)'); "
    "GET DIAGNOSTICS n = %(row_count); "
    "END IF; "
    "END IF; "
    ":numrows := n; END;",
    {":dname", ":serialnb", ":cpnttype", ":location", ":responsible", ":comments", ":hwtype",
     ":motherboard"},
    {":replacable"},
    {":snbid"}};

constexpr std::size_t kLocationColumn = 3;  // of kBoardCpntInsert.text_binds

// A replaceable component (replacable 1) needs a real serial number: not
// null, at least two characters, not beginning with "none".
bool MissesMandatorySerial(int replacable, const char* serialnb) {
  return replacable == 1 &&
         (!serialnb || std::strncmp(serialnb, "none", 4) == 0 || std::strlen(serialnb) < 2);
}

void TraceAppend(const RowCache& cache) {
  const StringColumnCache& names = cache.texts.front();
  PrintLine("before appending string ");
  PrintLine("before appending int ");
  // A column that could not grow has no storage left to show.
  PrintLine("value of cpntlist %s", names.has_storage() ? names.buffer.data() : "");
  PrintLine("value of FIRST_TIME_CPNT %d", cache.initialised);
  FlushPrintedLines();
}

void TraceSend(const RowCache& cache, const std::vector<std::vector<char>>&) {
  const int location_width = std::max(cache.texts[kLocationColumn].longest, 1);
  PrintLine("dlocation not null %d", location_width);
  PrintLine("after memory allocation %d", cache.rows());
  PrintLine("before binding ");
  FlushPrintedLines();
}

const BatchExport kBatch{
    kBoardCpntInsert,
    {"InsertMultipleBoardCpnts", reason::kNotAllInserted, true, nullptr, TraceSend},
    reason::kCacheProblem,
    {"If the cpnt is replacable,a serialnb is mandatory the", true},  // drops the batch
    TraceAppend};

RowCache& BoardCpntCache() {
  static RowCache cache(kBoardCpntInsert.text_binds.size(), kBoardCpntInsert.value_binds.size());
  return cache;
}

}  // namespace

int FreeInsertBoardCpntsCache() { return BoardCpntCache().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int InsertMultipleBoardCpnts(const char* cpntname, const char* cpnttype,
                                        int replacable, const char* motherboard,
                                        const char* serialnb, const char* hwtype,
                                        const char* responsible, const char* comments,
                                        const char* location, int first_time, int last_rows,
                                        char* ErrMess) {
  PrintLine("value of first_time %d", first_time);
  FlushPrintedLines();
  return AddBatchRow(kBatch, BoardCpntCache(),
                     RowValues{{cpntname, serialnb, cpnttype, location, responsible, comments,
                                hwtype, motherboard},
                               {replacable},
                               MissesMandatorySerial(replacable, serialnb)},
                     first_time, last_rows, ErrMess);
}
