// Replacement of the hardware behind a functional device or a board
// component: the mounted hardware leaves with a new status and location,
// and a spare is mounted in its place or the item is left without hardware.
// One block makes every change and writes the history rows; an item left
// without hardware then has the usage of its links recomputed.
#include <string>
#include <vector>

#include "ferrule.h"
#include "inventory/item_words.h"
#include "inventory/status_change.h"
#include "report.h"

namespace ferrule {
namespace {

const std::vector<BlockOutcome> kDeviceOutcomes{
    {-10, "Error The given log. device name is not IN_USE"},
    {-5, "Error The given serial nb is not a SPARE"},
    {-15, "Error date of replacement must be after date of status change"}};

const std::vector<BlockOutcome> kCpntOutcomes{
    {-10, "Error The given log. cpnt name is not IN_USE or not replacable"},
    {-5, "Error The given serial nb is not a SPARE"},
    {-15, "Error date of replacement must be after date of status change"}};

// The statuses that hardware can leave with, matched by their first
// characters: the device function compares 7 characters of "EXT_TEST".
const std::vector<StatusPrefix> kDeviceStatuses{
    {"DESTROYED", 9, 6}, {"IN_REPAIR", 6, 5}, {"SPARE", 5, 2}, {"EXT_TEST", 7, 4}};
const std::vector<StatusPrefix> kCpntStatuses{
    {"DESTROYED", 9, 6}, {"IN_REPAIR", 6, 5}, {"SPARE", 5, 2}, {"EXT_TEST", 8, 4}};

// Every block begins by taking the hardware in use out of the item: it
// takes the new status and location, with its history row. The rest of the
// block runs only when exactly one row changed; otherwise -10.
std::string TakeOutThen(const char* taken_out, const std::string& rest) {
  return std::string("DECLARE changed integer; BEGIN ") + taken_out + rest +
         "ELSE :rescode:=-10; :numrows:=0; END IF; END;";
}

constexpr const char* kDeviceTakenOut =
    "update %(hw_devices) set device_status=:dstatus,location=:dlocation where device_status=1 "
    "and serialnb=(select serialnb from %(devices) where devicename=:dname); "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed=1 THEN "
    "insert into %(device_history)(historydeviceid,serialnb,device_status,user_comment,location,"
    "status_change,system_name,created,author,terminal_name) "
    "select %(next_device_historyid),serialnb,:newstatus,:usercomment,:dlocation,"
    "vexa_to_date(:statchange),system_name,vexa_sysdate(),'%(login)','%(host)' "
    "from %(devices) where devicename=:dname; ";

// (b) A 'NONE' row for the device when the status changed before the
// replacement. (c) -15 when the replacement date is the earlier one. (d)
// The device takes the replacement when it is SPARE (else -5), which
// becomes IN_USE with its history row; the server then moves the board's
// components.
const std::string kDeviceWithReplacement = TakeOutThen(
    kDeviceTakenOut,
    std::string(kDeviceNoneRowBeforeReplacement) +
    "IF vexa_to_date(:statchange2)<vexa_to_date(:statchange) THEN :rescode:=-15; :numrows:=0; "
    "ELSE "
    "update %(devices) set serialnb=:snb,last_update=vexa_sysdate(),user_update='%(login)' "
    "where devicename=:dname and 2=(select device_status from %(hw_devices) "
    "where serialnb=:snb and device_status=2) returning deviceid into :devid; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed=1 THEN "
    "insert into %(device_history)(historydeviceid,serialnb,deviceid,device_status,user_comment,"
    "location,status_change,system_name,created,author,terminal_name) "
    "select %(next_device_historyid),serialnb,deviceid,'IN_USE',:usercomment,location,"
    "vexa_to_date(:statchange2),system_name,vexa_sysdate(),'%(login)','%(host)' "
    "from %(devices) where devicename=:dname; "
    "update %(hw_devices) set device_status=1 where serialnb=:snb; "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    ":rescode:=%(update_board_cpnt)(:devid,:dlocation,:dstatus,:statchange,'%(login)',"
    ":usercomment,'%(host)',:snb,:statchange2); "
    "ELSE :rescode:=-5; :numrows:=0; END IF; END IF; ");

// Without a replacement the device is left without hardware (nodeused 0),
// with a 'NOT_AVAILABLE' row, and the server takes the board's components
// out of its positions.
const std::string kDeviceWithoutReplacement = TakeOutThen(
    kDeviceTakenOut,
    "update %(devices) set nodeused=0,last_update=vexa_sysdate(),user_update='%(login)',"
    "serialnb=NULL where devicename=:dname returning deviceid,system_name into :devid,:sysID; "
    "insert into %(device_history)(historydeviceid,deviceid,device_status,user_comment,location,"
    "status_change,system_name,created,author,terminal_name) "
    "select %(next_device_historyid),deviceid,'NOT_AVAILABLE',:usercomment,location,"
    "vexa_to_date(:statchange),system_name,vexa_sysdate(),'%(login)','%(host)' "
    "from %(devices) where devicename=:dname; "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    ":rescode:=%(update_board_cpnt)(:devid,:dlocation,:dstatus,:statchange,'%(login)',"
    ":usercomment,'%(host)'); ");

// The same steps for a replacable component in use; its rows are located at
// the name of its board. On success :rescode keeps its 0.
constexpr const char* kCpntTakenOut =
    "update %(hw_cpnts) set cpnt_status=:dstatus,location=:dlocation where cpnt_status=1 "
    "and snbid=(select snbid from %(lg_cpnts) where cpntname=:dname) and replacable=1; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed=1 THEN "
    "insert into %(cpnt_history)(historycpntid,snbid,cpnt_status,user_comment,location,"
    "status_change,created,author,terminal_name) "
    "select %(next_cpnt_historyid),snbid,:newstatus,:usercomment,:dlocation,"
    "vexa_to_date(:statchange),vexa_sysdate(),'%(login)','%(host)' "
    "from %(lg_cpnts) where cpntname=:dname; ";

const std::string kCpntWithReplacement = TakeOutThen(
    kCpntTakenOut,
    "IF vexa_to_date(:statchange)<vexa_to_date(:statchange2) THEN "
    "insert into %(cpnt_history)(historycpntid,cpntid,cpnt_status,user_comment,location,"
    "status_change,created,author,terminal_name) "
    "select %(next_cpnt_historyid),c.cpntid,'NONE',:usercomment,d.devicename,"
    "vexa_to_date(:statchange),vexa_sysdate(),'%(login)','%(host)' "
    "from %(lg_cpnts) c,%(devices) d where c.cpntname=:dname and c.motherboardid=d.deviceid; "
    "END IF; "
    "IF vexa_to_date(:statchange2)<vexa_to_date(:statchange) THEN :rescode:=-15; :numrows:=0; "
    "ELSE "
    "update %(lg_cpnts) set snbid=(select snbid from %(hw_cpnts) where serialnb=:snb),"
    "last_update=vexa_sysdate(),user_update='%(login)' where cpntname=:dname "
    "and 2=(select cpnt_status from %(hw_cpnts) where serialnb=:snb and cpnt_status=2) "
    "returning cpntid into :devid; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed=1 THEN "
    "insert into %(cpnt_history)(historycpntid,snbid,cpntid,cpnt_status,user_comment,location,"
    "status_change,created,author,terminal_name) "
    "select %(next_cpnt_historyid),c.snbid,c.cpntid,'IN_USE',:usercomment,d.devicename,"
    "vexa_to_date(:statchange2),vexa_sysdate(),'%(login)','%(host)' "
    "from %(lg_cpnts) c,%(devices) d where c.cpntname=:dname and c.motherboardid=d.deviceid; "
    "update %(hw_cpnts) set cpnt_status=1 where serialnb=:snb; "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    "ELSE :rescode:=-5; :numrows:=0; END IF; END IF; ");

const std::string kCpntWithoutReplacement = TakeOutThen(
    kCpntTakenOut,
    "update %(lg_cpnts) set last_update=vexa_sysdate(),user_update='%(login)',snbid=NULL "
    "where cpntname=:dname returning cpntid into :devid; "
    "insert into %(cpnt_history)(historycpntid,cpntid,cpnt_status,user_comment,location,"
    "status_change,created,author,terminal_name) "
    "select %(next_cpnt_historyid),c.cpntid,'NONE',:usercomment,d.devicename,"
    "vexa_to_date(:statchange),vexa_sysdate(),'%(login)','%(host)' "
    "from %(lg_cpnts) c,%(devices) d where c.cpntname=:dname and c.motherboardid=d.deviceid; "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    ":rescode:=0; ");

struct ReplaceForms {
  const char* appliName;
  const std::string& with_replacement;
  const std::string& without_replacement;
  const std::vector<StatusPrefix>& statuses;
  const std::vector<BlockOutcome>& outcomes;
  LinkUsage emptied_links;  // recomputed when the item is left without hardware
  bool returns_subsystem_set;  // the plain form returns :sysID
  bool traces_dates;           // prints the dates before binding them
};

const ReplaceForms kDevice{"ReplaceFunctionalDevice", kDeviceWithReplacement,
                           kDeviceWithoutReplacement, kDeviceStatuses, kDeviceOutcomes,
                           LinkUsage::DeviceLinks, true, false};
const ReplaceForms kCpnt{"ReplaceFunctionalBoardCpnt", kCpntWithReplacement,
                         kCpntWithoutReplacement, kCpntStatuses, kCpntOutcomes,
                         LinkUsage::BoardCpntLinks, false, true};

int RunReplacement(const ReplaceForms& forms, const char* name, const char* new_status,
                   const char* new_location, const char* user_comments,
                   const char* status_datechange, const char* serialnb_replacement,
                   const char* replace_date, char* ErrMess) {
  const bool replacement = !NotGiven(serialnb_replacement);
  const std::string comment = FunctionalChangeComment(user_comments, name, replacement);
  int code = StatusCodeOf(new_status, forms.statuses);
  CallerIdentity identity;
  StatementHandle stmt;
  if (!OpenStatusChange(forms.appliName, code, nullptr, identity, stmt, ErrMess)) return -1;

  int numrows = 0, item_id = 0, rescode = 0, subsystem_set = 0;
  std::vector<BlockBind> binds{
      BlockBind::Int(":dstatus", code),
      BlockBind::Text(":dlocation", new_location),
      BlockBind::Text(":dname", name, "DEVICE NAME MUST BE GIVEN"),
      BlockBind::Text(":usercomment", comment.c_str()),
      BlockBind::Text(":statchange", status_datechange, "DATE OF CHANGE STATUS MUST BE GIVEN"),
      BlockBind::Int(":numrows", numrows),
      BlockBind::Int(":devid", item_id),
      BlockBind::Int(":rescode", rescode)};
  if (forms.traces_dates) binds[4].trace = "date =";
  if (replacement) {
    binds.push_back(
        BlockBind::Text(":statchange2", replace_date, "DATE OF REPLACEMENT MUST BE GIVEN"));
    if (forms.traces_dates) binds.back().trace = "date of repalce =";
    binds.push_back(BlockBind::Text(":snb", serialnb_replacement));
  } else if (forms.returns_subsystem_set) {
    binds.push_back(BlockBind::Int(":sysID", subsystem_set));
  }
  // The status text goes into the history row as given: bound, never
  // written into the statement.
  binds.push_back(BlockBind::Text(":newstatus", new_status));

  UsageRefresh refresh;
  if (!replacement) refresh = {forms.emptied_links, &item_id, &subsystem_set};
  const StatusChange change{forms.appliName, forms.outcomes, "OCIBind "};
  return RunStatusChange(
      change, stmt,
      ExpandBlock(
          (replacement ? forms.with_replacement : forms.without_replacement).c_str(), identity),
      binds, rescode, refresh, identity, ErrMess);
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int ReplaceFunctionalDevice(const char* functional_name, const char* new_status,
                                       const char* new_location, const char* user_comments,
                                       const char* status_datechange,
                                       const char* serialnb_replacement,
                                       const char* replace_date, char* ErrMess) {
  return RunReplacement(kDevice, functional_name, new_status, new_location, user_comments,
                        status_datechange, serialnb_replacement, replace_date, ErrMess);
}

extern "C" int ReplaceFunctionalBoardCpnt(const char* cpnt_name, const char* new_status,
                                          const char* new_location, const char* user_comments,
                                          const char* status_datechange,
                                          const char* serialnb_replacement,
                                          const char* replace_date, char* ErrMess) {
  return RunReplacement(kCpnt, cpnt_name, new_status, new_location, user_comments,
                        status_datechange, serialnb_replacement, replace_date, ErrMess);
}
