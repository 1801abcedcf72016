// Texts as the connectivity keeps them: many short values of one kind in
// one block. The loads read them as stored (aggregated, with no mark to
// take off), so every value is kept whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ferrule {

// Texts of one column, each kept with its NUL in one block.
class TextColumn {
 public:
  void push(std::string_view value) {
    starts_.push_back(bytes_.size());
    bytes_.append(value);
    bytes_.push_back('\0');
  }
  const char* at(std::size_t row) const { return bytes_.data() + starts_[row]; }
  // Length without the NUL.
  std::size_t length(std::size_t row) const {
    const std::size_t end = row + 1 < starts_.size() ? starts_[row + 1] : bytes_.size();
    return end - starts_[row] - 1;
  }
  std::string_view view(std::size_t row) const { return {at(row), length(row)}; }
  std::size_t size() const { return starts_.size(); }
  void reserve(std::size_t rows, std::size_t bytes) {
    starts_.reserve(rows);
    bytes_.reserve(bytes);
  }

 private:
  std::string bytes_;
  std::vector<std::size_t> starts_;
};

}  // namespace ferrule
