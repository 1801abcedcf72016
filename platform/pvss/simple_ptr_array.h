// An array of pointers that owns what it points at: clearing it or
// destroying it deletes every element. The calling thread keeps the values
// made while evaluating arguments in one; an argument list is one.
#pragma once

#include <cstddef>
#include <vector>

template <class T>
class SimplePtrArray {
 public:
  SimplePtrArray() = default;
  SimplePtrArray(const SimplePtrArray&) = delete;
  SimplePtrArray& operator=(const SimplePtrArray&) = delete;
  ~SimplePtrArray() { clear(); }

  // Takes ownership of item.
  void append(T* item) { items_.push_back(item); }

  std::size_t getNumberOfItems() const { return items_.size(); }

  // The element at index (0 = first), or null past the end.
  T* getAt(std::size_t index) const { return index < items_.size() ? items_[index] : nullptr; }

  // Deletes every element and leaves the array empty.
  void clear() {
    for (T* item : items_) delete item;
    items_.clear();
  }

 private:
  std::vector<T*> items_;
};
