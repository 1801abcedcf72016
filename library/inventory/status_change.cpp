#include "inventory/status_change.h"

#include <cstdio>
#include <cstring>

#include "inventory/item_words.h"
#include "report.h"
#include "session.h"
#include "statement_text.h"

namespace ferrule {

namespace {

constexpr const char* kNoChanges = "Error in the transaction: no changes have been done";
constexpr const char* kRefreshFailed = "Error couldn't update links and paths status";

// Every macroscopic link with an end on the device is used when both end
// devices are (the product of their nodeused flags). When any link changed,
// the server refreshes the flags of its stored paths for the device's
// subsystems.
constexpr const char* kDeviceLinks =
    "DECLARE changed integer; BEGIN "
    "update %(macro_connectivity) e set last_update=vexa_sysdate(),user_update='%(login)',"
    "lkused=(select t.nodeused*f.nodeused from %(devices) t,%(devices) f,%(port_properties) l,"
    "%(port_properties) m where t.deviceid=l.deviceid and l.portid=e.portidfrom "
    "and f.deviceid=m.deviceid and m.portid=e.portidto) "
    "where (e.portidto in (select p.portid from %(port_properties) p where p.deviceid=:devid)) "
    "or (e.portidfrom in (select p.portid from %(port_properties) p where p.deviceid=:devid)); "
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

sword bind(OCIStmt* stmt, const char* name, void* value, int size, ub2 type) {
  OCIBind* handle = nullptr;
  return OCIBindByName(stmt, &handle, session().errhp, reinterpret_cast<const OraText*>(name), -1,
                       value, size, type, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
}

}  // namespace

BlockBind BlockBind::Text(const char* name, const char* text, const char* refusal) {
  return {name, SQLT_STR, const_cast<char*>(text),
          text ? static_cast<int>(std::strlen(text) + 1) : 0, refusal, nullptr};
}

BlockBind BlockBind::Buffer(const char* name, std::vector<char>& buffer) {
  return {name, SQLT_STR, buffer.data(), static_cast<int>(buffer.size()), nullptr, nullptr};
}

BlockBind BlockBind::Int(const char* name, int& value) {
  return {name, SQLT_INT, &value, sizeof value, nullptr, nullptr};
}

std::string ExpandBlock(const char* tmpl, const CallerIdentity& identity) {
  return ExpandTemplate(tmpl, {{"login", QuoteLiteral(identity.login.c_str())},
                               {"host", QuoteLiteral(identity.host.c_str())}});
}

std::string CommentOrDefault(const char* user_comments, std::string default_comment) {
  return NotGiven(user_comments) ? default_comment : std::string(user_comments);
}

int RunStatusChange(const StatusChange& change, StatementHandle& stmt, const std::string& block,
                    std::vector<BlockBind>& binds, const int& rescode,
                    const UsageRefresh& refresh, const CallerIdentity& identity, char* ErrMess) {
  Session& s = session();
  StepChain chain(s.errhp);
  chain.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt.get(), s.errhp, block); });
  for (std::size_t i = 0; i < binds.size(); ++i) {
    BlockBind& b = binds[i];
    if (b.type == SQLT_STR && !b.value && b.refusal) {
      stmt.release();
      SetErrMess(change.appliName, b.refusal, ErrMess, 1);
      return -1;
    }
    if (b.trace && b.value) std::printf("%s%s\n", b.trace, static_cast<const char*>(b.value));
    const std::string label = change.bind_label + std::to_string(i + 1) + " unsuccessful";
    chain.run(label.c_str(), [&] { return bind(stmt.get(), b.name, b.value, b.size, b.type); });
  }
  chain.run("OCIExecute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT);
  });
  // A failed execution undid itself: there is nothing to commit or roll back.
  if (chain.ok() && rescode != 0) {
    OCITransRollback(s.svchp, s.errhp, OCI_DEFAULT);
    stmt.release();
    SetErrMess(change.appliName, reason_of(change.outcomes, rescode), ErrMess, 1);
    return -1;
  }
  chain.run("OCITransCommit unsuccessful",
            [&] { return OCITransCommit(s.svchp, s.errhp, OCI_DEFAULT); });

  if (chain.ok() && refresh.kind != LinkUsage::None) {
    const bool device = refresh.kind == LinkUsage::DeviceLinks;
    // The ids are bound, not written into the text, so that every item
    // shares one statement.
    const std::string second = ExpandBlock(device ? kDeviceLinks : kBoardCpntLinks, identity);
    int refreshed = 0;
    int item_id = *refresh.item_id;
    int subsystem_set = device ? *refresh.subsystem_set : 0;
    chain.run("OCIPrepare 2 unsuccessful",
              [&] { return PrepareText(stmt.get(), s.errhp, second); });
    chain.run("OCIStmtBind 2 unsuccessful", [&] {
      sword status = bind(stmt.get(), ":devid", &item_id, sizeof item_id, SQLT_INT);
      if (status == OCI_SUCCESS && device)
        status = bind(stmt.get(), ":rescode", &refreshed, sizeof refreshed, SQLT_INT);
      if (status == OCI_SUCCESS && device)
        status = bind(stmt.get(), ":sysid", &subsystem_set, sizeof subsystem_set, SQLT_INT);
      return status;
    });
    chain.run("OCIExecute2 unsuccessful", [&] {
      return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT);
    });
    // The recomputed usage stays, even when the path refresh failed.
    if (chain.ok() && refreshed != 0) {
      OCITransCommit(s.svchp, s.errhp, OCI_DEFAULT);
      stmt.release();
      SetErrMess(change.appliName, kRefreshFailed, ErrMess, 1);
      return -1;
    }
    chain.run("OCITransCommit unsuccessful",
              [&] { return OCITransCommit(s.svchp, s.errhp, OCI_DEFAULT); });
  }
  const int result = chain.result() + stmt.release();
  SetErrMessFromOCI(s.errhp, change.appliName, ErrMess, result != 0);
  return result;
}

}  // namespace ferrule
