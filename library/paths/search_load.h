// What both path searches do before they search: load the cache under the
// capacity protocol into the seven integer columns they own, and find the
// source device in it.
#pragma once

#include <vector>

#include "paths/connectivity_cache.h"

namespace ferrule {

// The integer columns of the cache rows, owned by a search.
struct SearchColumns {
  std::vector<int> linkid, node_from, node_to, bidirectional_link_used, lkused, link_type,
      link_weight;

  void resize(std::size_t rows);
};

// The reasons of a search's allocation failures.
struct LoadFailureReasons {
  const char* first_allocation;
  const char* growth;
};

// Starts with 20000 rows; when the loader finds more, grows the columns to
// its count and calls it once more. Returns the cache (its rows copied into
// columns), or null with "ERROR in <appliName> : <reason>" in ErrMess, the
// reason being the loader's own ErrMess text when the load failed.
const Connectivity* LoadCacheForSearch(const char* appliName, const LoadFailureReasons& reasons,
                                       const char* systemname, const char* dfrom, int mode,
                                       SearchColumns& columns, char* ErrMess,
                                       TextLoad texts = TextLoad::Later);

// The slot of the source device named name: the device of exactly that
// name when there is one, else the device at the from end of the first
// cache row whose device name begins with name. -1 when there is none,
// when no cache row leaves it, or when name is null.
int FindSourceSlot(const Connectivity& cache, const char* name);

// "ERROR in <appliName> : <what ErrMess holds now>".
void ReportInnerFailure(const char* appliName, char* ErrMess);

}  // namespace ferrule
