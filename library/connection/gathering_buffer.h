// The bytes of a list gathered row by row before it is copied out once.
//
// Fresh memory is what a list of many rows costs most: every 4 KiB page
// that the list fills is a page fault, and on the machines measured (a
// virtual machine) the faults of a 10,000-name list took longer than
// fetching the rows. So the block is kept from one list to the next by
// the thread that gathered it (up to kKeptBytes), and it grows with
// realloc, which extends a block in place or moves its pages without
// copying them, rather than allocating a larger block and copying.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace ferrule {

class GatheringBuffer {
 public:
  // A block no larger than this is kept for the next list.
  static constexpr std::size_t kKeptBytes = std::size_t{1} << 20;

  // The calling thread's buffer, empty; it is emptied again when the
  // returned lease ends.
  class Lease {
   public:
    Lease() : buffer_(thread_buffer()) { buffer_.size_ = 0; }
    ~Lease() { buffer_.empty_keeping(kKeptBytes); }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    GatheringBuffer* operator->() { return &buffer_; }

   private:
    GatheringBuffer& buffer_;
  };

  // Appends the item and then `terminator`; false, with the content as it
  // was, when the buffer cannot grow.
  bool append(std::string_view item, char terminator) {
    const std::size_t needed = size_ + item.size() + 1;
    if (needed > capacity_ && !grow(needed)) return false;
    std::memcpy(data_.get() + size_, item.data(), item.size());
    data_.get()[needed - 1] = terminator;
    size_ = needed;
    return true;
  }

  const char* data() const { return data_.get(); }
  std::size_t size() const { return size_; }

 private:
  static constexpr std::size_t kFirstCapacity = 4096;

  static GatheringBuffer& thread_buffer() {
    static thread_local GatheringBuffer buffer;
    return buffer;
  }

  void empty_keeping(std::size_t keep) {
    size_ = 0;
    if (capacity_ <= keep) return;
    data_.reset();
    capacity_ = 0;
  }

  bool grow(std::size_t needed) {
    std::size_t capacity = capacity_ ? capacity_ : kFirstCapacity;
    while (capacity < needed) {
      if (capacity > SIZE_MAX / 2) return false;
      capacity *= 2;
    }
    void* grown = std::realloc(data_.get(), capacity);
    if (!grown) return false;
    data_.release();
    data_.reset(static_cast<char*>(grown));
    capacity_ = capacity;
    return true;
  }

  struct Free {
    void operator()(char* block) const { std::free(block); }
  };
  std::unique_ptr<char, Free> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace ferrule
