// Device types and devices as one row of text each.
#include "ferrule.h"
#include "row_lookup.h"

namespace ferrule {
namespace {

const RowLookupSpec kDeviceTypeRow{
    "GetDeviceTypeRow",
    nullptr,
    "select devicetype||'?',devicetypeID,nbrofinput,nbrofoutput, "
    "coalesce(description,'none')||'?',coalesce(rgbcolor,'none')||'?',coalesce(system_name,-1) "
    "from %(device_types) where devicetype=:dtype ",
    {TextColumn(kFloor50, "devtypelen="),
     IntColumn(),
     IntColumn(),
     IntColumn(),
     TextColumn(kFloor50, "descriptionlen="),
     TextColumn(MinLength::Described, "rgbcolorlen="),
     SubsystemSetColumn()},
    "|devicetype (C):%s |devicetypeID (I):%d |nbrofinput (I):%d |nbrofoutput (I):%d "
    "|description (C):%s |rgbcolor (C):%s |system_name (C):%s |",
};

// The device row by name and by id differ in the serialnb column: by name
// it carries the mark, so no hardware shows as an empty serial number; by
// id it comes as stored, and a null shows as "NULL".
const std::vector<LookupColumn> kDeviceColumns{
    TextColumn(kFloor50), TextColumn(kFloor50), IntColumn(), IntColumn(),
    IntColumn(),          IntColumn(),          TextColumn(kFloor50), IntColumn(),
    TextColumn(kFloor50), SubsystemSetColumn()};
const std::vector<LookupColumn> kDeviceByIdColumns{
    TextColumn(kFloor50), TextColumn(kFloor50), IntColumn(), IntColumn(),
    IntColumn(),          IntColumn(),          TextColumn(kFloor50), IntColumn(),
    UnmarkedTextColumn(kFloor50), SubsystemSetColumn()};

const char* const kDeviceFormat =
    "|devicename (C):%s |devicetype (C):%s |active (I):%d |node (I):%d |deviceid  (I):%d "
    "|promiscuous_mode (I):%d |location (C):%s |nodeused (I):%d |serialnb  (C):%s "
    "|system_name (C):%s |";

const RowLookupSpec kDeviceRowByName{
    "GetDeviceRow_devicename",
    nullptr,
    "select t.devicename||'?',e.devicetype||'?',t.active,t.node,t.deviceid,t.promiscuous_mode,"
    "coalesce(t.location,'none')||'?',t.nodeused,concat(t.serialnb,'?'),coalesce(t.system_name,-1) "
    "from %(device_types) e,%(devices) t where t.devicename=:dname "
    "and e.devicetypeID=t.devicetypeID",
    kDeviceColumns,
    kDeviceFormat,
};

const RowLookupSpec kDeviceRowById{
    "GetDeviceRow_devid",
    "GetDeviceRow_devid ",
    "select t.devicename||'?',e.devicetype||'?',t.active,t.node,t.deviceid,t.promiscuous_mode,"
    "coalesce(t.location,'none')||'?',t.nodeused,t.serialnb,coalesce(t.system_name,-1) "
    "from %(devices) t,%(device_types) e where t.deviceid=:dID and e.devicetypeID=t.devicetypeID",
    kDeviceByIdColumns,
    kDeviceFormat,
};

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetDeviceTypeRow(const char* devitype, int* len_devtype, char* devtype_result,
                                char* ErrMess) {
  return RunRowLookup(kDeviceTypeRow, {KeyBind::Text(":dtype", devitype, " devicetype MUST be given")},
                      len_devtype, devtype_result, ErrMess);
}

extern "C" int GetDeviceRow_devicename(const char* devname, int* len_device, char* device_result,
                                       char* ErrMess) {
  return RunRowLookup(kDeviceRowByName,
                      {KeyBind::Text(":dname", devname, "devicename MUST be given")}, len_device,
                      device_result, ErrMess);
}

extern "C" int GetDeviceRow_devid(int deviceID, int* len_device, char* device_result,
                                  char* ErrMess) {
  return RunRowLookup(kDeviceRowById, {KeyBind::Int(":dID", deviceID)}, len_device, device_result,
                      ErrMess);
}
