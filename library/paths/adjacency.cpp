#include "paths/adjacency.h"

namespace ferrule {

namespace {

// Counting sort of the rows by their slot (slot_of[row]): offsets gets
// slots + 1 entries, rows the row numbers, cache order kept within a slot.
void GroupBySlot(const std::vector<int>& slot_of, int slots, std::vector<int>& offsets,
                 std::vector<int>& rows) {
  const int n = static_cast<int>(slot_of.size());
  offsets.assign(slots + 1, 0);
  for (int r = 0; r < n; ++r) ++offsets[slot_of[r] + 1];
  for (int s = 0; s < slots; ++s) offsets[s + 1] += offsets[s];
  rows.resize(n);
  std::vector<int> next(offsets.begin(), offsets.end() - 1);
  for (int r = 0; r < n; ++r) rows[next[slot_of[r]]++] = r;
}

}  // namespace

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
  GroupBySlot(from_slot_, slots, first_leaving_, leaving_);
  GroupBySlot(to_slot_, slots, first_arriving_, arriving_);
}

int Adjacency::slot_of(int deviceid) const {
  int slot = -1;
  return slots_.find(deviceid, slot) ? slot : -1;
}

}  // namespace ferrule
