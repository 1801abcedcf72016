// The buffers a wrapper hands the library for one call, and the reading of
// what the library wrote into them. Every buffer starts zero-filled, so a
// buffer the library left alone reads as an empty text or as zeros; every
// read stays inside the buffer and below the length the library wrote back.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ferrule::ctrl {

// The ErrMess buffer of one call.
class ErrMessBuffer {
 public:
  explicit ErrMessBuffer(int size);
  char* data() { return bytes_.data(); }
  std::string Text() const;
  // The text is the library's shortfall answer "ERROR in <name> :
  // BUFFER_TOO_SMALL".
  bool ReportsShortfall() const;
  bool Mentions(const char* word) const;

 private:
  std::vector<char> bytes_;
};

// Walks the NUL-terminated items of a packed list, one at a time. Past the
// used bytes it yields empty texts, so that lists read in step stay
// aligned; an item without its NUL ends at the used bytes.
class PackedReader {
 public:
  PackedReader(const char* bytes, std::size_t used) : bytes_(bytes), used_(used) {}
  bool AtEnd() const { return offset_ >= used_; }
  std::string Next();

 private:
  const char* bytes_;
  std::size_t used_;
  std::size_t offset_ = 0;
};

// A text result of the library with its in/out length (the capacity on
// entry).
class TextBuffer {
 public:
  explicit TextBuffer(int capacity);
  char* data() { return bytes_.data(); }
  int* length() { return &length_; }
  int Capacity() const { return static_cast<int>(bytes_.size()); }

  // The library wrote back a length above the first capacity.
  bool Grew() const { return length_ > first_; }
  // Before a second call: a new zero-filled buffer of the larger of the
  // first capacity and the written-back length, which is also the new
  // in/out length. The larger of the two, because a library may write back
  // the exact size of an output that fitted while its fit test is strict.
  void Regrow();

  // The text at the start of the buffer, up to its NUL.
  std::string Text() const;
  // The text at the start of the buffer is "NO_ROWS_SELECTED" itself, as
  // the library writes it when it found nothing. A text that only begins
  // with it ("NO_ROWS_SELECTED_1", a device's name) is a result.
  bool HoldsNoRows() const;
  // The packed items below the written-back length.
  PackedReader Items() const;
  std::vector<std::string> AllItems() const;

 private:
  int first_;
  int length_;
  std::vector<char> bytes_;
};

// Integer results of the library: one or several arrays of the same
// capacity that share one in/out count (the capacity in elements on entry).
class IntBuffer {
 public:
  explicit IntBuffer(int capacity, int arrays = 1);
  int* data(int array = 0) { return arrays_[array].data(); }
  int* length() { return &length_; }
  int Capacity() const { return capacity_; }

  bool Grew() const { return length_ > first_; }
  // As TextBuffer::Regrow, for every array.
  void Regrow();

  // The written-back count, bounded by the arrays' capacity.
  int Count() const;
  // The first written-back count of elements of one array.
  std::vector<int> Values(int array = 0) const;
  // Element i, or -1 past the written-back count (aligned lists).
  int At(int array, int i) const;
  // The array begins with -1, -1: the library found nothing.
  bool HoldsNoRowsPair() const;

 private:
  int first_;
  int length_;
  int capacity_;
  std::vector<std::vector<int>> arrays_;
};

// The retry rule: call once; when again(result) holds, regrow() the
// buffers and call a second and last time. Returns the final result.
template <class Call, class Again, class Regrow>
int CallAtMostTwice(Call call, Again again, Regrow regrow) {
  int result = call();
  if (again(result)) {
    regrow();
    result = call();
  }
  return result;
}

}  // namespace ferrule::ctrl
