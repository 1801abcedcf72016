// Links between a port of one functional device and a port of another, one
// per call or in cached batches. The database finds the two ports, the link
// type and a subsystem both devices share; without one no link is written.
#include <string>

#include "ferrule.h"
#include "insert/batch_protocol.h"
#include "insert/cache_release.h"
#include "insert/follow_up_block.h"
#include "insert/macro_link_refusal.h"
#include "insert/port_rules.h"
#include "insert/single_row.h"
#include "reasons.h"
#include "report.h"

namespace ferrule {
namespace {

// The link, then the subsystem set of every link between the two devices
// that has none yet: the product of the subsystems both devices belong to.
// :numrows is 0 when no link was inserted, otherwise the links given a set.
const InsertStatement kMacroLinkInsert{
    "DECLARE changed integer; BEGIN "
    "insert into %(macro_connectivity) (linkid,portidfrom,portidto,link_type,"
    "bidirectional_link_used,link_weight,lkused,link_info,author,user_update,terminal_name) "
    "select %(next_macro_linkid),f.portid,g.portid,s.linktypeID,:biused,"
    "CASE m.node WHEN 1 THEN l.node+m.node+1 ELSE l.node+m.node END,1,:lkinfo,"
    "'%(login)','%(login)','%(host)' "
    "from %(port_properties) f,%(port_properties) g,%(devices) l,%(devices) m,%(link_types) s ,"
    "%(subsystem_list) k "
    "where f.deviceid=l.deviceid and l.devicename=:nfrom and g.deviceid=m.deviceid "
    "and m.devicename=:nto and s.link_name=:lktype and f.port_nbr=:portnbfrom and f.port_way=2 "
    "and coalesce(f.port_type,'none')=:ptypefrom and g.port_nbr=:portnbto and g.port_way=1 "
    "and coalesce(g.port_type,'none')=:ptypeto and mod(l.system_name,k.systemID)=0 "
    "and mod(m.system_name,k.systemID)=0 LIMIT 1; "
    "GET DIAGNOSTICS changed = %(row_count); "
    "IF changed=1 THEN "
    "update %(macro_connectivity) r set system_name=(select vexa_prime_product(distinct t.systemID) "
    "from %(subsystem_list) t,%(devices) o,%(devices) d,%(port_properties) p,%(port_properties) h "
    "where mod(o.system_name,t.systemid)=0 "
    "and mod(d.system_name,t.systemid)=0 and o.deviceid=p.deviceid and p.portid=r.portidfrom "
    "and r.portidto=h.portid and h.deviceid=d.deviceid) "
    "where r.system_name is null "
    "and r.portidfrom in (select v.portid from %(port_properties) v,%(devices) b "
    "where v.deviceid=b.deviceid and b.devicename=:nfrom) "
    "and r.portidto in (select v.portid from %(port_properties) v,%(devices) b "
    "where v.deviceid=b.deviceid and b.devicename=:nto); "
    "GET DIAGNOSTICS changed = %(row_count); "
    "END IF; "
    ":numrows := changed; END;",
    {":nfrom", ":nto", ":lktype", ":portnbfrom", ":portnbto", ":lkinfo", ":ptypefrom",
     ":ptypeto"},
    {":biused"},
    {}};

// After a batch or a single link, the server refreshes its dynamic path
// tables, committed with the links. The batch form of the block has two
// blanks after BEGIN.
const FollowUpBlock kRefreshAfterBatch{
    "BEGIN  :rescode := %(check_and_update_dynamic_tables)(1); "
    "GET DIAGNOSTICS :numrows = %(row_count); END; ",
    RescodeKind::Text};

const BatchExport kBatch{kMacroLinkInsert,
                         {"InsertMultipleMacroLinks",
                          "COULDNOT_INSERT_ALL_ROWS:CHECK SYSTEM COMPATIBILITY", true,
                          &kRefreshAfterBatch},
                         reason::kCachePb,
                         {}};

// A single link that inserted nothing is answered with the part of it that
// is not recorded; the subsystems are the reason only when every part is.
constexpr const char* kSingleName = "InsertMacroLink";
constexpr const char* kSingleRefusal = "COULDNOT_INSERT_THIS_ROWS: ";
constexpr const char* kSingleIncompatible =
    "COULDNOT_INSERT_THIS_ROWS: CHECK SYSTEM COMPATIBILITY";

const SingleExport kSingle{kMacroLinkInsert,
                           {kSingleName, kSingleIncompatible, true, &kRefreshDynamicTables,
                            nullptr, true}};

// After the refusal, which committed as every refusal of the single form
// does, ErrMess names the missing part when there is one.
void NameTheMissingPart(const MacroLinkParts& link, char* ErrMess) {
  if (!AnsweredWith(kSingleName, kSingleIncompatible, ErrMess)) return;
  const std::string missing = MissingMacroLinkPart(link);
  if (!missing.empty())
    ReportFailure(kSingleName, (kSingleRefusal + missing).c_str(), ErrMess);
}

RowCache& MacroLinkCache() {
  static RowCache cache(kMacroLinkInsert.text_binds.size(), kMacroLinkInsert.value_binds.size());
  return cache;
}

// The port types after the "none" rule live as long as the call.
RowValues MacroLinkRow(const char* node_from, const char* node_to, const char* port_from,
                       const char* port_to, const std::string& type_from,
                       const std::string& type_to, const char* link_type_name,
                       const char* link_info, int bidirectional_link) {
  return RowValues{{node_from, node_to, link_type_name, port_from, port_to, link_info,
                    type_from.c_str(), type_to.c_str()},
                   {bidirectional_link}};
}

}  // namespace

int FreeInsertMacroLinksCache() { return MacroLinkCache().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int InsertMultipleMacroLinks(const char* node_from, const char* node_to,
                                        const char* port_from, const char* port_to,
                                        const char* port_typefrom, const char* port_typeto,
                                        const char* link_type_name, const char* link_info,
                                        int bidirectional_link, int first_time, int last_rows,
                                        char* ErrMess) {
  const std::string type_from = PortTypeKey(port_typefrom);
  const std::string type_to = PortTypeKey(port_typeto);
  return AddBatchRow(kBatch, MacroLinkCache(),
                     MacroLinkRow(node_from, node_to, port_from, port_to, type_from, type_to,
                                  link_type_name, link_info, bidirectional_link),
                     first_time, last_rows, ErrMess);
}

extern "C" int InsertMacroLink(const char* node_from, const char* node_to, const char* port_from,
                               const char* port_to, const char* port_typefrom,
                               const char* port_typeto, const char* link_type_name,
                               const char* link_info, int bidirectional_link, int last_rows,
                               char* ErrMess) {
  const std::string type_from = PortTypeKey(port_typefrom);
  const std::string type_to = PortTypeKey(port_typeto);
  const int result =
      InsertSingleRow(kSingle,
                      MacroLinkRow(node_from, node_to, port_from, port_to, type_from, type_to,
                                   link_type_name, link_info, bidirectional_link),
                      last_rows == 1, ErrMess);
  if (result == -1)
    NameTheMissingPart(
        {node_from, node_to, port_from, port_to, type_from, type_to, link_type_name}, ErrMess);
  return result;
}
