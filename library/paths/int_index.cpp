#include "paths/int_index.h"

#include <cstdint>

namespace ferrule {

std::size_t IntIndex::home(int key) const {
  // Fibonacci hashing: the top bits of the product depend on every bit of
  // the key, so neither consecutive keys nor keys that differ only in
  // their high bits gather in one place.
  const std::uint32_t mixed = static_cast<std::uint32_t>(key) * 2654435769u;
  return mixed >> shift_;
}

void IntIndex::reserve(std::size_t count) {
  entries_.reserve(count);
  std::size_t slots = 16;
  while (slots < 2 * count) slots *= 2;
  if (slots <= table_.size()) return;
  table_.assign(slots, 0);
  shift_ = 32;
  for (std::size_t s = slots; s > 1; s /= 2) --shift_;
  for (std::size_t e = 0; e < entries_.size(); ++e) {
    std::size_t slot = home(entries_[e].key);
    while (table_[slot] != 0) slot = (slot + 1) & (slots - 1);
    table_[slot] = static_cast<int>(e + 1);
  }
}

void IntIndex::grow() { reserve(entries_.size() + 1 > 8 ? 2 * entries_.size() : 8); }

int IntIndex::add(int key, int value) {
  // At most half full, so that probes stay short.
  if (2 * (entries_.size() + 1) > table_.size()) grow();
  std::size_t slot = home(key);
  for (; table_[slot] != 0; slot = (slot + 1) & (table_.size() - 1)) {
    const Entry& entry = entries_[table_[slot] - 1];
    if (entry.key == key) return entry.value;
  }
  entries_.push_back({key, value});
  table_[slot] = static_cast<int>(entries_.size());
  return value;
}

bool IntIndex::find(int key, int& value) const {
  if (table_.empty()) return false;
  for (std::size_t slot = home(key); table_[slot] != 0; slot = (slot + 1) & (table_.size() - 1)) {
    const Entry& entry = entries_[table_[slot] - 1];
    if (entry.key == key) {
      value = entry.value;
      return true;
    }
  }
  return false;
}

}  // namespace ferrule
