// Board components and the links inside a board (microscopic links) as one
// row of text each. When nothing is found they answer with the fetch
// status (100) and the database's message.
#include "ferrule.h"
#include "row_lookup.h"

namespace ferrule {
namespace {

// A component whose hardware is not recorded is not found: the join needs
// the hardware row.
#define BOARD_CPNT_SELECT                                                                   \
  "select t.cpntname||'?',concat(t.cpnttype,'?'),t.cpntid,t.snbid,f.devicename||'?',"       \
  "coalesce(g.serialnb,'none')||'?' from %(lg_cpnts) t,%(devices) f,%(hw_cpnts) g  where "
#define BOARD_CPNT_JOINS " and t.motherboardid=f.deviceid and g.snbid=t.snbid"

const std::vector<LookupColumn> kBoardCpntColumns{
    TextColumn(kFloor50),  // cpntname
    TextColumn(kFloor50),  // cpnttype
    IntColumn(),           // cpntid
    IntColumn(),           // snbid
    TextColumn(kFloor50),  // motherboard: the board's devicename
    TextColumn(kFloor50),  // serialnb
};
const char* const kBoardCpntFormat =
    "|cpntname (C):%s |cpnttype (C):%s |cpntid  (I):%d |snbid (I):%d |motherboard (C):%s "
    "|serialnb  (C):%s |";

const RowLookupSpec kBoardCpntByName{
    "GetBoardCpntRow_cpntname",
    nullptr,
    BOARD_CPNT_SELECT "t.cpntname=:dname" BOARD_CPNT_JOINS,
    kBoardCpntColumns,
    kBoardCpntFormat,
    NoRowsForm::Reported,
};

const RowLookupSpec kBoardCpntById = [] {
  RowLookupSpec spec{
      "GetBoardCpntRow_cpntid",
      nullptr,
      BOARD_CPNT_SELECT "t.cpntid=:dID" BOARD_CPNT_JOINS,
      kBoardCpntColumns,
      kBoardCpntFormat,
      NoRowsForm::Reported,
  };
  spec.fetch_label = "OCIFETCH  unsuccessful";
  return spec;
}();

// Each end joins its component (e from, f to) and the board of the link
// twice (g for the from end, h for the to end): the board end, the
// "motherboard" row without a board, borrows the board of the other end and
// shows the board's devicename.
#define MICRO_LINK_SELECT                                                                    \
  " select t.linkid,CASE t.cpntidfrom WHEN -1 THEN g.devicename ELSE e.cpntname END||'?',"  \
  "CASE t.cpntidto WHEN -1 THEN h.devicename ELSE f.cpntname END||'?', t.portidfrom,"       \
  "t.portidto,l.link_name||'?',t.bidirectional_link_used,t.lkused "                        \
  "from %(micro_connectivity) t,%(link_types) l,%(lg_cpnts) e,%(lg_cpnts) f,%(devices) h," \
  "%(devices) g where "
#define MICRO_LINK_JOINS                                                                      \
  " and t.link_type=l.linktypeID  and t.cpntidfrom=e.cpntid and t.cpntidto=f.cpntid "        \
  "and CASE coalesce(e.motherboardid,-1) WHEN -1 THEN f.motherboardid ELSE e.motherboardid " \
  "END=g.deviceid and CASE coalesce(f.motherboardid,-1) WHEN -1 THEN e.motherboardid "       \
  "ELSE f.motherboardid END=h.deviceid"

const std::vector<LookupColumn> kMicroLinkColumns{
    IntColumn(),           // linkid
    TextColumn(kFloor50),  // from end
    TextColumn(kFloor50),  // to end
    IntColumn(),           // port of the from end (a board port's portid)
    IntColumn(),           // port of the to end
    TextColumn(kFloor50),  // link type name
    IntColumn(),           // bidirectional_link_used
    IntColumn(),           // lkused
};

const RowLookupSpec kMicroLinkById = [] {
  RowLookupSpec spec{
      "GetMicroConnectivityRow_lkid",
      nullptr,
      MICRO_LINK_SELECT "t.linkid=:lkid" MICRO_LINK_JOINS " ",
      kMicroLinkColumns,
      "|linkid (I):%d |cpntfrom (C):%s |cpntto (C):%s |port_nbrfrom (C):%d |port_nbrto (C):%d "
      "|link_type (C):%s |bidirectional_link_used (I):%d |lkused (I):%d |",
      NoRowsForm::Reported,
  };
  spec.length.too_small_reason = "NOT ENOUGH MEMORY";
  spec.prepare_trace = "value of selectconn ";
  return spec;
}();

// The links at one end, by component id or name: way 1 the link that ends
// at the port, any other way the one that starts there.
RowLookupSpec MicroLinkAtEnd(const char* appliName, const char* statement, const char* format,
                             const char* row_trace) {
  RowLookupSpec spec{appliName, nullptr, statement, kMicroLinkColumns, format,
                     NoRowsForm::Reported};
  spec.length.too_small_reason = "NOT ENOUGH SPACE";
  spec.row_trace = row_trace;
  return spec;
}

const char* const kMicroLinkByNodeFormat =
    "|linkid (I):%d |cpnt_from (C):%s |cpnt_to (C):%s |port_nbrfrom (C):%d |port_nbrto (C):%d "
    "|link_type (C):%s |bidirectional_link_used (I):%d |lkused (I):%d |";
const char* const kMicroLinkByCpntNameFormat =
    "|linkid (I):%d |cpnt_from (C):%s |cpnt_to (C):%s |port_nbrfrom (I):%d |port_nbrto (I):%d "
    "|link_type (C):%s |bidirectional_link_used (I):%d |lkused (I):%d |";

const RowLookupSpec kMicroLinkToCpntId = MicroLinkAtEnd(
    "GetMicroConnectivityRow_node",
    MICRO_LINK_SELECT "t.cpntidto=:cpntid and t.portidto=:portnb" MICRO_LINK_JOINS,
    kMicroLinkByNodeFormat, "after fetching 2");
const RowLookupSpec kMicroLinkFromCpntId = MicroLinkAtEnd(
    "GetMicroConnectivityRow_node",
    MICRO_LINK_SELECT "t.cpntidfrom=:cpntid and t.portidfrom=:portnb" MICRO_LINK_JOINS,
    kMicroLinkByNodeFormat, "after fetching 2");
const RowLookupSpec kMicroLinkToCpntName = MicroLinkAtEnd(
    "GetMicroConnectivityRow_cpntname",
    MICRO_LINK_SELECT "f.cpntname=:cpntname and t.portidto=:portnb" MICRO_LINK_JOINS,
    kMicroLinkByCpntNameFormat, nullptr);
const RowLookupSpec kMicroLinkFromCpntName = MicroLinkAtEnd(
    "GetMicroConnectivityRow_cpntname",
    MICRO_LINK_SELECT "e.cpntname=:cpntname and t.portidfrom=:portnb" MICRO_LINK_JOINS,
    kMicroLinkByCpntNameFormat, nullptr);

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetBoardCpntRow_cpntname(const char* cpntname, int* len_cpnt, char* cpnt_result,
                                        char* ErrMess) {
  return RunRowLookup(kBoardCpntByName,
                      {KeyBind::Text(":dname", cpntname, "cpntname MUST be given")}, len_cpnt,
                      cpnt_result, ErrMess);
}

extern "C" int GetBoardCpntRow_cpntid(int cpntid, int* len_cpnt, char* cpnt_result,
                                      char* ErrMess) {
  return RunRowLookup(kBoardCpntById, {KeyBind::Int(":dID", cpntid)}, len_cpnt, cpnt_result,
                      ErrMess);
}

extern "C" int GetMicroConnectivityRow_lkid(int lkID, int* len_conn, char* Conn_row,
                                            char* ErrMess) {
  return RunRowLookup(kMicroLinkById, {KeyBind::Int(":lkid", lkID)}, len_conn, Conn_row, ErrMess);
}

extern "C" int GetMicroConnectivityRow_node(int cpntID, int port_nb, int port_way, int* len_conn,
                                            char* Conn_row, char* ErrMess) {
  return RunRowLookup(port_way == 1 ? kMicroLinkToCpntId : kMicroLinkFromCpntId,
                      {KeyBind::Int(":cpntid", cpntID), KeyBind::Int(":portnb", port_nb)},
                      len_conn, Conn_row, ErrMess);
}

extern "C" int GetMicroConnectivityRow_cpntname(const char* cpntname, int port_nb, int port_way,
                                                int* len_conn, char* Conn_row, char* ErrMess) {
  return RunRowLookup(port_way == 1 ? kMicroLinkToCpntName : kMicroLinkFromCpntName,
                      {KeyBind::Text(":cpntname", cpntname, "cpntname MUST be given"),
                       KeyBind::Int(":portnb", port_nb)},
                      len_conn, Conn_row, ErrMess);
}
