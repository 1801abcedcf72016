// Test use of a functional device: its hardware in use moves onto a test
// board (a functional device without hardware) with the status TEST, and a
// spare is mounted in its place or the device is left without hardware,
// whose links then have their usage recomputed.
#include <cstring>
#include <string>
#include <vector>

#include "ferrule.h"
#include "inventory/item_words.h"
#include "inventory/status_change.h"
#include "report.h"

namespace ferrule {
namespace {

constexpr const char* kAppliName = "SetToTestUseStatus";

const std::vector<BlockOutcome> kOutcomes{
    {-10, "Error Log. device name is not IN_USE status"},
    {-5, "Error Board name is already IN_USE status"},
    {-3, "Error serial nb is not a spare"},
    {-15, "Error date of status change must before date of replace"}};

// Every block begins alike: (a) the device's hardware goes from IN_USE to
// TEST (else -10), returning its serial number; (b) the test board takes it
// when it has no hardware (else -5), returning its id and location; (c) a
// 'TEST' row at the test board. The rest of the block follows.
std::string MoveToTestBoardThen(const std::string& rest) {
  return std::string(
             "DECLARE changed integer; BEGIN "
             "update %(hw_devices) set device_status=3 where device_status=1 "
             "and serialnb=(select serialnb from %(devices) where devicename=:dname) "
             "returning serialnb into :snb; "
             "GET DIAGNOSTICS changed = %(row_count); "
             "IF changed=1 THEN "
             "update %(devices) set serialnb=:snb,last_update=vexa_sysdate(),"
             "user_update='%(login)' where devicename=:bname and serialnb is null "
             "returning deviceid,location into :devid,:location; "
             "GET DIAGNOSTICS changed = %(row_count); "
             "IF changed=1 THEN "
             "insert into %(device_history)(historydeviceid,serialnb,deviceid,device_status,"
             "user_comment,location,status_change,created,author,terminal_name) "
             "values (%(next_device_historyid),:snb,:devid,'TEST',:usercomment,:location,"
             "vexa_to_date(:statchange),vexa_sysdate(),'%(login)','%(host)'); ") +
         rest +
         "ELSE :rescode:=-5; :numrows:=0; END IF; "
         "ELSE :rescode:=-10; :numrows:=0; END IF; END;";
}

// Then the device is left without hardware (nodeused 0) with a 'NONE' row,
// and the server moves the board's components to the test board.
const std::string kWithoutReplacement = MoveToTestBoardThen(
    "update %(devices) set nodeused=0,serialnb=NULL,last_update=vexa_sysdate(),"
    "user_update='%(login)' where devicename=:dname "
    "returning deviceid,system_name,location into :dID,:sysID,:loc; "
    "insert into %(device_history)(historydeviceid,serialnb,deviceid,device_status,user_comment,"
    "location,status_change,system_name,created,author,terminal_name) "
    "values (%(next_device_historyid),NULL,:dID,'NONE',:usercomment,:loc,"
    "vexa_to_date(:statchange),:sysID,vexa_sysdate(),'%(login)','%(host)'); "
    ":numrows:=1; "
    ":rescode:=%(test_use_board_cpnt)(:dID,:devid,:statchange,'%(login)',:usercomment,"
    "'%(host)'); ");

// Then a 'NONE' row for the device when the move came before the
// replacement; -15 when the replacement date is the earlier one; otherwise
// the device takes the replacement when it is SPARE (else -3), which
// becomes IN_USE with its history row, and the server moves the
// components of both boards.
const std::string kWithReplacement = MoveToTestBoardThen(
    std::string(kDeviceNoneRowBeforeReplacement) +
    "IF vexa_to_date(:statchange2)<vexa_to_date(:statchange) THEN :numrows:=0; :rescode:=-15; "
    "ELSE "
    "update %(devices) set serialnb=:snb2,last_update=vexa_sysdate(),user_update='%(login)' "
    "where devicename=:dname and 2=(select device_status from %(hw_devices) "
    "where device_status=2 and serialnb=:snb2) "
    "returning deviceid,system_name,location into :dID,:sysID,:loc; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed=1 THEN "
    "update %(hw_devices) set device_status=1 where serialnb=:snb2; "
    "insert into %(device_history)(historydeviceid,serialnb,deviceid,device_status,user_comment,"
    "location,status_change,system_name,created,author,terminal_name) "
    "values (%(next_device_historyid),:snb2,:dID,'IN_USE',:usercomment,:loc,"
    "vexa_to_date(:statchange2),:sysID,vexa_sysdate(),'%(login)','%(host)'); "
    ":numrows:=1; "
    ":rescode:=%(test_use_board_cpnt)(:dID,:devid,:statchange,'%(login)',:usercomment,"
    "'%(host)',:snb,:statchange2); "
    "ELSE :rescode:=-3; :numrows:=0; END IF; END IF; ");

// The texts the block returns (serial number, locations) are at most 1000
// characters; "blabla" until then.
std::vector<char> ReturnBuffer() {
  std::vector<char> buffer(1001, '\0');
  std::memcpy(buffer.data(), "blabla", 6);
  return buffer;
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int SetToTestUseStatus(const char* functional_name, const char* user_comments,
                                  const char* status_datechange,
                                  const char* serialnb_replacement,
                                  const char* testdevice_name, const char* replace_date,
                                  char* ErrMess) {
  std::vector<char> moved_serial = ReturnBuffer();
  std::vector<char> board_location = ReturnBuffer();
  std::vector<char> device_location = ReturnBuffer();
  const bool replacement = !NotGiven(serialnb_replacement);
  const std::string comment =
      FunctionalChangeComment(user_comments, functional_name, replacement);
  StatementHandle stmt;
  if (!AllocateStatement(stmt, kAppliName, "OCIStmtHAndleStmt unsuccessful", ErrMess)) return -1;
  CallerIdentity identity;
  if (!ReadCallerIdentity(identity, ErrMess)) return -1;
  const char* refusal = NotGiven(testdevice_name)     ? "TEST BOARD NAME  MUST BE GIVEN"
                        : NotGiven(functional_name)   ? "DEVICE NAME  MUST BE GIVEN"
                        : NotGiven(status_datechange) ? "date of status_change  MUST BE GIVEN"
                                                      : nullptr;
  if (refusal) {
    ReportFailure(kAppliName, refusal, ErrMess);
    return -1;
  }

  int board_id = 0, device_id = 0, subsystem_set = 0, numrows = 0, rescode = 0;
  std::vector<BlockBind> binds{BlockBind::Buffer(":snb", moved_serial),
                               BlockBind::Text(":bname", testdevice_name),
                               BlockBind::Text(":dname", functional_name),
                               BlockBind::Int(":devid", board_id),
                               BlockBind::Int(":dID", device_id),
                               BlockBind::Buffer(":location", board_location),
                               BlockBind::Int(":sysID", subsystem_set),
                               BlockBind::Buffer(":loc", device_location),
                               BlockBind::Text(":usercomment", comment.c_str()),
                               BlockBind::Text(":statchange", status_datechange),
                               BlockBind::Int(":numrows", numrows),
                               BlockBind::Int(":rescode", rescode)};
  if (replacement) {
    binds.push_back(
        BlockBind::Text(":statchange2", replace_date, "DATE OF REPLACEMENT MUST BE GIVEN"));
    binds.push_back(BlockBind::Text(":snb2", serialnb_replacement));
  }

  UsageRefresh refresh;
  if (!replacement) refresh = {LinkUsage::DeviceLinks, &device_id, &subsystem_set};
  const StatusChange change{kAppliName, kOutcomes, "OCIBind"};
  const std::string& block = replacement ? kWithReplacement : kWithoutReplacement;
  return RunStatusChange(change, stmt, ExpandBlock(block.c_str(), identity), binds, rescode, refresh,
                         identity, ErrMess);
}
