// Cached updates of functional devices that change the devices alone: the
// node flag, promiscuous mode and location (after which the link weights
// follow the node flags), the activity, the name and the device type. A row
// names its device by name; a name that matches no device leaves the row
// not done, and the rows that were done are committed all the same.
#include "ferrule.h"
#include "reasons.h"
#include "update/update_batch.h"
#include "update/link_lock_order.h"
#include "update/update_caches.h"

namespace ferrule {
namespace {

// node and promiscuous_mode other than 0 and 1, and a null or "none"
// location, keep the stored value.
const InsertStatement kAttributesBlock{
    "BEGIN update %(devices) set "
    "node=CASE :node WHEN 1 THEN 1 WHEN 0 THEN 0 ELSE node END,"
    "promiscuous_mode=CASE :pmode WHEN 1 THEN 1 WHEN 0 THEN 0 ELSE promiscuous_mode END,"
    "location=CASE coalesce(:location,'none') WHEN 'none' THEN location ELSE :location END,"
    "last_update=vexa_sysdate(),user_update='%(login)' where devicename=:dname; "
    "GET DIAGNOSTICS :numrows = %(row_count); END;",
    {":dname", ":location"}, {":node", ":pmode"}, {}};

// The weight of every link: the node flags of its two devices added up, one
// more when the device it leads to is a node. Every link is locked first, in
// link id order (update/link_lock_order.h).
const FollowUpBlock kLinkWeights{
    "BEGIN " LOCK_EVERY_LINK_IN_ID_ORDER
    "update %(macro_connectivity) d set "
    "link_weight=(select CASE f.node WHEN 1 THEN t.node+f.node+1 ELSE t.node+f.node END "
    "from %(devices) t,%(devices) f,%(port_properties) l,%(port_properties) g "
    "where d.portidfrom=l.portid and l.deviceid=t.deviceid and d.portidto=g.portid "
    "and g.deviceid=f.deviceid),last_update=vexa_sysdate(),user_update='%(login)'; "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    ":rescode := %(check_and_update_dynamic_tables)(1); END;",
    RescodeKind::Text,
    // Only a batch that may have changed a node flag.
    [](const RowCache& batch) {
      const IntColumnCache& node = batch.values.front();
      for (int i = 0; i < batch.rows() && i < static_cast<int>(node.array.size()); ++i)
        if (node.array[i] == 0 || node.array[i] == 1) return true;
      return false;
    }};

const InsertStatement kActiveBlock{
    "BEGIN update %(devices) set active=CASE :nused WHEN 1 THEN 1 WHEN 0 THEN 0 ELSE active END,"
    "last_update=vexa_sysdate(),user_update='%(login)' where devicename=:dname; "
    "GET DIAGNOSTICS :numrows = %(row_count); END;",
    {":dname"}, {":nused"}, {}};

// A null or "none" new name keeps the name; the row still counts as done.
const InsertStatement kNameBlock{
    "BEGIN update %(devices) set "
    "devicename=CASE coalesce(:dname,'none') WHEN 'none' THEN devicename ELSE :dname END,"
    "last_update=vexa_sysdate(),user_update='%(login)' where devicename=:dname_old; "
    "GET DIAGNOSTICS :numrows = %(row_count); END;",
    {":dname_old", ":dname"}, {}, {}};

// A device type that is not recorded stores -1 (no device type then lists
// the device); the row counts as done.
const InsertStatement kTypeBlock{
    "BEGIN update %(devices) set devicetypeID=coalesce((select t.devicetypeID "
    "from %(device_types) t where t.devicetype=:dtype),-1),"
    "last_update=vexa_sysdate(),user_update='%(login)' where devicename=:dname; "
    "GET DIAGNOSTICS :numrows = %(row_count); END;",
    {":dname", ":dtype"}, {}, {}};

const UpdateBatch kAttributes{
    kAttributesBlock, "UpdateMultipleAttributesDevices", reason::kCacheProblem,
    reason::kNotAllUpdated, Incomplete::Commit, &kLinkWeights};
const UpdateBatch kActive{
    kActiveBlock, "updateMultipleDeviceActive", reason::kCacheProblem,
    reason::kNotAllUpdated, Incomplete::Commit};
const UpdateBatch kNames{
    kNameBlock, "UpdateMultipleDevNamesDevices", reason::kCacheProblem,
    reason::kNotAllUpdated, Incomplete::Commit};
const UpdateBatch kTypes{
    kTypeBlock, "UpdateMultipleDTypeDevices", reason::kCacheProblem,
    reason::kNotAllUpdated, Incomplete::Commit};

}  // namespace

int FreeUpdateAttributesDevicesCache() { return BatchOf<kAttributesBlock>().release(); }
int FreeUpdateDeviceActiveCache() { return BatchOf<kActiveBlock>().release(); }
int FreeUpdateDevNamesDevicesCache() { return BatchOf<kNameBlock>().release(); }
int FreeUpdateDTypeDevicesCache() { return BatchOf<kTypeBlock>().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int UpdateMultipleAttributesDevices(const char* devname, int node,
                                               int promiscuous_mode, const char* location,
                                               int first_rows, int last_rows, char* ErrMess) {
  return AddUpdateRow(kAttributes, BatchOf<kAttributesBlock>(),
                      {{devname, location}, {node, promiscuous_mode}}, first_rows, last_rows,
                      ErrMess);
}

extern "C" int UpdateMultipleDeviceActive(const char* devicename, int active, int first_rows,
                                          int last_rows, char* ErrMess) {
  return AddUpdateRow(kActive, BatchOf<kActiveBlock>(), {{devicename}, {active}}, first_rows,
                      last_rows, ErrMess);
}

extern "C" int UpdateMultipleDevNamesDevices(const char* old_devname, const char* devname,
                                             int first_rows, int last_rows, char* ErrMess) {
  return AddUpdateRow(kNames, BatchOf<kNameBlock>(), {{old_devname, devname}, {}}, first_rows,
                      last_rows, ErrMess);
}

extern "C" int UpdateMultipleDTypeDevices(const char* devname, const char* devtype,
                                          int first_rows, int last_rows, char* ErrMess) {
  return AddUpdateRow(kTypes, BatchOf<kTypeBlock>(), {{devname, devtype}, {}}, first_rows,
                      last_rows, ErrMess);
}
