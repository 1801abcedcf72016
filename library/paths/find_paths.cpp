#include "paths/find_paths.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "paths/path_search.h"
#include "paths/search_load.h"
#include "paths/type_targets.h"
#include "reasons.h"
#include "report.h"

namespace ferrule {

namespace {

constexpr LoadFailureReasons kLoadReasons{"Unsuccessful malloc 1", "Unsuccessful malloc 3"};

// One flag per slot: the devices a path ends at.
std::vector<char> TargetsByName(const Connectivity& cache, const char* dto) {
  std::vector<char> target(static_cast<std::size_t>(cache.index.slot_count()), 0);
  if (!dto) return target;
  const NameColumn& names = cache.rows.name_to;
  for (int slot = 0; slot < cache.index.slot_count(); ++slot) {
    const int row = cache.index.arriving_row(slot);
    if (row >= 0 && BeginsWith(names.view(row), dto))
      target[slot] = 1;
  }
  return target;
}

std::vector<char> TargetsById(const Connectivity& cache, const std::vector<int>& ids) {
  std::vector<char> target(static_cast<std::size_t>(cache.index.slot_count()), 0);
  for (const int id : ids) {
    const int slot = cache.index.slot_of(id);
    if (slot >= 0) target[slot] = 1;
  }
  return target;
}

void AppendItem(std::string& text, std::string_view item) {
  text.append(item);
  text.push_back('\0');
}

// One entry per link of every path. A row walked in its link's stored
// direction has a positive linkid and runs from a port of way 2 to a port
// of way 1; a reversed row the other way round.
void AppendEntries(const Connectivity& cache, const SearchColumns& columns,
                   const FoundPaths& found, PathEntries& out) {
  const ConnectivityRows& rows = cache.rows;
  const LinkTexts& texts = cache.texts;
  for (int path = 0; path < found.count(); ++path) {
    int position = 1;
    for (std::size_t i = found.starts[path]; i < found.starts[path + 1]; ++i, ++position) {
      const int row = found.rows[i];
      const bool forward = columns.linkid[row] > 0;
      const int stored = rows.stored[row];
      const bool reversed = rows.reversed[row] != 0;
      out.pathid.push_back(path);
      out.link_pos.push_back(position);
      out.way_a.push_back(forward ? 2 : 1);
      out.way_b.push_back(forward ? 1 : 2);
      AppendItem(out.nfrom, rows.name_from.view(row));
      AppendItem(out.nto, rows.name_to.view(row));
      AppendItem(out.pto, reversed ? texts.from(stored) : texts.to(stored));
      AppendItem(out.pfrom, reversed ? texts.to(stored) : texts.from(stored));
      AppendItem(out.lkinfo, texts.info(stored));
    }
  }
  out.paths = found.count();
}

// One search on one load. 0 with the entries; kTextsStale when the texts
// of the paths could not be read at the version of the rows; else -1 with
// ErrMess written.
constexpr int kTextsStale = 1;

int SearchOnce(const char* appliName, const char* systemname, const char* dfrom, const char* dto,
               bool by_type, const std::vector<int>& type_ids, TextLoad texts, PathEntries& out,
               char* ErrMess) {
  SearchColumns columns;
  const Connectivity* cache =
      LoadCacheForSearch(appliName, kLoadReasons, systemname, dfrom, 0, columns, ErrMess, texts);
  if (!cache) return -1;

  const int source = FindSourceSlot(*cache, dfrom);
  if (source < 0) {
    ReportFailure(appliName, "Not existent device", ErrMess);
    return -1;
  }
  const std::vector<char> target =
      by_type ? TargetsById(*cache, type_ids) : TargetsByName(*cache, dto);
  const FoundPaths found = SearchPaths(cache->index, columns.link_weight.data(), source,
                                       PathRules::ToTargets, target);
  bool stale = false;
  if (ReadTextsOfRows(found.rows, stale, ErrMess) != 0) {
    ReportInnerFailure(appliName, ErrMess);
    return -1;
  }
  if (stale) return kTextsStale;
  AppendEntries(*cache, columns, found, out);
  return 0;
}

int Search(const char* appliName, const char* systemname, const char* dfrom, const char* dto,
           int dto_typegiven, PathEntries& out, char* ErrMess) {
  const bool by_type = dto_typegiven == 1;
  std::vector<int> type_ids;
  if (by_type && DeviceIdsOfType(dto, type_ids, ErrMess) != 0) {
    ReportInnerFailure(appliName, ErrMess);
    return -1;
  }
  // The network changed between the load and the read of the texts: the
  // search runs again on rows loaded with their texts, which cannot differ.
  int result = SearchOnce(appliName, systemname, dfrom, dto, by_type, type_ids, TextLoad::Later,
                          out, ErrMess);
  if (result == kTextsStale) {
    ReleaseConnectivityCache();
    result = SearchOnce(appliName, systemname, dfrom, dto, by_type, type_ids,
                        TextLoad::WithRows, out, ErrMess);
  }
  return result;
}

// Copies a text whose capacity was checked.
void CopyText(char* to, const std::string& text) {
  if (!text.empty()) std::memcpy(to, text.data(), text.size());
}

void CopyInts(int* to, const std::vector<int>& values) {
  if (!values.empty()) std::memcpy(to, values.data(), values.size() * sizeof(int));
}

}  // namespace

int SearchBetweenDevices(const char* appliName, const char* systemname, const char* dfrom,
                         const char* dto, int dto_typegiven, PathEntries& out, char* ErrMess) {
  out = PathEntries{};
  int result = -1;
  try {
    result = Search(appliName, systemname, dfrom, dto, dto_typegiven, out, ErrMess);
  } catch (const std::bad_alloc&) {
    out = PathEntries{};
    ReportFailure(appliName, reason::kUnsuccessfulMalloc, ErrMess);
  }
  ReleaseConnectivityCache();
  return result;
}

int FindPathsBetweenDevices(const char* appliName, const char* systemname, const char* dfrom,
                            const char* dto, int dto_typegiven, const PathOutputs& out,
                            char* ErrMess) {
  int* const lengths[] = {out.len_array, out.len_pfrom, out.len_nfrom,
                          out.len_pto,   out.len_nto,   out.len_lkinfo};
  const void* const buffers[] = {out.nfrom_buf, out.nto_buf, out.pfrom_buf,
                                 out.way_a,     out.pto_buf, out.way_b,
                                 out.pathid,    out.link_pos, out.lkinfo_buf};
  for (const int* length : lengths) {
    if (!length) {
      ReportFailure(appliName, reason::kBufferTooSmall, ErrMess);
      return -1;
    }
  }
  for (const void* buffer : buffers) {
    if (!buffer) {
      ReportFailure(appliName, reason::kBufferTooSmall, ErrMess);
      return -1;
    }
  }

  PathEntries entries;
  if (SearchBetweenDevices(appliName, systemname, dfrom, dto, dto_typegiven, entries, ErrMess) !=
      0)
    return -1;

  // The needs in the order of lengths[]. Every capacity must exceed its need.
  const long long needs[] = {entries.count(),
                             static_cast<long long>(entries.pfrom.size()),
                             static_cast<long long>(entries.nfrom.size()),
                             static_cast<long long>(entries.pto.size()),
                             static_cast<long long>(entries.nto.size()),
                             static_cast<long long>(entries.lkinfo.size())};
  bool fits = true;
  for (int i = 0; i < 6; ++i) fits = fits && needs[i] < *lengths[i];
  if (!fits) {
    for (int i = 0; i < 6; ++i)
      *lengths[i] = static_cast<int>(std::min<long long>(needs[i] + 1, INT_MAX));
    ReportFailure(appliName, reason::kBufferTooSmall, ErrMess);
    return -1;
  }
  CopyText(out.nfrom_buf, entries.nfrom);
  CopyText(out.nto_buf, entries.nto);
  CopyText(out.pfrom_buf, entries.pfrom);
  CopyText(out.pto_buf, entries.pto);
  CopyText(out.lkinfo_buf, entries.lkinfo);
  CopyInts(out.way_a, entries.way_a);
  CopyInts(out.way_b, entries.way_b);
  CopyInts(out.pathid, entries.pathid);
  CopyInts(out.link_pos, entries.link_pos);
  for (int i = 0; i < 6; ++i) *lengths[i] = static_cast<int>(needs[i]);

  if (entries.paths == 0) {
    ReportFailure(appliName, reason::kNoRowsSelected, ErrMess);
    return -1;
  }
  ReportSuccess(appliName, ErrMess);
  return 0;
}

}  // namespace ferrule
