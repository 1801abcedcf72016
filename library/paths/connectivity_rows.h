// The rows of a loaded connectivity: one direction of one used link per
// row, as parallel arrays. A row walks its link from node_from to node_to;
// a negative linkid marks the reversed direction of a stored link (its
// ends, port texts and device names exchanged, link_weight 1 and 2
// exchanged, any other weight 0).
//
// Rows are in cache order: ascending cache linkid, so that the same
// database always gives the same rows in the same order, and with them the
// same path ids.
//
// The port texts and link_info of a link are kept per stored link, apart
// from the rows (link_texts.h).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "paths/int_index.h"
#include "paths/link_texts.h"
#include "paths/text_column.h"

namespace ferrule {

// One stored link as loaded: its ends are ports, whose devices the builder
// learns from the ports.
struct StoredLink {
  int linkid, port_from, port_to, link_type, bidirectional_link_used, link_weight, system_name;
};

// The device names at one end of every row, each name kept once for all
// rows.
class NameColumn {
 public:
  NameColumn() = default;
  explicit NameColumn(std::shared_ptr<const TextColumn> names) : names_(std::move(names)) {}
  // name: an entry of the names, or -1 for none.
  void push(int name) { name_.push_back(name); }
  const char* at(std::size_t row) const { return name_[row] < 0 ? "" : names_->at(name_[row]); }
  std::string_view view(std::size_t row) const {
    return name_[row] < 0 ? std::string_view() : names_->view(name_[row]);
  }
  std::size_t size() const { return name_.size(); }
  void reserve(std::size_t rows) { name_.reserve(rows); }

 private:
  std::shared_ptr<const TextColumn> names_;
  std::vector<int> name_;
};

// Every device of a load, those without a row included: the id of each
// device beside the entry of its name in the rows' name columns.
struct LoadedDevices {
  std::shared_ptr<const TextColumn> names;
  std::vector<int> ids;

  // The device named exactly name; false when no device has that name.
  bool find(std::string_view name, int& deviceid) const;
};

struct ConnectivityRows {
  std::vector<int> linkid, node_from, node_to, link_type, bidirectional_link_used, lkused,
      link_weight;
  std::vector<int> stored;      // the row's stored link
  std::vector<char> reversed;   // 1 when the row walks it against its stored direction
  NameColumn name_from, name_to;
  LoadedDevices devices;

  int size() const { return static_cast<int>(linkid.size()); }
};

// Which stored links also get their reversed row.
enum class Reversal {
  Bidirectional,  // only links with bidirectional_link_used 1
  Every,          // every link
};

// Collects ports, device names and stored links, in any order, then lays
// the links out as rows in cache order. A load of 10,000 devices makes
// megabytes of rows, and memory the process has not used before costs a
// page fault per page (dear in a virtual machine): so the builder keeps
// one working copy of the links and writes the rows straight from it.
class ConnectivityBuilder {
 public:
  explicit ConnectivityBuilder(Reversal reversal) : reversal_(reversal) {}
  // Room for about as many ports and links.
  void reserve(std::size_t ports, std::size_t links) {
    device_of_port_.reserve(ports);
    links_.reserve(links);
  }
  void add_port(int portid, int deviceid) { device_of_port_.add(portid, deviceid); }
  void add_device(int deviceid, std::string_view name);
  void add_link(const StoredLink& link) { links_.push_back({link, 0, 0, -1, -1}); }
  // Keeps only the links whose subsystem set is related (SetsRelated) to
  // one of sets.
  void only_related_to(std::vector<int> sets) {
    related_to_ = std::move(sets);
    filtered_ = true;
  }
  // A link whose port is not among the ports has no row, as in a join of
  // the links with their ports. texts gets the ids of the stored links,
  // their texts unknown.
  void build(ConnectivityRows& rows, LinkTexts& texts);

 private:
  // A stored link with its devices and the entries of their names.
  struct Kept {
    StoredLink link;
    int from, to, from_name, to_name;
  };

  // The entry of the device's name, -1 for none.
  int name_of(int deviceid) const;
  // Keeps the links with both ends known (and related), in linkid order.
  void keep_known_links();
  bool reversed_too(const Kept& k) const {
    return reversal_ == Reversal::Every || k.link.bidirectional_link_used == 1;
  }
  void add_row(ConnectivityRows& rows, std::size_t link, bool reversed) const;

  Reversal reversal_;
  IntIndex device_of_port_;
  std::vector<Kept> links_;
  bool filtered_ = false;
  std::vector<int> related_to_;
  IntIndex name_of_device_;  // deviceid -> its entry in names_
  std::shared_ptr<TextColumn> names_ = std::make_shared<TextColumn>();
  std::vector<int> device_ids_;  // the deviceid of each entry of names_
};

// link_weight of the reversed row.
int ReversedWeight(int link_weight);

}  // namespace ferrule
