// The rows of a loaded connectivity: one direction of one used link per
// row, twelve columns as parallel arrays. A row walks its link from
// node_from to node_to; a negative linkid marks the reversed direction of a
// stored link (its ends, port texts and device names exchanged, link_weight
// 1 and 2 exchanged, any other weight 0).
//
// Rows are in cache order: ascending cache linkid, so that the same
// database always gives the same rows in the same order, and with them the
// same path ids.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
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

// One stored link as loaded: its ends are deviceids, whose names the
// builder learns from the devices.
struct StoredLink {
  int linkid, node_from, node_to, link_type, bidirectional_link_used, lkused, link_weight;
  std::string_view port_from, port_to, link_info;
};

struct ConnectivityRows {
  std::vector<int> linkid, node_from, node_to, link_type, bidirectional_link_used, lkused,
      link_weight;
  TextColumn port_from, port_to, name_from, name_to, link_info;

  int size() const { return static_cast<int>(linkid.size()); }
};

// Which stored links also get their reversed row.
enum class Reversal {
  Bidirectional,  // only links with bidirectional_link_used 1
  Every,          // every link
};

// Collects stored links and device names, then lays the links out as rows
// in cache order.
class ConnectivityBuilder {
 public:
  explicit ConnectivityBuilder(Reversal reversal) : reversal_(reversal) {}
  void add_link(const StoredLink& link);
  void add_device(int deviceid, std::string_view name);
  std::size_t link_count() const { return linkid_.size(); }
  ConnectivityRows build() const;

 private:
  std::string_view name_of(int deviceid) const;

  Reversal reversal_;
  // The stored links, in the order added.
  std::vector<int> linkid_, node_from_, node_to_, link_type_, bidirectional_, lkused_, weight_;
  TextColumn port_from_, port_to_, link_info_;
  std::unordered_map<int, std::size_t> device_;  // deviceid -> its entry in names_
  TextColumn names_;
};

// link_weight of the reversed row.
int ReversedWeight(int link_weight);

}  // namespace ferrule
