// The deviceids of the devices of one device type: the targets of a path
// search to a device type.
#pragma once

#include <vector>

namespace ferrule {

// Every id, however many. A null or unknown type gives none. 0, or the
// failing step's result with "ERROR in GetDeviceIDsPerType : <reason>" in
// ErrMess.
int DeviceIdsOfType(const char* devicetype, std::vector<int>& ids, char* ErrMess);

}  // namespace ferrule
