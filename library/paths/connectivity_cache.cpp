#include "paths/connectivity_cache.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "diagnostics.h"
#include "reasons.h"
#include "report.h"

namespace ferrule {

namespace {

constexpr const char* kAppliName = "LoadConnectivityTable_InCache";
// Kept copies: one per filter, the least recently used dropped first.
constexpr std::size_t kKeptCopies = 4;

struct CacheState {
  std::vector<std::shared_ptr<const Connectivity>> kept;  // most recently used first
  std::shared_ptr<const Connectivity> current;
  bool current_ready = false;  // current is the cache of a call that returned 0
  std::string pending_call;    // the call whose rows did not fit
  long loads = 0;
};

CacheState& state() {
  static CacheState s;
  return s;
}

// The arguments of a call, as far as they decide its rows.
std::string CallIdentity(const ConnectivityFilter& filter) {
  std::string id = std::to_string(filter.mode) + '\n' + FilterKey(filter, "");
  if (filter.by_devices()) {
    for (const char* name : {filter.dfrom, filter.dto}) {
      id += name ? '\n' + std::string(name) : std::string("\n\x01");
    }
  }
  return id;
}

std::shared_ptr<const Connectivity> FindKept(const std::string& key, const std::string& stamp) {
  auto& kept = state().kept;
  for (auto it = kept.begin(); it != kept.end(); ++it) {
    if ((*it)->key != key || (*it)->stamp != stamp) continue;
    std::shared_ptr<const Connectivity> found = *it;
    kept.erase(it);
    kept.insert(kept.begin(), found);
    return found;
  }
  return nullptr;
}

void Keep(const std::shared_ptr<const Connectivity>& connectivity) {
  auto& kept = state().kept;
  kept.erase(std::remove_if(kept.begin(), kept.end(),
                            [&](const auto& k) { return k->key == connectivity->key; }),
             kept.end());
  kept.insert(kept.begin(), connectivity);
  if (kept.size() > kKeptCopies) kept.resize(kKeptCopies);
}

// Whether a kept copy might answer the filter; by devices, the key is
// known only once the devices' subsystem sets are read.
bool MayBeKept(const ConnectivityFilter& filter) {
  const std::string key = FilterKey(filter, "");
  for (const auto& kept : state().kept) {
    if (filter.by_devices() ? kept->key.compare(0, key.size(), key) == 0 : kept->key == key)
      return true;
  }
  return false;
}

bool AllTextsKnown(const Connectivity& connectivity) {
  for (std::size_t link = 0; link < connectivity.texts.size(); ++link)
    if (!connectivity.texts.known(link)) return false;
  return true;
}

// The connectivity the call answers from: kept when it is still the
// network, else loaded now. Without a kept candidate, the load goes first:
// it reads the version itself.
int Acquire(const ConnectivityFilter& filter, TextLoad texts,
            std::shared_ptr<const Connectivity>& out, char* ErrMess) {
  if (MayBeKept(filter)) {
    VersionRead version;
    const int result = ReadConnectivityVersion(filter, version, ErrMess);
    if (result != 0) return result;
    if (!version.own_writes && !version.stamp.empty())
      out = FindKept(FilterKey(filter, version.device_sets), version.stamp);
    if (out && (texts == TextLoad::Later || AllTextsKnown(*out))) return 0;
    out.reset();
  }

  auto loaded = std::make_shared<Connectivity>();
  ++state().loads;
  const int result = LoadConnectivity(filter, texts, *loaded, ErrMess);
  if (result != 0) return result;
  // A load that saw this session's uncommitted writes is never kept.
  if (!loaded->own_writes && !loaded->stamp.empty() && loaded->rows.size() > 0) Keep(loaded);
  out = std::move(loaded);
  return 0;
}

}  // namespace

int LoadConnectivityTable_InCache(const char* systemnameList, const char* dfrom, const char* dto,
                                  int mode, int* len_array, int* linkid, int* node_from,
                                  int* node_to, int* bidirectional_link_used, int* lkused,
                                  int* link_type, int* link_weight, char* ErrMess,
                                  TextLoad texts) {
  CacheState& s = state();
  const std::string pending = std::move(s.pending_call);
  s.pending_call.clear();
  s.current_ready = false;

  ConnectivityFilter filter{mode, ResolveSubsystemFilter(systemnameList), dfrom, dto};
  if (filter.subsystems.form == FilterForm::Missing) {
    s.current.reset();
    ReportFailure(kAppliName, reason::kSystemListNull, ErrMess);
    return -1;
  }
  const std::string call = CallIdentity(filter);

  std::shared_ptr<const Connectivity> connectivity;
  if (!pending.empty() && pending == call && s.current &&
      (texts == TextLoad::Later || AllTextsKnown(*s.current))) {
    connectivity = s.current;
  } else {
    s.current.reset();
    int result = 0;
    try {
      result = Acquire(filter, texts, connectivity, ErrMess);
    } catch (const std::bad_alloc&) {
      ReportFailure(kAppliName, reason::kMallocUnsuccessful, ErrMess);
      return -1;
    }
    if (result != 0) return result;
  }

  const int n = connectivity->rows.size();
  if (n == 0) {
    PrintLine("OCIFETCH third stmt unsuccessful");
    ReportFailure(kAppliName, reason::kNoRowsSelected, ErrMess);
    return -1;
  }
  if (!len_array || *len_array < n) {
    if (len_array) *len_array = n;
    s.current = std::move(connectivity);
    s.pending_call = call;
    ReportFailure(kAppliName, reason::kBufferTooSmall, ErrMess);
    return -1;
  }
  const ConnectivityRows& rows = connectivity->rows;
  std::copy(rows.linkid.begin(), rows.linkid.end(), linkid);
  std::copy(rows.node_from.begin(), rows.node_from.end(), node_from);
  std::copy(rows.node_to.begin(), rows.node_to.end(), node_to);
  std::copy(rows.bidirectional_link_used.begin(), rows.bidirectional_link_used.end(),
            bidirectional_link_used);
  std::copy(rows.lkused.begin(), rows.lkused.end(), lkused);
  std::copy(rows.link_type.begin(), rows.link_type.end(), link_type);
  std::copy(rows.link_weight.begin(), rows.link_weight.end(), link_weight);
  *len_array = n;
  s.current = std::move(connectivity);
  s.current_ready = true;
  ReportSuccess(kAppliName, ErrMess);
  return 0;
}

const Connectivity* ConnectivityCache() {
  const CacheState& s = state();
  return s.current_ready ? s.current.get() : nullptr;
}

int ReadTextsOfRows(const std::vector<int>& rows, bool& stale, char* ErrMess) {
  stale = false;
  const Connectivity* connectivity = ConnectivityCache();
  if (!connectivity) return 0;
  // The stored links whose texts are not known yet, each once.
  std::vector<char> wanted(connectivity->texts.size(), 0);
  std::vector<int> stored;
  for (const int row : rows) {
    const int s = connectivity->rows.stored[row];
    if (connectivity->texts.known(s) || wanted[s]) continue;
    wanted[s] = 1;
    stored.push_back(s);
  }
  if (stored.empty()) return 0;
  const int result = ReadLinkTexts(*connectivity, stored, stale, ErrMess);
  if (result == 0 && stale) {
    auto& kept = state().kept;
    kept.erase(std::remove_if(kept.begin(), kept.end(),
                              [&](const auto& k) { return k.get() == connectivity; }),
               kept.end());
  }
  return result;
}

void ReleaseConnectivityCache() {
  CacheState& s = state();
  s.current.reset();
  s.current_ready = false;
  s.pending_call.clear();
}

long ConnectivityLoadCount() { return state().loads; }

void ForgetKeptConnectivity() {
  ReleaseConnectivityCache();
  state().kept.clear();
}

}  // namespace ferrule
