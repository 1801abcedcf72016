#include "paths/type_targets.h"

#include "paths/query.h"
#include "statement_text.h"

namespace ferrule {

int DeviceIdsOfType(const char* devicetype, std::vector<int>& ids, char* ErrMess) {
  ids.clear();
  if (!devicetype) return 0;
  const std::string sql = ExpandTemplate(
      "select t.deviceid from %(devices) t,%(device_types) f "
      "where t.devicetypeID=f.devicetypeID and f.devicetype=:dtype");
  return RunQuery(
      "GetDeviceIDsPerType", sql, {{":dtype", devicetype}}, {QueryColumn::Int},
      [&](const QueryRow& row) { ids.push_back(row.number(0)); }, ErrMess);
}

}  // namespace ferrule
