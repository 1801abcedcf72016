// Cached updates of devices that the links follow: the usage flag (nodeused)
// and the subsystem list. The last row of each send then recomputes the
// matching column of every link (lkused, system_name) and asks the server
// package to refresh what it derives from links. A row whose device does
// not exist rolls the whole send back, as does a refresh that fails.
#include "ferrule.h"
#include "reasons.h"
#include "subsystems.h"
#include "update/update_batch.h"
#include "update/link_lock_order.h"
#include "update/update_caches.h"

namespace ferrule {
namespace {

// A nodeused other than 0 and 1 keeps the stored flag. A link is used when
// both its devices are. :numrows counts the device row of each row, the
// last one included. The links are locked in link id order before they are
// rewritten (update/link_lock_order.h).
const InsertStatement kNodeUsedBlock{
    "BEGIN update %(devices) set "
    "nodeused=CASE :nused WHEN 1 THEN 1 WHEN 0 THEN 0 ELSE nodeused END,"
    "last_update=vexa_sysdate(),user_update='%(login)' where devicename=:dname; "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    "IF :numrows1=1 THEN " LOCK_EVERY_LINK_IN_ID_ORDER
    "update %(macro_connectivity) e set last_update=vexa_sysdate(),user_update='%(login)',"
    "lkused=(select t.nodeused*f.nodeused "
    "from %(devices) t,%(devices) f,%(port_properties) l,%(port_properties) m "
    "where t.deviceid=l.deviceid and l.portid=e.portidfrom and f.deviceid=m.deviceid "
    "and m.portid=e.portidto); "
    ":rescode := %(update_path_used)(1); "
    "END IF; END;",
    {":dname"}, {":nused"}, {":rescode"}, {}, ":numrows1", ":rescode"};

// Every link gets the product of the subsystems both its devices belong to
// (NULL when they share none), a link left without one included: it gets
// one again once its devices share a subsystem again. Links locked in link
// id order first, as above.
const InsertStatement kSystemListBlock{
    "BEGIN update %(devices) set system_name=:sysid,"
    "last_update=vexa_sysdate(),user_update='%(login)' where devicename=:dname; "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    "IF :numrows1=1 THEN " LOCK_EVERY_LINK_IN_ID_ORDER
    "update %(macro_connectivity) g set last_update=vexa_sysdate(),user_update='%(login)',"
    "system_name=(select vexa_prime_product(t.systemID) "
    "from %(subsystem_list) t,%(devices) o,%(devices) d,%(port_properties) p,"
    "%(port_properties) h "
    "where mod(o.system_name,t.systemid)=0 and mod(d.system_name,t.systemid)=0 "
    "and g.portidfrom=p.portid and p.deviceid=o.deviceid and g.portidto=h.portid "
    "and h.deviceid=d.deviceid); "
    ":rescode := %(check_and_update_dynamic_tables)(1); "
    "END IF; END;",
    {":dname"}, {":sysid"}, {}, {":rescode"}, ":numrows1", ":rescode"};

const UpdateBatch kNodeUsed{
    kNodeUsedBlock, "updateMultipleDeviceNodeUsed", reason::kCacheProblem,
    reason::kNotAllUpdated, Incomplete::Rollback};

// A list that gives no subsystem set (null, empty, or naming a subsystem
// that is not recorded) is refused with this reason, one whose set is too
// large to store with the reason that says so (the batch engine tells what
// a refused row does to the open batch).
const UpdateBatch kSystemList{
    kSystemListBlock, "UpdateMultipleDeviceSystemList", reason::kCacheProblem,
    reason::kNotAllUpdated, Incomplete::Rollback, nullptr,
    {"new_systemList is invalid: not inserted in the cache"}};

}  // namespace

int FreeUpdateDeviceNodeUsedCache() { return BatchOf<kNodeUsedBlock>().release(); }
int FreeUpdateDeviceSystemListCache() { return BatchOf<kSystemListBlock>().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int UpdateMultipleDeviceNodeUsed(const char* devname, int nodeused, int first_rows,
                                            int last_rows, char* ErrMess) {
  return AddUpdateRow(kNodeUsed, BatchOf<kNodeUsedBlock>(), {{devname}, {nodeused}}, first_rows,
                      last_rows, ErrMess);
}

extern "C" int UpdateMultipleDeviceSystemList(const char* devname, const char* new_systemList,
                                              int first_rows, int last_rows, char* ErrMess) {
  const StoredSet set = SystemNamesToStoredSet(new_systemList);
  UpdateBatch batch = kSystemList;
  batch.check.reason = StoredSetRefusal(set, kSystemList.check.reason);
  return AddUpdateRow(batch, BatchOf<kSystemListBlock>(),
                      {{devname}, {set.value}, set.refused() /*check_failed*/}, first_rows,
                      last_rows, ErrMess);
}
