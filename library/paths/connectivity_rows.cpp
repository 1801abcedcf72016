#include "paths/connectivity_rows.h"

#include <algorithm>
#include <climits>

namespace ferrule {

int ReversedWeight(int link_weight) {
  switch (link_weight) {
    case 1:
      return 2;
    case 2:
      return 1;
    default:
      return 0;
  }
}

void ConnectivityBuilder::add_link(const StoredLink& link) {
  linkid_.push_back(link.linkid);
  node_from_.push_back(link.node_from);
  node_to_.push_back(link.node_to);
  link_type_.push_back(link.link_type);
  bidirectional_.push_back(link.bidirectional_link_used);
  lkused_.push_back(link.lkused);
  weight_.push_back(link.link_weight);
  port_from_.push(link.port_from);
  port_to_.push(link.port_to);
  link_info_.push(link.link_info);
}

void ConnectivityBuilder::add_device(int deviceid, std::string_view name) {
  device_.emplace(deviceid, names_.size());
  names_.push(name);
}

std::string_view ConnectivityBuilder::name_of(int deviceid) const {
  const auto found = device_.find(deviceid);
  if (found == device_.end()) return {};
  return names_.view(found->second);
}

ConnectivityRows ConnectivityBuilder::build() const {
  // Entry 2i is stored link i walked forward, 2i+1 the same link reversed,
  // each with its cache linkid (in 64 bits: -INT_MIN does not fit an int).
  struct Entry {
    long long cache_id;
    std::size_t entry;
    bool operator<(const Entry& o) const {
      return cache_id != o.cache_id ? cache_id < o.cache_id : entry < o.entry;
    }
  };
  std::vector<Entry> entries;
  entries.reserve(2 * linkid_.size());
  for (std::size_t i = 0; i < linkid_.size(); ++i) {
    entries.push_back({linkid_[i], 2 * i});
    if (reversal_ == Reversal::Every || bidirectional_[i] == 1)
      entries.push_back({-static_cast<long long>(linkid_[i]), 2 * i + 1});
  }
  std::sort(entries.begin(), entries.end());

  ConnectivityRows rows;
  const std::size_t n = entries.size();
  for (auto* column : {&rows.linkid, &rows.node_from, &rows.node_to, &rows.link_type,
                       &rows.bidirectional_link_used, &rows.lkused, &rows.link_weight})
    column->reserve(n);
  for (const Entry& e : entries) {
    const std::size_t i = e.entry / 2;
    const bool reversed = e.entry % 2 == 1;
    const int from = reversed ? node_to_[i] : node_from_[i];
    const int to = reversed ? node_from_[i] : node_to_[i];
    rows.linkid.push_back(e.cache_id > INT_MAX ? INT_MAX : static_cast<int>(e.cache_id));
    rows.node_from.push_back(from);
    rows.node_to.push_back(to);
    rows.link_type.push_back(link_type_[i]);
    rows.bidirectional_link_used.push_back(bidirectional_[i]);
    rows.lkused.push_back(lkused_[i]);
    rows.link_weight.push_back(reversed ? ReversedWeight(weight_[i]) : weight_[i]);
    rows.port_from.push(reversed ? port_to_.view(i) : port_from_.view(i));
    rows.port_to.push(reversed ? port_from_.view(i) : port_to_.view(i));
    rows.name_from.push(name_of(from));
    rows.name_to.push(name_of(to));
    rows.link_info.push(link_info_.view(i));
  }
  return rows;
}

}  // namespace ferrule
