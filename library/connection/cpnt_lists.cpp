// Board components, hardware components and links inside a board as lists,
// and component names and ids one to one. When nothing is found they answer
// with the fetch status (100) and the database's message.
#include "ferrule.h"
#include "list_lookup.h"
#include "value_lookup.h"

namespace ferrule {
namespace {

const NoRows kReported{NoRowsForm::Reported, "OCIFETCH unsuccessful"};

const ListLookupSpec kBoardCpntPerType{
    "GetBoardCpntPerType",
    "select cpntname||'|'||cpntid||'?' from %(lg_cpnts) t where cpnttype=:dtype",
    '?', kReported, RowsTaken::CompleteOnly};

const ListLookupSpec kCpntNamesPerBoard{
    "GetCpntNamesPerBoard",
    "select cpntname||'|' from %(lg_cpnts),%(devices)  where motherboardid=deviceid "
    "and devicename=:location",
    '|', kReported};

// The placeholder hardware component -1 has neither location nor type,
// which read as "none": these lists leave it out.
const ListLookupSpec kSpareHWCpntPerLocation{
    "GetSpareHWCpntPerLocation",
    "select snbid||'|'||coalesce(serialnb,'none')||'|'||coalesce(hwname,'none')||'?' "
    "from %(hw_cpnts) where coalesce(location,'none')=:location and snbid <> -1",
    '?', kReported};

const ListLookupSpec kSpareHWCpntPerType{
    "GetSpareHWCpntPerType",
    "select snbid||'|'||coalesce(serialnb,'none')||'|'||coalesce(hwname,'none')||'?' "
    "from %(hw_cpnts) where coalesce(hwtype,'none')=:hwtype and snbid <> -1",
    '?', kReported};

// By component (motherboard -1), or the links between a board's own ports
// (component -1) and its components.
const IdListSpec kMicroLinksFromCpnt{
    "GetMicroLkFromCpntID",
    "select linkid from %(micro_connectivity) where cpntidfrom=:nfrom ",
    {NoRowsForm::Reported, "OCIFETCH  unsuccessful"}};
const IdListSpec kMicroLinksFromBoard{
    "GetMicroLkFromCpntID",
    "select t.linkid from %(micro_connectivity) t,%(lg_cpnts) d where d.motherboardid=:nfrom "
    "and d.cpntid=t.cpntidto and t.cpntidfrom=-1 ",
    {NoRowsForm::Reported, "OCIFETCH  unsuccessful"}};
const IdListSpec kMicroLinksToCpnt{
    "GetMicroLkToCpntID",
    "select linkid from %(micro_connectivity) where cpntidto=:nto ",
    kReported};
const IdListSpec kMicroLinksToBoard{
    "GetMicroLkToCpntID",
    "select t.linkid from %(micro_connectivity) t,%(lg_cpnts) d where d.motherboardid=:nto "
    "and d.cpntid=t.cpntidfrom and t.cpntidto=-1",
    kReported};

const IdValueSpec kCpntIDByName{
    "GetCpntID_cpntname",
    "select cpntid from %(lg_cpnts) where cpntname=:dname",
    {NoRowsForm::Reported, "Fetch unsuccessful"},
    true};  // no component: the id becomes -1

const RowLookupSpec kCpntNameById = [] {
  RowLookupSpec spec{
      "GetCpntName_cpntid",
      nullptr,
      "select cpntname||'?' from %(lg_cpnts) where cpntid=:devid",
      {TextColumn()},
      "%s",
      NoRowsForm::Reported,
  };
  spec.fetch_label = "Fetch unsuccessful";
  return spec;
}();

constexpr int kByComponent = -1;  // the motherboard argument that asks by component

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetBoardCpntPerType(const char* cpnttype, int* len_array, char* cpnt_list,
                                   char* ErrMess) {
  return RunListLookup(kBoardCpntPerType,
                       {KeyBind::Text(":dtype", cpnttype, " cpnt type MUST be given")}, len_array,
                       cpnt_list, ErrMess);
}

extern "C" int GetCpntNamesPerBoard(const char* motherboardname, int* len_array, char* cpnt_list,
                                    char* ErrMess) {
  return RunListLookup(kCpntNamesPerBoard,
                       {KeyBind::Text(":location", motherboardname, " location MUST be given")},
                       len_array, cpnt_list, ErrMess);
}

extern "C" int GetSpareHWCpntPerLocation(const char* location, int* len_array, char* hw_list,
                                         char* ErrMess) {
  return RunListLookup(kSpareHWCpntPerLocation,
                       {KeyBind::Text(":location", location, " location MUST be given")},
                       len_array, hw_list, ErrMess);
}

extern "C" int GetSpareHWCpntPerType(const char* hwtype, int* len_array, char* hw_list,
                                     char* ErrMess) {
  return RunListLookup(kSpareHWCpntPerType,
                       {KeyBind::Text(":hwtype", hwtype, " hwtype MUST be given")}, len_array,
                       hw_list, ErrMess);
}

extern "C" int GetMicroLkFromCpntID(int cpntid_from, int motherboard, int* len_array,
                                    int* lkfrom_list, char* ErrMess) {
  if (motherboard == kByComponent)
    return RunIdListLookup(kMicroLinksFromCpnt, {KeyBind::Int(":nfrom", cpntid_from)}, len_array,
                           lkfrom_list, ErrMess);
  return RunIdListLookup(kMicroLinksFromBoard, {KeyBind::Int(":nfrom", motherboard)}, len_array,
                         lkfrom_list, ErrMess);
}

extern "C" int GetMicroLkToCpntID(int cpntid_to, int motherboard, int* len_array, int* lkto_list,
                                  char* ErrMess) {
  if (motherboard == kByComponent)
    return RunIdListLookup(kMicroLinksToCpnt, {KeyBind::Int(":nto", cpntid_to)}, len_array,
                           lkto_list, ErrMess);
  return RunIdListLookup(kMicroLinksToBoard, {KeyBind::Int(":nto", motherboard)}, len_array,
                         lkto_list, ErrMess);
}

extern "C" int GetCpntID_cpntname(const char* cpntname, int* cpntID, char* ErrMess) {
  return RunIdValueLookup(kCpntIDByName,
                          {KeyBind::Text(":dname", cpntname, " cpnt name MUST be given")}, cpntID,
                          ErrMess);
}

extern "C" int GetCpntName_cpntid(int cpntID, char* cpntname, char* ErrMess) {
  return RunNameValueLookup(kCpntNameById, {KeyBind::Int(":devid", cpntID)}, cpntname, ErrMess);
}
