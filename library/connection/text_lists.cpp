// Devices, ports and hardware items as packed lists of texts.
#include "ferrule.h"
#include "list_lookup.h"

namespace ferrule {
namespace {

const ListLookupSpec kDeviceNamesPerType{
    "GetDeviceNamesPerType",
    "select t.devicename||'|'||t.deviceid||'?' from %(devices) t,%(device_types) f "
    "where t.devicetypeID=f.devicetypeID and f.devicetype=:dtype",
    '?', {NoRowsForm::Common}, RowsTaken::CompleteOnly};

// A null macaddress leaves its field empty.
const ListLookupSpec kMacIPAddPerDevID{
    "GetMacIPAddPerDevID",
    "select concat(t.port_nbr,'|',t.port_way,'|',coalesce(t.port_type,'none'),'|',f.macaddress,"
    "'|',t.ipaddress,'?') from %(port_properties) t,%(hwport_properties) f,%(devices) d "
    "where d.deviceid=:dID and d.serialnb=f.serialnb and d.deviceid=t.deviceid "
    "and f.port_nbr=t.port_nbr and coalesce(f.port_type,'none')=coalesce(t.port_type,'none') "
    "and f.port_way=t.port_way and t.ipaddress is not null ",
    '?', {NoRowsForm::Common}};

// The destinations that the device's destination table reaches through
// the output port: the routes whose own output port (pfromid0) it is, as
// GetPortPerSubsystem reads them. The first link of such a route is a used
// link at that port (a bidirectional one arriving there, walked backwards).
// The path details name a route's devices, not its ports: matching the
// device behind the port would also take the routes of another link to it.
const ListLookupSpec kDestinationNamePerDevPort{
    "GetDestinationNamePerDevPort",
    "select distinct s.devicename||'|' from %(devices) t, %(devices) s, %(destination_table) e, "
    "%(port_properties) g "
    "where t.devicename=:dname and e.nodeid_start0=t.deviceid and e.nodeid_end1=s.deviceid "
    "and  g.deviceid=t.deviceid  and g.port_nbr=:ptnb and g.port_way=2 and g.portid=e.pfromid0 "
    "and coalesce(g.port_type,'none')=:ptype",
    '|', {NoRowsForm::Hybrid, "OCIFETCH  unsuccessful"}, RowsTaken::Any, 5000};

const ListLookupSpec kFreeDeviceNamesPerType{
    "GetFreeDeviceNamesPerType",
    "select t.devicename||'|' from %(devices) t, %(device_types) f "
    "where t.devicetypeID=f.devicetypeID and f.devicetype=:dtype and t.active=0 and t.nodeused=1",
    '|', {NoRowsForm::Common}};

// The placeholder device -1 has no location, which reads as "none": the
// lists by location leave it out, as the lists by subsystem do.
const ListLookupSpec kDeviceNamesPerLocation{
    "GetDeviceNamesPerLocation",
    "select devicename||'|' from %(devices) "
    "where strpos(coalesce(location,'none'),:location)>0 and deviceid <> -1",
    '|', {NoRowsForm::Common}};

const ListLookupSpec kSpareHWPerLocation{
    "GetSpareHWPerLocation",
    "select serialnb||'|'||coalesce(hwname,'none')||'?' from %(hw_devices) "
    "where coalesce(location,'none')=:location",
    '?', {NoRowsForm::HybridWithStatus, "OCIFETCH unsuccessful"}};

const ListLookupSpec kSpareHWPerType{
    "GetSpareHWPerPerType",
    "select serialnb||'|'||coalesce(hwname,'none')||'?' from %(hw_devices) "
    "where coalesce(hwtype,'none')=:hwtype",
    '?', {NoRowsForm::Common}};

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetDeviceNamesPerType(const char* devitype, int* len_array, char* devIDs_list,
                                     char* ErrMess) {
  return RunListLookup(kDeviceNamesPerType,
                       {KeyBind::Text(":dtype", devitype, " device type MUST be given")},
                       len_array, devIDs_list, ErrMess);
}

extern "C" int GetMacIPAddPerDevID(int deviceid, int* len_mac, char* macip_list, char* ErrMess) {
  return RunListLookup(kMacIPAddPerDevID, {KeyBind::Int(":dID", deviceid)}, len_mac, macip_list,
                       ErrMess);
}

extern "C" int GetDestinationNamePerDevPort(const char* devname, const char* port_nbr,
                                            const char* port_type, int* len_Destin_list,
                                            char* Destin_list, char* ErrMess) {
  return RunListLookup(kDestinationNamePerDevPort,
                       {KeyBind::Text(":ptnb", port_nbr, " port_nbr MUST be given"),
                        KeyBind::Text(":ptype", port_type, " port_type MUST be given"),
                        KeyBind::Text(":dname", devname, " devname MUST be given")},
                       len_Destin_list, Destin_list, ErrMess);
}

extern "C" int GetFreeDeviceNamesPerType(const char* devitype, int* len_array,
                                         char* devnames_list, char* ErrMess) {
  return RunListLookup(kFreeDeviceNamesPerType,
                       {KeyBind::Text(":dtype", devitype, " device type MUST be given")},
                       len_array, devnames_list, ErrMess);
}

extern "C" int GetDeviceNamesPerLocation(const char* location, int* len_array,
                                         char* devnames_list, char* ErrMess) {
  return RunListLookup(kDeviceNamesPerLocation,
                       {KeyBind::Text(":location", location, " location MUST be given")},
                       len_array, devnames_list, ErrMess);
}

extern "C" int GetSpareHWPerLocation(const char* location, int* len_array, char* hw_list,
                                     char* ErrMess) {
  return RunListLookup(kSpareHWPerLocation,
                       {KeyBind::Text(":location", location, " location MUST be given")},
                       len_array, hw_list, ErrMess);
}

extern "C" int GetSpareHWPerType(const char* hwtype, int* len_array, char* hw_list,
                                 char* ErrMess) {
  return RunListLookup(kSpareHWPerType, {KeyBind::Text(":hwtype", hwtype, " hwtype MUST be given")},
                       len_array, hw_list, ErrMess);
}
