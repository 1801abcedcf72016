// Updates of every device of a device type, or of every device whose name
// begins with a given text, in one call (not cached): the usage flag, after
// which every link's usage follows, and the activity. A call commits only
// when it is marked last; the calls before it stay in the open transaction.
#include <string>

#include "ferrule.h"
#include "insert/single_row.h"
#include "reasons.h"
#include "report.h"
#include "session.h"
#include "update/link_lock_order.h"

namespace ferrule {
namespace {

// The devices of a type are those of the device type named :dname. The
// devices of a name prefix are those whose name is like :dname, bound as the
// prefix followed by '%': a '%' or '_' in the prefix is a wildcard, and
// ESCAPE '' keeps a backslash an ordinary character.
constexpr const char* kByPrefix = "devicename like :dname escape ''";

// The usage flag: :numrows counts the devices changed; a link is used when
// both its devices are. The links are locked in link id order before they
// are rewritten (update/link_lock_order.h).
std::string NodeUsedBlock(const char* devices) {
  return std::string(
             "DECLARE devices_changed integer; BEGIN "
             "update %(devices) set nodeused=CASE :nused WHEN 1 THEN 1 WHEN 0 THEN 0 "
             "ELSE nodeused END,last_update=vexa_sysdate(),user_update='%(login)' where ") +
         devices +
         "; GET DIAGNOSTICS devices_changed = %(row_count); " LOCK_EVERY_LINK_IN_ID_ORDER
         "update %(macro_connectivity) e set last_update=vexa_sysdate(),user_update='%(login)',"
         "lkused=(select t.nodeused*f.nodeused "
         "from %(devices) t,%(devices) f,%(port_properties) l,%(port_properties) m "
         "where t.deviceid=l.deviceid and l.portid=e.portidfrom and f.deviceid=m.deviceid "
         "and m.portid=e.portidto); "
         ":rescode := %(update_path_used)(1); :numrows := devices_changed; END;";
}

std::string ActiveBlock(const char* devices) {
  return std::string(
             "BEGIN update %(devices) set active=CASE :nused WHEN 1 THEN 1 WHEN 0 THEN 0 "
             "ELSE active END,last_update=vexa_sysdate(),user_update='%(login)' where ") +
         devices + "; GET DIAGNOSTICS :numrows = %(row_count); END;";
}

const std::string kNodeUsedOfTypeText = NodeUsedBlock(
    "devicetypeid=(select t.devicetypeid from %(device_types) t where t.devicetype=:dname)");
const std::string kNodeUsedOfPrefixText = NodeUsedBlock(kByPrefix);
const std::string kActiveOfTypeText = ActiveBlock(
    "devicetypeid=(select devicetypeid from %(device_types) where devicetype=:dname)");
const std::string kActiveOfPrefixText = ActiveBlock(kByPrefix);

const InsertStatement kNodeUsedOfType{
    kNodeUsedOfTypeText.c_str(), {":dname"}, {":nused"}, {":rescode"}, {}, nullptr, ":rescode"};
const InsertStatement kNodeUsedOfPrefix{
    kNodeUsedOfPrefixText.c_str(), {":dname"}, {":nused"}, {":rescode"}, {}, nullptr, ":rescode"};
const InsertStatement kActiveOfType{kActiveOfTypeText.c_str(), {":dname"}, {":nused"}, {}};
const InsertStatement kActiveOfPrefix{kActiveOfPrefixText.c_str(), {":dname"}, {":nused"}, {}};

struct DevicesUpdate {
  const char* name;  // in ErrMess
  const InsertStatement& of_type;
  const InsertStatement& of_prefix;
};

const DevicesUpdate kNodeUsed{"updateMultipleDeviceNodeUsedByType", kNodeUsedOfType,
                              kNodeUsedOfPrefix};
const DevicesUpdate kActive{"updateMultipleDeviceActiveByType", kActiveOfType, kActiveOfPrefix};

// devtype_given 1: key is a device type; otherwise the start of device
// names. A call that changed no device, or whose path refresh failed, is
// undone; the calls before it stay as they are.
int UpdateDevices(const DevicesUpdate& spec, const char* key, int value, int devtype_given,
                  int last_rows, char* ErrMess) {
  if (!session().connected()) {
    ReportFailure(spec.name, reason::kNotConnected, ErrMess);
    return -1;
  }
  const bool of_type = devtype_given == 1;
  // A null prefix binds NULL, which no name is like.
  const std::string pattern = key ? std::string(key) + "%" : std::string();
  const char* bound = of_type || !key ? key : pattern.c_str();

  SendPolicy send{spec.name, reason::kNotAllUpdated, false /*commit_when_not_inserted*/};
  send.commit = last_rows == 1;
  const SingleExport single{of_type ? spec.of_type : spec.of_prefix, send};
  return InsertSingleRow(single, {{bound}, {value}}, true, ErrMess);
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int UpdateMultipleDeviceNodeUsedByType(const char* devtype, int nodeused,
                                                  int devtype_given, int last_rows,
                                                  char* ErrMess) {
  return UpdateDevices(kNodeUsed, devtype, nodeused, devtype_given, last_rows, ErrMess);
}

extern "C" int UpdateMultipleDeviceActiveByType(const char* devicename, int active,
                                                int devtype_given, int last_rows,
                                                char* ErrMess) {
  return UpdateDevices(kActive, devicename, active, devtype_given, last_rows, ErrMess);
}
