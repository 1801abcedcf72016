#include "call_buffers.h"

#include <algorithm>
#include <cstring>

#include "ctrl_reasons.h"

namespace ferrule::ctrl {
namespace {

// Buffers are never smaller than this, so that a marker of the library
// ("NO_ROWS_SELECTED" and its NUL) or the -1, -1 pair can always be read.
constexpr int kSmallestText = 17;
constexpr int kSmallestInts = 2;

std::string TextIn(const std::vector<char>& bytes) {
  return std::string(bytes.data(), strnlen(bytes.data(), bytes.size()));
}

}  // namespace

ErrMessBuffer::ErrMessBuffer(int size) : bytes_(std::max(size, kSmallestText), '\0') {}

std::string ErrMessBuffer::Text() const { return TextIn(bytes_); }

bool ErrMessBuffer::ReportsShortfall() const {
  static const std::string kShortfall = std::string(" : ") + reason::kBufferTooSmall;
  const std::string text = Text();
  return text.size() >= kShortfall.size() &&
         text.compare(text.size() - kShortfall.size(), kShortfall.size(), kShortfall) == 0;
}

bool ErrMessBuffer::Mentions(const char* word) const {
  return Text().find(word) != std::string::npos;
}

std::string PackedReader::Next() {
  if (AtEnd()) return std::string();
  const char* start = bytes_ + offset_;
  const std::size_t size = strnlen(start, used_ - offset_);
  offset_ += size + 1;
  return std::string(start, size);
}

TextBuffer::TextBuffer(int capacity)
    : first_(capacity), length_(capacity), bytes_(std::max(capacity, kSmallestText), '\0') {}

void TextBuffer::Regrow() {
  const int size = std::max(first_, length_);
  bytes_.assign(std::max(size, kSmallestText), '\0');
  length_ = size;
}

std::string TextBuffer::Text() const { return TextIn(bytes_); }

bool TextBuffer::HoldsNoRows() const { return Text() == reason::kNoRowsSelected; }

PackedReader TextBuffer::Items() const {
  const std::size_t used = static_cast<std::size_t>(std::clamp(length_, 0, Capacity()));
  return PackedReader(bytes_.data(), used);
}

std::vector<std::string> TextBuffer::AllItems() const {
  std::vector<std::string> items;
  for (PackedReader reader = Items(); !reader.AtEnd();) items.push_back(reader.Next());
  return items;
}

IntBuffer::IntBuffer(int capacity, int arrays)
    : first_(capacity),
      length_(capacity),
      capacity_(std::max(capacity, kSmallestInts)),
      arrays_(std::max(arrays, 1), std::vector<int>(capacity_, 0)) {}

void IntBuffer::Regrow() {
  const int size = std::max(first_, length_);
  capacity_ = std::max(size, kSmallestInts);
  for (std::vector<int>& array : arrays_) array.assign(capacity_, 0);
  length_ = size;
}

int IntBuffer::Count() const { return std::clamp(length_, 0, capacity_); }

std::vector<int> IntBuffer::Values(int array) const {
  return std::vector<int>(arrays_[array].begin(), arrays_[array].begin() + Count());
}

int IntBuffer::At(int array, int i) const {
  return i >= 0 && i < Count() ? arrays_[array][i] : -1;
}

bool IntBuffer::HoldsNoRowsPair() const { return arrays_[0][0] == -1 && arrays_[0][1] == -1; }

}  // namespace ferrule::ctrl
