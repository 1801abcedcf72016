// Cached updates of the ports of functional devices: speed, phy and
// pxi_booting, and the administrative status, which the usage of the links
// at the port follows. A port is found by its device's name, its number,
// its way and its type (a null or empty type is "none", under which a port
// without a type is found). A row that changes nothing is not done; the
// rows that were done are committed all the same.
#include <string>

#include "ferrule.h"
#include "insert/port_rules.h"
#include "insert/follow_up_block.h"
#include "reasons.h"
#include "update/update_batch.h"
#include "update/update_caches.h"

namespace ferrule {
namespace {

// speed -1, a null or "none" phy, and a pxi_booting other than 0 and 1 keep
// the stored value.
const InsertStatement kAttributesBlock{
    "BEGIN update %(port_properties) set "
    "speed=CASE coalesce(:speed,-1) WHEN -1 THEN speed ELSE :speed END,"
    "phy=CASE coalesce(:phy,'none') WHEN 'none' THEN phy ELSE :phy END,"
    "pxi_booting=CASE :pxi_booting WHEN 1 THEN 1 WHEN 0 THEN 0 ELSE pxi_booting END,"
    "last_update=vexa_sysdate(),user_update='%(login)' "
    "where deviceid=(select deviceid from %(devices) where devicename=:dname) "
    "and port_nbr=:port_nbr and port_way=:port_way and coalesce(port_type,'none')=:port_type; "
    "GET DIAGNOSTICS :numrows = %(row_count); END;",
    {":dname", ":phy", ":port_nbr", ":port_type"}, {":speed", ":pxi_booting", ":port_way"}, {}};

// A status other than 0 and 1 keeps the stored one. Each link at the port
// that is in use (lkused 1) is then used only while both its ports are up;
// a link at 0 stays at 0. :numrows counts the links, so a port without a
// link, or no port at all, leaves the row not done.
const InsertStatement kStatusBlock{
    "BEGIN update %(port_properties) set administrative_status="
    "CASE :admin_status WHEN 1 THEN 1 WHEN 0 THEN 0 ELSE administrative_status END,"
    "last_update=vexa_sysdate(),user_update='%(login)' "
    "where deviceid=(select deviceid from %(devices) where devicename=:dname) "
    "and port_nbr=:port_nbr and port_way=:port_way and coalesce(port_type,'none')=:port_type "
    "returning portid into :portid; "
    "update %(macro_connectivity) t set last_update=vexa_sysdate(),user_update='%(login)',"
    "lkused=(select CASE t.lkused WHEN 1 THEN p.administrative_status*g.administrative_status "
    "ELSE t.lkused END from %(port_properties) p,%(port_properties) g "
    "where t.portidfrom=p.portid and t.portidto=g.portid "
    "and (g.portid=:portid or p.portid=:portid)) "
    "where t.portidto=:portid or t.portidfrom=:portid; "
    "GET DIAGNOSTICS :numrows = %(row_count); END;",
    {":dname", ":port_nbr", ":port_type"}, {":admin_status", ":port_way"}, {":portid"}};

const UpdateBatch kAttributes{
    kAttributesBlock, "UpdateMultiplePorts", reason::kCacheProblem, reason::kNotAllUpdated,
    Incomplete::Commit};
// The stored routes follow the links' usage. A row counts the links it
// changed, so the status of a port without links is changed, and kept,
// though the row is not done.
const UpdateBatch kStatuses{
    kStatusBlock, "UpdateMultiplePortStatuses", reason::kCacheProblem,
    reason::kNotAllUpdated, Incomplete::Commit, &kRefreshPathsUsed, {}, reason::kNoBatch,
    kAnyNumrows, true /*rows_not_done_keep_writes*/};

}  // namespace

int FreeUpdatePortsCache() { return BatchOf<kAttributesBlock>().release(); }
int FreeUpdatePortStatusesCache() { return BatchOf<kStatusBlock>().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int UpdateMultiplePorts(const char* devicename, const char* port_nbr, int port_way,
                                   const char* port_type, int speed, const char* phy,
                                   int pxi_booting, int first_time, int last_rows,
                                   char* ErrMess) {
  const std::string type = PortTypeKey(port_type);
  return AddUpdateRow(kAttributes, BatchOf<kAttributesBlock>(),
                      {{devicename, phy, port_nbr, type.c_str()}, {speed, pxi_booting, port_way}},
                      first_time, last_rows, ErrMess);
}

extern "C" int UpdateMultiplePortStatuses(const char* devicename, const char* port_nbr,
                                          int port_way, const char* port_type, int admin_status,
                                          int first_time, int last_rows, char* ErrMess) {
  const std::string type = PortTypeKey(port_type);
  return AddUpdateRow(kStatuses, BatchOf<kStatusBlock>(),
                      {{devicename, port_nbr, type.c_str()}, {admin_status, port_way}},
                      first_time, last_rows, ErrMess);
}
