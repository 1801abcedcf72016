// The index the path searches walk instead of scanning the node_from column
// for every partial path: for each device of the rows (a slot), the rows
// that leave it and the rows that arrive at it, each in cache order. Built
// once per load, with the rows.
#pragma once

#include <string_view>
#include <vector>

#include "paths/connectivity_rows.h"
#include "paths/int_index.h"

namespace ferrule {

class Adjacency {
 public:
  Adjacency() = default;
  explicit Adjacency(const ConnectivityRows& rows);

  int slot_count() const { return static_cast<int>(first_leaving_.size()) - 1; }
  // The slot of a deviceid, or -1 when no row has it at either end.
  int slot_of(int deviceid) const;
  int from_slot(int row) const { return from_slot_[row]; }
  int to_slot(int row) const { return to_slot_[row]; }

  // The rows leaving a slot, in cache order: [begin, end).
  const int* leaving_begin(int slot) const { return leaving_.data() + first_leaving_[slot]; }
  const int* leaving_end(int slot) const { return leaving_.data() + first_leaving_[slot + 1]; }

  // The rows arriving at a slot, in cache order: [begin, end).
  const int* arriving_begin(int slot) const { return arriving_.data() + first_arriving_[slot]; }
  const int* arriving_end(int slot) const { return arriving_.data() + first_arriving_[slot + 1]; }

  // The first row that arrives at the slot (its name_to names the slot's
  // device), or -1 when no row arrives there.
  int arriving_row(int slot) const {
    return first_arriving_[slot] == first_arriving_[slot + 1] ? -1 : *arriving_begin(slot);
  }

 private:
  IntIndex slots_;  // deviceid -> slot
  std::vector<int> from_slot_, to_slot_;
  std::vector<int> first_leaving_, first_arriving_;  // slot_count + 1 offsets each
  std::vector<int> leaving_, arriving_;
};

// True when text begins with prefix (compared over the prefix's length).
inline bool BeginsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace ferrule
