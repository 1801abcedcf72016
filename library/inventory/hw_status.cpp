// Status changes of a hardware device or a hardware component that is not
// in use, found by its serial number. IN_USE mounts it in a functional item
// that has none, and then recomputes the usage of that item's links; any
// other status changes its status and location. The components located on
// a hardware device follow its status.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ferrule.h"
#include "inventory/item_words.h"
#include "inventory/status_change.h"
#include "report.h"

namespace ferrule {
namespace {

constexpr int kInUse = 1;

const std::vector<StatusPrefix> kStatuses{{"DESTROYED", 9, 6}, {"IN_REPAIR", 6, 5},
                                          {"SPARE", 5, 2},     {"EXT_TEST", 8, 4},
                                          {"IN_USE", 6, kInUse}};

const std::vector<BlockOutcome> kOutcomes{
    {-10, "Error The given serialnb  doens't exist or it is in IN_USE status "},
    {-5, "Error The given functional device is already in USE"}};

// The hardware (not in use: else -10) becomes IN_USE and is mounted in the
// device, which must have none (else -5); a history row with the device's
// location and subsystems. The components located on the hardware become
// IN_USE and take the device's positions by name (a position whose name no
// component of this hardware bears is left empty), with a history row per
// position.
constexpr const char* kDeviceInUse =
    "DECLARE changed integer; BEGIN "
    "update %(hw_devices) set device_status=:dstatus where device_status!=1 and serialnb=:snb; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed=1 THEN "
    "update %(devices) set serialnb=:snb,nodeused=1,last_update=vexa_sysdate(),"
    "user_update='%(login)' where devicename=:dname and serialnb is null "
    "returning deviceid,system_name,location into :devid,:sysname,:dlocation; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed=1 THEN "
    "insert into %(device_history)(historydeviceid,deviceid,serialnb,device_status,user_comment,"
    "location,status_change,system_name,created,author,terminal_name) "
    "values (%(next_device_historyid),:devid,:snb,:newstatus,:usercomment,:dlocation,"
    "vexa_to_date(:statchange),:sysname,vexa_sysdate(),'%(login)','%(host)'); "
    "update %(hw_cpnts) set cpnt_status=:dstatus where location=:snb; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed>0 THEN "
    "update %(lg_cpnts) t set snbid=(select min(p.snbid) from %(hw_cpnts) p "
    "where p.hwname=t.cpntname and p.location=:snb) where t.motherboardid=:devid; "
    "insert into %(cpnt_history)(historycpntid,snbid,cpntid,cpnt_status,user_comment,location,"
    "status_change,created,author,terminal_name) "
    "select %(next_cpnt_historyid),snbid,cpntid,:newstatus,:usercomment,:snb,"
    "vexa_to_date(:statchange),vexa_sysdate(),'%(login)','%(host)' "
    "from %(lg_cpnts) where motherboardid=:devid; "
    "END IF; :numrows:=changed; :rescode:=0; "
    "ELSE :rescode:=-5; :numrows:=0; END IF; "
    "ELSE :rescode:=-10; :numrows:=0; END IF; END;";

// The hardware (not in use: else -10) takes the status and location, with
// a history row; so do the components located on it.
constexpr const char* kDeviceOther =
    "DECLARE changed integer; BEGIN "
    "update %(hw_devices) set device_status=:dstatus,location=:dlocation "
    "where device_status!=1 and serialnb=:snb; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed=1 THEN "
    "insert into %(device_history)(historydeviceid,serialnb,device_status,user_comment,location,"
    "status_change,created,author,terminal_name) "
    "values (%(next_device_historyid),:snb,:newstatus,:usercomment,:dlocation,"
    "vexa_to_date(:statchange),vexa_sysdate(),'%(login)','%(host)'); "
    "update %(hw_cpnts) set cpnt_status=:dstatus where location=:snb; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed>0 THEN "
    "insert into %(cpnt_history)(historycpntid,snbid,cpnt_status,user_comment,location,"
    "status_change,created,author,terminal_name) "
    "select %(next_cpnt_historyid),snbid,:newstatus,:usercomment,:snb,vexa_to_date(:statchange),"
    "vexa_sysdate(),'%(login)','%(host)' from %(hw_cpnts) where location=:snb; "
    "END IF; :numrows:=changed; :rescode:=0; "
    "ELSE :rescode:=-10; :numrows:=0; END IF; END;";

// The replacable component (not in use: else -10) becomes IN_USE, located
// on the hardware of the board that holds the position, and fills the
// position, which must be empty (else -5). :sysname returns its snbid and
// :dlocation the board's deviceid; the history row is located at the
// board's name.
constexpr const char* kCpntInUse =
    "DECLARE changed integer; BEGIN "
    "update %(hw_cpnts) set cpnt_status=:dstatus,location=(select d.serialnb "
    "from %(lg_cpnts) c,%(devices) d where c.cpntname=:dname and c.motherboardid=d.deviceid) "
    "where replacable=1 and cpnt_status!=1 and serialnb=:snb; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed=1 THEN "
    "update %(lg_cpnts) set snbid=(select snbid from %(hw_cpnts) where serialnb=:snb),"
    "last_update=vexa_sysdate(),user_update='%(login)' where cpntname=:dname and snbid is null "
    "returning cpntid,snbid,motherboardid into :devid,:sysname,:dlocation; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed=1 THEN "
    "insert into %(cpnt_history)(historycpntid,cpntid,snbid,cpnt_status,user_comment,location,"
    "status_change,created,author,terminal_name) "
    "select %(next_cpnt_historyid),:devid,:sysname,:newstatus,:usercomment,devicename,"
    "vexa_to_date(:statchange),vexa_sysdate(),'%(login)','%(host)' "
    "from %(devices) where deviceid=CAST(:dlocation AS integer); "
    ":numrows:=changed; :rescode:=0; "
    "ELSE :rescode:=-5; :numrows:=0; END IF; "
    "ELSE :rescode:=-10; :numrows:=0; END IF; END;";

constexpr const char* kCpntOther =
    "DECLARE changed integer; BEGIN "
    "update %(hw_cpnts) set cpnt_status=:dstatus,location=:dlocation "
    "where replacable=1 and cpnt_status!=1 and serialnb=:snb; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed=1 THEN "
    "insert into %(cpnt_history)(historycpntid,snbid,cpnt_status,user_comment,location,"
    "status_change,created,author,terminal_name) "
    "select %(next_cpnt_historyid),snbid,:newstatus,:usercomment,:dlocation,"
    "vexa_to_date(:statchange),vexa_sysdate(),'%(login)','%(host)' "
    "from %(hw_cpnts) where serialnb=:snb; "
    ":numrows:=changed; :rescode:=0; "
    "ELSE :rescode:=-10; :numrows:=0; END IF; END;";

struct HWForms {
  const char* appliName;
  const char* in_use;
  const char* other;
  LinkUsage mounted_links;  // recomputed after mounting
  bool traces_date;         // prints the date before binding it
};

const HWForms kDevice{"UpdateHWDeviceStatus", kDeviceInUse, kDeviceOther, LinkUsage::DeviceLinks,
                      true};
const HWForms kCpnt{"UpdateHWBoardCpntStatus", kCpntInUse, kCpntOther, LinkUsage::BoardCpntLinks,
                    false};

// The location bound in and out: the given location; "blabla" for IN_USE
// without one (the block returns the item's own into it); a text beginning
// with "none" as it is; empty (NULL) otherwise. Sized to the text, so a long
// location is never cut or written past the buffer.
std::vector<char> LocationBuffer(const char* new_location, int code) {
  const std::string text = !NotGiven(new_location) ? new_location
                           : code == kInUse        ? "blabla"
                                                   : TextOf(new_location);
  std::vector<char> buffer(std::max<std::size_t>(101, text.size() + 1), '\0');
  std::memcpy(buffer.data(), text.c_str(), text.size());
  return buffer;
}

int RunHWStatus(const HWForms& forms, const char* serialnb, const char* new_status,
                const char* new_location, const char* user_comments,
                const char* status_datechange, const char* functional_name, char* ErrMess) {
  const bool functional_given = !NotGiven(functional_name);
  const std::string comment = CommentOrDefault(
      user_comments, functional_given
                         ? "replacement of the hw  device with name " + TextOf(serialnb)
                         : "status change in hw device with name " + TextOf(serialnb) + " ");
  int code = StatusCodeOf(new_status, kStatuses);
  std::vector<char> location = LocationBuffer(new_location, code);
  CallerIdentity identity;
  StatementHandle stmt;
  const char* refusal =
      code == kInUse && !functional_given ? "You should provide a functional devicename" : nullptr;
  if (!OpenStatusChange(forms.appliName, code, refusal, identity, stmt, ErrMess)) return -1;

  int numrows = 0, rescode = 0, subsystem_set = 0, item_id = 0;
  std::vector<BlockBind> binds{
      BlockBind::Int(":dstatus", code),
      BlockBind::Text(":usercomment", comment.c_str()),
      BlockBind::Text(":statchange", status_datechange, "DATE OF CHANGE STATUS MUST BE GIVEN"),
      BlockBind::Int(":numrows", numrows),
      BlockBind::Int(":rescode", rescode),
      BlockBind::Text(":snb", serialnb, "SERIAL NUMBER MUST BE GIVEN"),
      BlockBind::Buffer(":dlocation", location)};
  if (forms.traces_date) binds[2].trace = "date =";
  if (code == kInUse) {
    binds.push_back(BlockBind::Text(":dname", functional_name, "DEVICE NAME MUST BE GIVEN"));
    binds.push_back(BlockBind::Int(":sysname", subsystem_set));
    binds.push_back(BlockBind::Int(":devid", item_id));
  }
  binds.push_back(BlockBind::Text(":newstatus", new_status));

  UsageRefresh refresh;
  if (code == kInUse) refresh = {forms.mounted_links, &item_id, &subsystem_set};
  const StatusChange change{forms.appliName, kOutcomes, "OCIBind "};
  return RunStatusChange(change, stmt,
                         ExpandBlock(code == kInUse ? forms.in_use : forms.other, identity), binds,
                         rescode, refresh, identity, ErrMess);
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int UpdateHWDeviceStatus(const char* serialnb, const char* new_status,
                                    const char* new_location, const char* user_comments,
                                    const char* status_datechange, const char* functional_name,
                                    char* ErrMess) {
  return RunHWStatus(kDevice, serialnb, new_status, new_location, user_comments,
                     status_datechange, functional_name, ErrMess);
}

extern "C" int UpdateHWBoardCpntStatus(const char* serialnb, const char* new_status,
                                       const char* new_location, const char* user_comments,
                                       const char* status_datechange,
                                       const char* functional_cpntname, char* ErrMess) {
  return RunHWStatus(kCpnt, serialnb, new_status, new_location, user_comments,
                     status_datechange, functional_cpntname, ErrMess);
}
