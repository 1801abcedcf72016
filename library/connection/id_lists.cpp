// Device, link and port ids as integer lists, and device names and ids one
// to one.
#include "ferrule.h"
#include "list_lookup.h"
#include "value_lookup.h"

namespace ferrule {
namespace {

const IdListSpec kDeviceIDsPerType{
    "GetDeviceIDsPerType",
    "select t.deviceid from %(devices) t, %(device_types) f "
    "where t.devicetypeID=f.devicetypeID and f.devicetype=:dtype",
    {NoRowsForm::Common}};

// A macroscopic link leaves a port of way 2 and arrives at a port of way 1.
const IdListSpec kLkFromDevID{
    "GetLkFromDevID",
    "select t.linkid from %(macro_connectivity) t,%(port_properties) e "
    "where t.portIDfrom=e.portid and e.deviceid=:nfrom and e.port_way=2",
    {NoRowsForm::Common}};

const IdListSpec kLkToDevID{
    "GetLkToDevID",
    "select t.linkid from %(macro_connectivity) t,%(port_properties) e "
    "where t.portIDTO=e.portid and e.deviceid=:nTO and e.port_way=1",
    {NoRowsForm::Common}};

const IdListSpec kPortIDPerDevID{
    "GetPortIDPerDevID",
    "select portid from %(port_properties) where deviceid=:dID",
    {NoRowsForm::Common}};

const IdValueSpec kDeviceIDByName{
    "GetDeviceID_devicename",
    "select deviceid from %(devices) where devicename=:dname",
    {NoRowsForm::Hybrid, "Fetch unsuccessful"},
    false};  // no device: the id is left as it was

const RowLookupSpec kDeviceNameById{
    "GetDeviceName_deviceid",
    nullptr,
    "select devicename||'?' from %(devices) where deviceid=:devid",
    {TextColumn()},
    "%s",
};

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetDeviceIDsPerType(const char* devitype, int* len_array, int* devIDs_list,
                                   char* ErrMess) {
  return RunIdListLookup(kDeviceIDsPerType,
                         {KeyBind::Text(":dtype", devitype, " device type MUST be given")},
                         len_array, devIDs_list, ErrMess);
}

extern "C" int GetLkFromDevID(int node_from, int* len_array, int* lkfrom_list, char* ErrMess) {
  return RunIdListLookup(kLkFromDevID, {KeyBind::Int(":nfrom", node_from)}, len_array,
                         lkfrom_list, ErrMess);
}

// Bind names match whatever their letter case: ":nto" binds ":nTO".
extern "C" int GetLkToDevID(int node_to, int* len_array, int* lkto_list, char* ErrMess) {
  return RunIdListLookup(kLkToDevID, {KeyBind::Int(":nto", node_to)}, len_array, lkto_list,
                         ErrMess);
}

extern "C" int GetPortIDPerDevID(int deviceid, int* len_array, int* portID_list, char* ErrMess) {
  return RunIdListLookup(kPortIDPerDevID, {KeyBind::Int(":dID", deviceid)}, len_array,
                         portID_list, ErrMess);
}

extern "C" int GetDeviceID_devicename(const char* deviceName, int* deviceID, char* ErrMess) {
  return RunIdValueLookup(kDeviceIDByName,
                          {KeyBind::Text(":dname", deviceName, " device name MUST be given")},
                          deviceID, ErrMess);
}

extern "C" int GetDeviceName_deviceid(int deviceID, char* devicename, char* ErrMess) {
  return RunNameValueLookup(kDeviceNameById, {KeyBind::Int(":devid", deviceID)}, devicename,
                            ErrMess);
}
