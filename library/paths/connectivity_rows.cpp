#include "paths/connectivity_rows.h"

#include <algorithm>
#include <climits>
#include <numeric>

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

void ConnectivityBuilder::add(const StoredLink& link) {
  ConnectivityRows& r = stored_;
  r.linkid.push_back(link.linkid);
  r.node_from.push_back(link.node_from);
  r.node_to.push_back(link.node_to);
  r.link_type.push_back(link.link_type);
  r.bidirectional_link_used.push_back(link.bidirectional_link_used);
  r.lkused.push_back(link.lkused);
  r.link_weight.push_back(link.link_weight);
  r.port_from.push(link.port_from);
  r.port_to.push(link.port_to);
  r.name_from.push(link.name_from);
  r.name_to.push(link.name_to);
  r.link_info.push(link.link_info);
}

ConnectivityRows ConnectivityBuilder::build() const {
  const ConnectivityRows& s = stored_;
  // Entry 2i is stored link i walked forward, 2i+1 the same link reversed.
  std::vector<std::size_t> entries;
  entries.reserve(2 * s.linkid.size());
  for (std::size_t i = 0; i < s.linkid.size(); ++i) {
    entries.push_back(2 * i);
    if (reversal_ == Reversal::Every || s.bidirectional_link_used[i] == 1)
      entries.push_back(2 * i + 1);
  }
  // The cache linkid in 64 bits: -INT_MIN does not fit an int.
  auto cache_id = [&](std::size_t entry) {
    const long long id = s.linkid[entry / 2];
    return entry % 2 ? -id : id;
  };
  std::sort(entries.begin(), entries.end(), [&](std::size_t a, std::size_t b) {
    const long long ia = cache_id(a), ib = cache_id(b);
    return ia != ib ? ia < ib : a < b;
  });

  ConnectivityRows rows;
  const std::size_t n = entries.size();
  for (auto* column : {&rows.linkid, &rows.node_from, &rows.node_to, &rows.link_type,
                       &rows.bidirectional_link_used, &rows.lkused, &rows.link_weight})
    column->reserve(n);
  for (const std::size_t entry : entries) {
    const std::size_t i = entry / 2;
    const bool reversed = entry % 2 == 1;
    const long long id = cache_id(entry);
    rows.linkid.push_back(id > INT_MAX ? INT_MAX : static_cast<int>(id));
    rows.node_from.push_back(reversed ? s.node_to[i] : s.node_from[i]);
    rows.node_to.push_back(reversed ? s.node_from[i] : s.node_to[i]);
    rows.link_type.push_back(s.link_type[i]);
    rows.bidirectional_link_used.push_back(s.bidirectional_link_used[i]);
    rows.lkused.push_back(s.lkused[i]);
    rows.link_weight.push_back(reversed ? ReversedWeight(s.link_weight[i]) : s.link_weight[i]);
    rows.port_from.push(reversed ? s.port_to.at(i) : s.port_from.at(i));
    rows.port_to.push(reversed ? s.port_from.at(i) : s.port_to.at(i));
    rows.name_from.push(reversed ? s.name_to.at(i) : s.name_from.at(i));
    rows.name_to.push(reversed ? s.name_from.at(i) : s.name_to.at(i));
    rows.link_info.push(s.link_info.at(i));
  }
  return rows;
}

}  // namespace ferrule
