// A map from int keys to int values for the joins a load makes in memory
// (portid to deviceid, deviceid to name): open addressing over a
// power-of-two table, filled once and then only read. A load looks up both
// ends of every link; with a node-based map the look-ups would cost more
// than the rest of building the rows.
#pragma once

#include <cstddef>
#include <vector>

namespace ferrule {

class IntIndex {
 public:
  // Room for count keys without growing.
  void reserve(std::size_t count);
  // Returns the value of key: its first one when it was added before.
  int add(int key, int value);
  // False when the key was not added.
  bool find(int key, int& value) const;

 private:
  struct Entry {
    int key, value;
  };
  std::size_t home(int key) const;
  void grow();

  std::vector<Entry> entries_;
  std::vector<int> table_;  // entry + 1 per slot, 0 for an empty slot
  int shift_ = 32;          // 32 - log2 of the table's size
};

}  // namespace ferrule
