// The three path queries inside a board: from a component to a port of its
// board, from a board port to another port or to a named component, and
// from a board port to the components of a type or name.
#include "ferrule.h"
#include "routing/micro_paths_query.h"

namespace ferrule {
namespace {

constexpr int kDescribedSize = 0;
constexpr bool kTracesExecute = true;

const MicroPathQuery kFromComponent{
    "GetMicroConnectBetweenBoardCpntAndMotherBoard",
    "BEGIN CALL %(create_micro_node_link_tab)(:mboard,1,:rescode,:cpntid,:cpntname); "
    "IF :rescode=0 THEN :resquery:=%(create_micro_path_tab)(:cpntid); ELSE :resquery:=-1; END IF; "
    "IF :resquery=0 THEN :rcode:=%(insert_into_micro_path_using_id)(:cpntid,:portid); "
    "ELSE :rcode:=-1; END IF;END;",
    801,  // names fetched into 800 bytes plus the NUL
    !kTracesExecute};

const MicroPathQuery kFromPort{
    "GetMicroConnectFromPortid",
    "BEGIN CALL %(create_micro_node_link_tab)(:mboard,1,:rescode,:cpntid); "
    "IF :rescode=0 THEN :resquery:=%(create_micro_path_tab_host)(:portidfrom); "
    "ELSE :resquery:=-1; END IF; "
    "IF :resquery=0 THEN :rcode:=%(insert_into_micro_path_from_portid)(:portidfrom,:portidto,"
    ":cpntname); ELSE :rcode:=-1; END IF;END;",
    kDescribedSize, kTracesExecute};

const MicroPathQuery kToComponentType{
    "GetMicroConnectToCpntType",
    "BEGIN CALL %(create_micro_node_link_tab)(:mboard,1,:rescode,:cpntid); "
    "IF :rescode=0 THEN :resquery:=%(create_micro_path_tab_host)(:portidfrom); "
    "ELSE :resquery:=-1; END IF; "
    "IF :resquery=0 THEN :rcode:=%(insert_into_micro_path_cpnt_type)(:portidfrom,:cpntname,"
    ":cpnttype_given); ELSE :rcode:=-1; END IF;END;",
    kDescribedSize, !kTracesExecute};

MicroBind Int(const char* placeholder, int value) { return {placeholder, false, nullptr, value}; }
MicroBind Text(const char* placeholder, const char* value) { return {placeholder, true, value, 0}; }

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetMicroConnectBetweenBoardCpntAndMotherBoard(
    const char* cpnt_from, int mboard_pid, int* pathid, int* link_pos, int* len_array,
    char* nfrom_list, int* len_nfrom, char* nto_list, int* len_nto, char* last_nfrom,
    int* len_last_nfrom, char* last_nto, int* len_last_nto, char* ErrMess) {
  // :mboard holds 0: the board is the component's.
  return RunMicroPathQuery(
      kFromComponent, {Int(":mboard", 0), Text(":cpntname", cpnt_from), Int(":portid", mboard_pid)},
      {pathid, link_pos, len_array, nfrom_list, len_nfrom, nto_list, len_nto, last_nfrom,
       len_last_nfrom, last_nto, len_last_nto},
      ErrMess);
}

extern "C" int GetMicroConnectFromPortid(int mboardportid_from, int mboardportid_to,
                                         const char* cpntname, int* pathid, int* link_pos,
                                         int* len_array, char* nfrom_list, int* len_nfrom,
                                         char* nto_list, int* len_nto, char* last_nfrom,
                                         int* len_last_nfrom, char* last_nto, int* len_last_nto,
                                         char* ErrMess) {
  return RunMicroPathQuery(
      kFromPort,
      {Int(":mboard", mboardportid_from), Text(":cpntname", cpntname),
       Int(":portidfrom", mboardportid_from), Int(":portidto", mboardportid_to)},
      {pathid, link_pos, len_array, nfrom_list, len_nfrom, nto_list, len_nto, last_nfrom,
       len_last_nfrom, last_nto, len_last_nto},
      ErrMess);
}

extern "C" int GetMicroConnectToCpntType(int mboardportid_from, int cpnttype_given,
                                         const char* cpnttype, int* pathid, int* link_pos,
                                         int* len_array, char* nfrom_list, int* len_nfrom,
                                         char* nto_list, int* len_nto, char* last_nfrom,
                                         int* len_last_nfrom, char* last_nto, int* len_last_nto,
                                         char* ErrMess) {
  return RunMicroPathQuery(
      kToComponentType,
      {Int(":mboard", mboardportid_from), Text(":cpntname", cpnttype),
       Int(":portidfrom", mboardportid_from), Int(":cpnttype_given", cpnttype_given)},
      {pathid, link_pos, len_array, nfrom_list, len_nfrom, nto_list, len_nto, last_nfrom,
       len_last_nfrom, last_nto, len_last_nto},
      ErrMess);
}
