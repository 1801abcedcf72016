// The inventory changes (replacement, hardware status, test use) as rows of
// the block engine: one block makes every change of the call and leaves a
// result code in :rescode. Any code but 0 rolls it back and picks the call's
// reason. After it, a second block may recompute the usage of the links of
// the item that was emptied or mounted. Both are committed together, whatever
// the server's path refresh answers; a failure of either undoes both.
#pragma once

#include <string>
#include <vector>

#include "block_call.h"
#include "insert/caller_identity.h"
#include "step_chain.h"

namespace ferrule {

// The reason of a non-zero result code of the block.
struct BlockOutcome {
  int code;
  const char* reason;
};

// What the second block recomputes.
enum class LinkUsage {
  None,
  DeviceLinks,     // macroscopic links of a device, then the server's path refresh
  BoardCpntLinks,  // microscopic links of a board component
};

struct UsageRefresh {
  LinkUsage kind = LinkUsage::None;
  int* item_id = nullptr;        // deviceid or cpntid, as the block returns it
  int* subsystem_set = nullptr;  // device links: the device's subsystem set
};

struct StatusChange {
  const char* appliName;
  const std::vector<BlockOutcome>& outcomes;  // other codes: "no changes have been done"
  const char* bind_label;                     // "OCIBind " gives "OCIBind 3 unsuccessful"
};

// The opening that the replacement and the hardware status changes share:
// the caller identity, then the refusal of a status text that matched no
// word ("INVALID STATUS", code 0) and of `refusal` when one is given, then
// the statement. False when the call is answered.
bool OpenStatusChange(const char* appliName, int code, const char* refusal,
                      CallerIdentity& identity, StatementHandle& stmt, char* ErrMess);

// Runs the block on the allocated statement. rescode is the int bound as
// :rescode (0 on entry). Returns 0, -1 for a refusal or a non-zero result
// code, or the code of the first failed step; writes ErrMess.
int RunStatusChange(const StatusChange& change, StatementHandle& stmt, const std::string& block,
                    std::vector<BlockBind> binds, const int& rescode, const UsageRefresh& refresh,
                    const CallerIdentity& identity, char* ErrMess);

// The block step that the replacements of a functional device share: a
// 'NONE' history row for the device when its status changed before the
// replacement date.
inline constexpr char kDeviceNoneRowBeforeReplacement[] =
    "IF vexa_to_date(:statchange)<vexa_to_date(:statchange2) THEN "
    "insert into %(device_history)(historydeviceid,deviceid,device_status,user_comment,location,"
    "status_change,system_name,created,author,terminal_name) "
    "select %(next_device_historyid),deviceid,'NONE',:usercomment,location,"
    "vexa_to_date(:statchange),system_name,vexa_sysdate(),'%(login)','%(host)' "
    "from %(devices) where devicename=:dname; END IF; ";

// A block template with the caller's names as %(login) and %(host), written
// between its quotes.
std::string ExpandBlock(const char* tmpl, const CallerIdentity& identity);

// The caller's comment, or the default one (which names the item) when the
// comment is null or begins with "none".
std::string CommentOrDefault(const char* user_comments, std::string default_comment);

// The comment of a replacement (replacement set) or a status change of the
// functional device or component name: the caller's, or the default one,
// which names it.
std::string FunctionalChangeComment(const char* user_comments, const char* name,
                                    bool replacement);

}  // namespace ferrule
