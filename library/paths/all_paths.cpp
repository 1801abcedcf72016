// Every loop-free path that starts at a device and ends on a link of
// link_weight 2, within the links of the listed subsystems, each link
// walked in either direction.
#include <climits>
#include <new>

#include "ferrule.h"
#include "paths/path_search.h"
#include "paths/search_load.h"
#include "reasons.h"
#include "report.h"

namespace ferrule {
namespace {

constexpr const char* kAppliName = "GetAllPathsPerDevice";
constexpr LoadFailureReasons kLoadReasons{"Unsuccessful malloc 1", "Unsuccessful malloc 2"};

// Runs the search; 0 with the found paths, else -1 with ErrMess written.
int Search(const char* systemnameList, const char* devicename, SearchColumns& columns,
           FoundPaths& found, char* ErrMess) {
  const Connectivity* cache =
      LoadCacheForSearch(kAppliName, kLoadReasons, systemnameList, devicename, 1, columns,
                         ErrMess);
  if (!cache) return -1;
  const int source = FindSourceSlot(*cache, devicename);
  if (source < 0) {
    ReportFailure(kAppliName, "GetIndexForTabCHAR_second pb", ErrMess);
    return -1;
  }
  found = SearchPaths(cache->index, columns.link_weight.data(), source, PathRules::ToWeightTwo,
                      {});
  return 0;
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetAllPathsPerDevice(const char* systemnameList, const char* devicename,
                                    int* len_array, int* linkid_out, int* pathid_out,
                                    int* link_pos_out, char* ErrMess) {
  if (!len_array || !linkid_out || !pathid_out || !link_pos_out) {
    ReportFailure(kAppliName, reason::kBufferTooSmall, ErrMess);
    return -1;
  }
  SearchColumns columns;
  FoundPaths found;
  int result = -1;
  try {
    result = Search(systemnameList, devicename, columns, found, ErrMess);
  } catch (const std::bad_alloc&) {
    ReportFailure(kAppliName, "Unsuccessful malloc 6", ErrMess);
  }
  ReleaseConnectivityCache();
  if (result != 0) return result;

  if (found.count() == 0) {
    *len_array = 0;
    ReportFailure(kAppliName, reason::kNoRowsSelected, ErrMess);
    return -1;
  }
  // len_array is read as the capacity of the three arrays.
  const std::size_t need = found.entries();
  if (need > static_cast<std::size_t>(INT_MAX) || static_cast<long long>(need) > *len_array) {
    *len_array = need > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(need);
    ReportFailure(kAppliName, reason::kBufferTooSmall, ErrMess);
    return -1;
  }
  int entry = 0;
  for (int path = 0; path < found.count(); ++path) {
    int position = 1;
    for (std::size_t i = found.starts[path]; i < found.starts[path + 1]; ++i, ++entry) {
      linkid_out[entry] = columns.linkid[found.rows[i]];
      pathid_out[entry] = path;
      link_pos_out[entry] = position++;
    }
  }
  *len_array = entry;
  ReportSuccess(kAppliName, ErrMess);
  return 0;
}
