#include "paths/search_load.h"

#include <cstring>
#include <new>
#include <string>

#include "report.h"

namespace ferrule {

namespace {

// The rows a search makes room for before it knows how many there are.
constexpr int kFirstCapacity = 20000;

}  // namespace

void SearchColumns::resize(std::size_t rows) {
  for (auto* column : {&linkid, &node_from, &node_to, &bidirectional_link_used, &lkused,
                       &link_type, &link_weight})
    column->resize(rows);
}

void ReportInnerFailure(const char* appliName, char* ErrMess) {
  if (!ErrMess) return;
  // The reason is read out first: ErrMess is also where the text goes.
  const std::string inner(ErrMess, strnlen(ErrMess, kErrMessMax - 1));
  ReportFailure(appliName, inner.c_str(), ErrMess);
}

const Connectivity* LoadCacheForSearch(const char* appliName, const LoadFailureReasons& reasons,
                                       const char* systemname, const char* dfrom, int mode,
                                       SearchColumns& columns, char* ErrMess, TextLoad texts) {
  auto load = [&](int* count) {
    return LoadConnectivityTable_InCache(
        systemname, dfrom, "none", mode, count, columns.linkid.data(), columns.node_from.data(),
        columns.node_to.data(), columns.bidirectional_link_used.data(), columns.lkused.data(),
        columns.link_type.data(), columns.link_weight.data(), ErrMess, texts);
  };
  try {
    columns.resize(kFirstCapacity);
  } catch (const std::bad_alloc&) {
    ReportFailure(appliName, reasons.first_allocation, ErrMess);
    return nullptr;
  }
  int count = kFirstCapacity;
  int result = load(&count);
  if (result != 0 && count > kFirstCapacity) {
    try {
      columns.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
      ReleaseConnectivityCache();
      ReportFailure(appliName, reasons.growth, ErrMess);
      return nullptr;
    }
    result = load(&count);
  }
  if (result != 0) {
    ReleaseConnectivityCache();
    ReportInnerFailure(appliName, ErrMess);
    return nullptr;
  }
  columns.resize(static_cast<std::size_t>(count));
  return ConnectivityCache();
}

int FindSourceSlot(const Connectivity& cache, const char* name) {
  if (!name) return -1;
  // A device of exactly that name is the source, even where another
  // device's name begins with it ("sw1" beside "sw10"); with no row
  // leaving it, there is none.
  int deviceid = 0;
  if (cache.rows.devices.find(name, deviceid)) {
    const int slot = cache.index.slot_of(deviceid);
    if (slot < 0 || cache.index.leaving_begin(slot) == cache.index.leaving_end(slot)) return -1;
    return slot;
  }
  const NameColumn& names = cache.rows.name_from;
  for (std::size_t r = 0; r < names.size(); ++r)
    if (BeginsWith(names.view(r), name))
      return cache.index.from_slot(static_cast<int>(r));
  return -1;
}

}  // namespace ferrule
