// Links between devices (macroscopic links) as one row of text each, found
// by linkid or by the port at either end: way 1 finds the link that arrives
// at the port, any other way the link that leaves it.
#include "ferrule.h"
#include "row_lookup.h"

namespace ferrule {
namespace {

// The select list and tables of every statement: the link t, its from port p
// and to port g, its type l, the devices e (from) and f (to). LINK_NAME is
// the link type column.
#define MACRO_LINK_SELECT(LINK_NAME)                                                           \
  "select t.linkid,e.devicename||'?',f.devicename||'?',concat(p.port_nbr,'?'),"                \
  "coalesce(p.port_type,'none')||'?',concat(g.port_nbr,'?'),coalesce(g.port_type,'none')||'?'," \
  LINK_NAME ",t.bidirectional_link_used, t.lkused,coalesce(t.link_info,'none')||'?' "          \
  "from %(macro_connectivity) t,%(port_properties) p,%(port_properties) g,%(link_types) l,"    \
  "%(devices) e,%(devices) f where "
// A link whose type matches no link type is never found.
#define MACRO_LINK_JOINS                                                             \
  "t.link_type=l.linktypeID and p.portid=t.portidfrom and g.portid=t.portidto and " \
  "p.deviceid=e.deviceid and g.deviceid=f.deviceid"
#define ARRIVING_AT_PORT "coalesce(g.port_type,'none')=:portype and g.port_nbr=:portnb and g.port_way=1 and "
#define LEAVING_PORT "coalesce(p.port_type,'none')=:portype and p.port_nbr=:portnb and p.port_way=2 and "

const std::vector<LookupColumn> kLinkColumns{
    IntColumn(),           // linkid
    TextColumn(kFloor50),  // node_from
    TextColumn(kFloor50),  // node_to
    TextColumn(kFloor50),  // port_nbrfrom
    TextColumn(kFloor50),  // port_typefrom
    TextColumn(kFloor50),  // port_nbrto
    TextColumn(kFloor50),  // port_typeto
    TextColumn(kFloor50),  // link_type
    IntColumn(),           // bidirectional_link_used
    IntColumn(),           // lkused
    TextColumn(kFloor50),  // link_info
};

// The rows by linkid and by device name put the blank of port_typefrom
// before its value.
const char* const kLinkFormat =
    "|linkid (I):%d |node_from (C):%s |node_to (C):%s |port_nbrfrom (C):%s "
    "|port_typefrom (C): %s|port_nbrto (C):%s |port_typeto (C):%s |link_type (C):%s "
    "|bidirectional_link_used (I):%d |lkused (I):%d |link_info (C):%s |";
const char* const kLinkByDeviceIdFormat =
    "|linkid (I):%d |node_from (C):%s |node_to (C):%s |port_nbrfrom (C):%s "
    "|port_typefrom (C):%s |port_nbrto (C):%s |port_typeto (C):%s |link_type (C):%s "
    "|bidirectional_link_used (I):%d |lkused (I):%d |link_info (C):%s |";

const RowLookupSpec kLinkById = [] {
  RowLookupSpec spec{
      "GetMacroConnectivityRow_lkid",
      nullptr,
      MACRO_LINK_SELECT("coalesce(l.link_name,'none')||'?'") "t.linkid=:lkid and " MACRO_LINK_JOINS,
      kLinkColumns,
      kLinkFormat,
  };
  spec.length.extra = 2;  // it asks two bytes more than the row
  return spec;
}();

const RowLookupSpec kLinkToDeviceId{
    "GetMacroConnectivityRow_node",
    nullptr,
    MACRO_LINK_SELECT("l.link_name||'?'") ARRIVING_AT_PORT MACRO_LINK_JOINS " and f.deviceid=:dID",
    kLinkColumns,
    kLinkByDeviceIdFormat,
};

const RowLookupSpec kLinkFromDeviceId{
    "GetMacroConnectivityRow_node",
    nullptr,
    MACRO_LINK_SELECT("l.link_name||'?'") LEAVING_PORT MACRO_LINK_JOINS " and e.deviceid=:dID",
    kLinkColumns,
    kLinkByDeviceIdFormat,
};

const RowLookupSpec kLinkToDeviceName{
    "GetMacroConnectivityRow_nodename",
    nullptr,
    MACRO_LINK_SELECT("l.link_name||'?'") ARRIVING_AT_PORT MACRO_LINK_JOINS
    " and f.devicename=:dname",
    kLinkColumns,
    kLinkFormat,
};

const RowLookupSpec kLinkFromDeviceName{
    "GetMacroConnectivityRow_nodename",
    nullptr,
    MACRO_LINK_SELECT("l.link_name||'?'") LEAVING_PORT MACRO_LINK_JOINS
    " and e.devicename=:dname",
    kLinkColumns,
    kLinkFormat,
};

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetMacroConnectivityRow_lkid(int lkID, int* len_conn, char* Conn_row,
                                            char* ErrMess) {
  return RunRowLookup(kLinkById, {KeyBind::Int(":lkid", lkID)}, len_conn, Conn_row, ErrMess);
}

// The way is not bound: it only chooses the statement.
extern "C" int GetMacroConnectivityRow_node(int nodeID, const char* port_nb, int port_way,
                                            const char* port_type, int* len_conn,
                                            char* Conn_row, char* ErrMess) {
  return RunRowLookup(port_way == 1 ? kLinkToDeviceId : kLinkFromDeviceId,
                      {KeyBind::Int(":dID", nodeID),
                       KeyBind::Text(":portnb", port_nb, "port_nbr MUST be given"),
                       KeyBind::PortType(":portype", port_type)},
                      len_conn, Conn_row, ErrMess);
}

extern "C" int GetMacroConnectivityRow_nodename(const char* nodename, const char* port_nb,
                                                int port_way, const char* port_type,
                                                int* len_conn, char* Conn_row, char* ErrMess) {
  return RunRowLookup(port_way == 1 ? kLinkToDeviceName : kLinkFromDeviceName,
                      {KeyBind::Text(":dname", nodename, "nodename MUST be given"),
                       KeyBind::Text(":portnb", port_nb, "port_nbr MUST be given"),
                       KeyBind::PortType(":portype", port_type)},
                      len_conn, Conn_row, ErrMess);
}
