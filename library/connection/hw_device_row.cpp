// A hardware item as one row of text, with the functional device that
// carries it; an item that no device carries is read again alone and shows
// "none" as its device.
#include "ferrule.h"
#include "row_lookup.h"

namespace ferrule {
namespace {

// hwname, hwtype, device_status, responsible, user_comments, location,
// serialnb, then the device's name in the first statement. A null
// device_status cannot be fetched: such an item is answered as missing.
const std::vector<LookupColumn> kHWDeviceColumns{
    TextColumn(kFloor50), TextColumn(kFloor50), StatusWordColumn(), TextColumn(kFloor50),
    TextColumn(kFloor50), TextColumn(kFloor50), TextColumn(kFloor50), TextColumn(kFloor50)};

const RowLookupSpec kHWDeviceAlone = [] {
  RowLookupSpec spec{
      "GetHWDeviceRow_serialnb",
      nullptr,
      " select coalesce(hwname,'none')||'?',coalesce(hwtype,'none')||'?',device_status,"
      "coalesce(responsible,'none')||'?',coalesce(user_comments,'none')||'?',"
      "coalesce(location,'none')||'?',serialnb||'?' from %(hw_devices) where serialnb=:dname",
      {kHWDeviceColumns.begin(), kHWDeviceColumns.end() - 1},
      "|hwname (C):%s |hwtype (C):%s |device_status (C):%s |location (C):%s "
      "|responsible  (C):%s |user_comments (C):%s |devicename (C):none |serialnb  (C):%s |",
  };
  spec.fields = {1, 2, 3, 6, 4, 5, 7};
  return spec;
}();

const RowLookupSpec kHWDeviceRow = [] {
  RowLookupSpec spec{
      "GetHWDeviceRow_serialnb",
      nullptr,
      " select coalesce(t.hwname,'none')||'?',coalesce(t.hwtype,'none')||'?',t.device_status,"
      "coalesce(t.responsible,'none')||'?',coalesce(t.user_comments,'none')||'?',"
      "coalesce(t.location,'none')||'?',t.serialnb||'?',d.devicename||'?' "
      "from %(hw_devices) t,%(devices) d where t.serialnb=:dname and t.serialnb=d.serialnb",
      kHWDeviceColumns,
      "|hwname (C):%s |hwtype (C):%s |device_status (C):%s |location (C):%s "
      "|responsible  (C):%s |user_comments (C):%s |devicename (C):%s |serialnb  (C):%s |",
  };
  spec.fields = {1, 2, 3, 6, 4, 5, 8, 7};
  spec.fallback = &kHWDeviceAlone;
  return spec;
}();

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetHWDeviceRow_serialnb(const char* serialnb, int* len_device, char* device_result,
                                       char* ErrMess) {
  return RunRowLookup(kHWDeviceRow, {KeyBind::Text(":dname", serialnb, "serialnb MUST be given")},
                      len_device, device_result, ErrMess);
}
