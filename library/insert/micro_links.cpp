// Links inside one board, in cached batches: between ports of two of its
// components, or between a port of the board itself and a port of one of its
// components. The end named "motherboard" is the board: it is stored with
// the component id -1 and the portid of the board's port.
#include "ferrule.h"
#include "insert/batch_protocol.h"
#include "insert/cache_release.h"
#include "reasons.h"

namespace ferrule {
namespace {

// The first case that applies, compared exactly: from the board (weight 1),
// whose port must be a port of the board that carries the component nto; to
// the board (weight 2), likewise for nfrom; else between two components of
// one board (weight 0). A component, board port or link type not found, or
// components of two boards: nothing inserted. :numrows counts the link.
const InsertStatement kMicroLinkInsert{
    "BEGIN IF :nfrom='motherboard' THEN "
    "insert into %(micro_connectivity)(linkid,cpntidfrom,portidfrom,cpntidto,portidto,link_type,"
    "bidirectional_link_used,link_weight,lkused,author,created,terminal_name) "
    "select %(next_micro_linkid),-1,h.portid,f.cpntid,:portnbto,s.linktypeid,:biused,1,1,"
    "'%(login)',vexa_sysdate(),'%(host)' "
    "from %(lg_cpnts) f,%(link_types) s,%(port_properties) h "
    "where f.motherboardid=h.deviceid and h.portid=:portnbfrom and f.cpntname=:nto "
    "and s.link_name=:lktype; "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    "ELSIF :nto='motherboard' THEN "
    "insert into %(micro_connectivity)(linkid,cpntidfrom,portidfrom,cpntidto,portidto,link_type,"
    "bidirectional_link_used,link_weight,lkused,author,created,terminal_name) "
    "select %(next_micro_linkid),f.cpntid,:portnbfrom,-1,h.portid,s.linktypeid,:biused,2,1,"
    "'%(login)',vexa_sysdate(),'%(host)' "
    "from %(lg_cpnts) f,%(link_types) s,%(port_properties) h "
    "where f.motherboardid=h.deviceid and h.portid=:portnbto and f.cpntname=:nfrom "
    "and s.link_name=:lktype; "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    "ELSE "
    "insert into %(micro_connectivity)(linkid,cpntidfrom,portidfrom,cpntidto,portidto,link_type,"
    "bidirectional_link_used,link_weight,lkused,author,created,terminal_name) "
    "select %(next_micro_linkid),t.cpntid,:portnbfrom,f.cpntid,:portnbto,s.linktypeid,:biused,0,1,"
    "'%(login)',vexa_sysdate(),'%(host)' "
    "from %(lg_cpnts) t,%(lg_cpnts) f,%(link_types) s "
    "where t.cpntname=:nfrom and f.cpntname=:nto and s.link_name=:lktype "
    "and f.motherboardid=t.motherboardid; "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    "END IF; END;",
    {":nfrom", ":nto", ":lktype"},
    {":portnbfrom", ":portnbto", ":biused"},
    {}};

const BatchExport kBatch{kMicroLinkInsert,
                         {"InsertMultipleMicroLinks", reason::kNotAllInserted, true},
                         reason::kCachePb,
                         {}};  // null names go to the database and find nothing

RowCache& MicroLinkCache() {
  static RowCache cache(kMicroLinkInsert.text_binds.size(), kMicroLinkInsert.value_binds.size());
  return cache;
}

}  // namespace

int FreeInsertMicroLinksCache() { return MicroLinkCache().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int InsertMultipleMicroLinks(const char* nfrom, const char* nto, int portnbfrom,
                                        int portnbto, const char* lktype, int biused,
                                        int first_time, int last_rows, char* ErrMess) {
  return AddBatchRow(kBatch, MicroLinkCache(),
                     RowValues{{nfrom, nto, lktype}, {portnbfrom, portnbto, biused}}, first_time,
                     last_rows, ErrMess);
}
