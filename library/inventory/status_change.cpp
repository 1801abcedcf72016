#include "inventory/status_change.h"

#include <string>

#include "inventory/item_words.h"
#include "reasons.h"
#include "report.h"
#include "statement_text.h"

namespace ferrule {

namespace {

constexpr const char* kNoChanges = "Error in the transaction: no changes have been done";
constexpr const char* kRefreshFailed = "Error couldn't update links and paths status";

const std::string kLinksOfDevice =
    "(e.portidto in (select p.portid from %(port_properties) p where p.deviceid=:devid)) "
    "or (e.portidfrom in (select p.portid from %(port_properties) p where p.deviceid=:devid))";

// Every macroscopic link with an end on the device is used when both end
// devices are (the product of their nodeused flags). When any link changed,
// the server refreshes the flags of its stored paths for the device's
// subsystems. The device's links are locked in link id order first, as the
// rewrites of every link lock them (update/link_lock_order.h).
const std::string kDeviceLinks =
    "DECLARE changed integer; BEGIN "
    "PERFORM 1 from %(macro_connectivity) e where " + kLinksOfDevice +
    " order by e.linkid for no key update; "
    "update %(macro_connectivity) e set last_update=vexa_sysdate(),user_update='%(login)',"
    "lkused=(select t.nodeused*f.nodeused from %(devices) t,%(devices) f,%(port_properties) l,"
    "%(port_properties) m where t.deviceid=l.deviceid and l.portid=e.portidfrom "
    "and f.deviceid=m.deviceid and m.portid=e.portidto) "
    "where " + kLinksOfDevice + "; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed>0 THEN :rescode:=%(update_path_used)(:sysid); END IF; END;";

// Every microscopic link from or to the component is used (1) when the
// hardware at both ends is IN_USE, 0 when both ends have hardware otherwise,
// NULL when an end has none.
constexpr const char* kBoardCpntLinks =
    "BEGIN update %(micro_connectivity) e set last_update=vexa_sysdate(),user_update='%(login)',"
    "lkused=(select CASE t.cpnt_status*f.cpnt_status WHEN 1 THEN 1 ELSE 0 END "
    "from %(hw_cpnts) t,%(hw_cpnts) f,%(lg_cpnts) l,%(lg_cpnts) m where t.snbid=l.snbid "
    "and l.cpntid=e.cpntidfrom and e.cpntidto=m.cpntid and m.snbid=f.snbid) "
    "where e.cpntidfrom=:devid or e.cpntidto=:devid; END;";

const char* reason_of(const std::vector<BlockOutcome>& outcomes, int code) {
  for (const BlockOutcome& outcome : outcomes)
    if (outcome.code == code) return outcome.reason;
  return kNoChanges;
}

const BlockLabels kSecondBlockLabels{"OCIPrepare 2 unsuccessful", "OCIStmtBind 2 unsuccessful",
                                     false, "OCIExecute2 unsuccessful"};

}  // namespace

std::string ExpandBlock(const char* tmpl, const CallerIdentity& identity) {
  return ExpandTemplate(tmpl, {{"login", QuoteLiteral(identity.login.c_str())},
                               {"host", QuoteLiteral(identity.host.c_str())}});
}

std::string CommentOrDefault(const char* user_comments, std::string default_comment) {
  return NotGiven(user_comments) ? default_comment : std::string(user_comments);
}

std::string FunctionalChangeComment(const char* user_comments, const char* name,
                                    bool replacement) {
  return CommentOrDefault(
      user_comments, replacement ? "replacement of the functional device with name " + TextOf(name)
                                 : "status change in functional device with name " + TextOf(name) +
                                       " ");
}

bool OpenStatusChange(const char* appliName, int code, const char* refusal,
                      CallerIdentity& identity, StatementHandle& stmt, char* ErrMess) {
  if (!ReadCallerIdentity(identity, ErrMess)) return false;
  if (code == 0) refusal = reason::kInvalidStatus;
  if (refusal) {
    ReportFailure(appliName, refusal, ErrMess);
    return false;
  }
  return AllocateStatement(stmt, appliName, "OCIStmtHAndleStmt unsuccessful", ErrMess);
}

int RunStatusChange(const StatusChange& change, StatementHandle& stmt, const std::string& block,
                    std::vector<BlockBind> binds, const int& rescode, const UsageRefresh& refresh,
                    const CallerIdentity& identity, char* ErrMess) {
  const BlockLabels labels{"OCIStmtPrepare unsuccessful", change.bind_label, true,
                           "OCIExecute unsuccessful"};
  std::vector<BlockStep> steps;
  steps.push_back({block, std::move(binds), &labels, [&] {
                     if (rescode == 0) return BlockVerdict{};
                     return BlockVerdict{BlockEnd::Rollback, reason_of(change.outcomes, rescode)};
                   }});

  // The ids are bound, not written into the text, so that every item
  // shares one statement; they hold what the first block returned.
  int refreshed = 0;
  if (refresh.kind != LinkUsage::None) {
    const bool device = refresh.kind == LinkUsage::DeviceLinks;
    std::vector<BlockBind> second{BlockBind::Int(":devid", *refresh.item_id)};
    if (device) {
      second.push_back(BlockBind::Int(":rescode", refreshed));
      second.push_back(BlockBind::Int(":sysid", *refresh.subsystem_set));
    }
    // The recomputed usage stays, even when the path refresh failed.
    steps.push_back({ExpandBlock(device ? kDeviceLinks.c_str() : kBoardCpntLinks, identity),
                     std::move(second), &kSecondBlockLabels, [&] {
                       if (refreshed == 0) return BlockVerdict{};
                       return BlockVerdict{BlockEnd::CommitAndRefuse, kRefreshFailed};
                     }});
  }
  return RunBlockCall(change.appliName, stmt, steps, ErrMess);
}

}  // namespace ferrule
