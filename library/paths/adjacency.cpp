#include "paths/adjacency.h"

namespace ferrule {

Adjacency::Adjacency(const ConnectivityRows& rows) {
  const int n = rows.size();
  int slots = 0;
  auto slot = [&](int deviceid) {
    const int found = slots_.add(deviceid, slots);
    if (found == slots) ++slots;
    return found;
  };
  from_slot_.resize(n);
  to_slot_.resize(n);
  for (int r = 0; r < n; ++r) {
    from_slot_[r] = slot(rows.node_from[r]);
    to_slot_[r] = slot(rows.node_to[r]);
  }

  // Counting sort of the rows by their from slot keeps cache order within
  // each slot.
  first_leaving_.assign(slots + 1, 0);
  for (int r = 0; r < n; ++r) ++first_leaving_[from_slot_[r] + 1];
  for (int s = 0; s < slots; ++s) first_leaving_[s + 1] += first_leaving_[s];
  leaving_.resize(n);
  std::vector<int> next(first_leaving_.begin(), first_leaving_.end() - 1);
  for (int r = 0; r < n; ++r) leaving_[next[from_slot_[r]]++] = r;

  arriving_row_.assign(slots, -1);
  for (int r = n - 1; r >= 0; --r) arriving_row_[to_slot_[r]] = r;
}

int Adjacency::slot_of(int deviceid) const {
  int slot = -1;
  return slots_.find(deviceid, slot) ? slot : -1;
}

}  // namespace ferrule
