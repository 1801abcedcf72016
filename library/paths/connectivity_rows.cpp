#include "paths/connectivity_rows.h"

#include <algorithm>
#include <climits>
#include <iterator>

#include "paths/subsystem_filter.h"

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

void ConnectivityBuilder::add_device(int deviceid, std::string_view name) {
  name_of_device_.add(deviceid, static_cast<int>(names_->size()));
  names_->push(name);
}

int ConnectivityBuilder::name_of(int deviceid) const {
  int name = -1;
  return name_of_device_.find(deviceid, name) ? name : -1;
}

void ConnectivityBuilder::build(ConnectivityRows& rows, LinkTexts& texts) {
  // The stored links with both ends known, in linkid order (usually the
  // order they came in), with their devices.
  struct Kept {
    StoredLink link;
    int from, to;
  };
  std::vector<Kept> kept;
  kept.reserve(links_.size());
  auto related = [&](int set) {
    return std::any_of(related_to_.begin(), related_to_.end(),
                       [&](int to) { return SetsRelated(set, to); });
  };
  for (const StoredLink& link : links_) {
    if (filtered_ && !related(link.system_name)) continue;
    int from = 0, to = 0;
    if (device_of_port_.find(link.port_from, from) && device_of_port_.find(link.port_to, to))
      kept.push_back({link, from, to});
  }
  auto by_linkid = [](const Kept& a, const Kept& b) { return a.link.linkid < b.link.linkid; };
  if (!std::is_sorted(kept.begin(), kept.end(), by_linkid))
    std::sort(kept.begin(), kept.end(), by_linkid);

  // Cache order is ascending cache linkid: the reversed rows (cache linkid
  // -linkid, in 64 bits since -INT_MIN does not fit an int) by descending
  // linkid, merged with the forward rows by ascending linkid.
  struct Entry {
    long long cache_id;
    std::size_t link;
    bool reversed;
  };
  std::vector<Entry> forward, backward, entries;
  forward.reserve(kept.size());
  for (std::size_t i = 0; i < kept.size(); ++i) forward.push_back({kept[i].link.linkid, i, false});
  for (std::size_t i = kept.size(); i-- > 0;) {
    if (reversal_ == Reversal::Every || kept[i].link.bidirectional_link_used == 1)
      backward.push_back({-static_cast<long long>(kept[i].link.linkid), i, true});
  }
  entries.reserve(forward.size() + backward.size());
  std::merge(forward.begin(), forward.end(), backward.begin(), backward.end(),
             std::back_inserter(entries),
             [](const Entry& a, const Entry& b) { return a.cache_id < b.cache_id; });

  rows = ConnectivityRows{};
  rows.name_from = NameColumn(names_);
  rows.name_to = NameColumn(names_);
  const std::size_t n = entries.size();
  for (auto* column : {&rows.linkid, &rows.node_from, &rows.node_to, &rows.link_type,
                       &rows.bidirectional_link_used, &rows.lkused, &rows.link_weight,
                       &rows.stored})
    column->reserve(n);
  rows.reversed.reserve(n);
  rows.name_from.reserve(n);
  rows.name_to.reserve(n);
  std::vector<int> from_name(kept.size()), to_name(kept.size());
  for (std::size_t i = 0; i < kept.size(); ++i) {
    from_name[i] = name_of(kept[i].from);
    to_name[i] = name_of(kept[i].to);
  }
  for (const Entry& e : entries) {
    const Kept& k = kept[e.link];
    rows.linkid.push_back(e.cache_id > INT_MAX ? INT_MAX : static_cast<int>(e.cache_id));
    rows.node_from.push_back(e.reversed ? k.to : k.from);
    rows.node_to.push_back(e.reversed ? k.from : k.to);
    rows.link_type.push_back(k.link.link_type);
    rows.bidirectional_link_used.push_back(k.link.bidirectional_link_used);
    rows.lkused.push_back(1);  // only used links are loaded
    rows.link_weight.push_back(e.reversed ? ReversedWeight(k.link.link_weight)
                                          : k.link.link_weight);
    rows.stored.push_back(static_cast<int>(e.link));
    rows.reversed.push_back(e.reversed ? 1 : 0);
    rows.name_from.push(e.reversed ? to_name[e.link] : from_name[e.link]);
    rows.name_to.push(e.reversed ? from_name[e.link] : to_name[e.link]);
  }

  texts = LinkTexts{};
  for (const Kept& k : kept) {
    texts.linkid.push_back(k.link.linkid);
    texts.port_from.push_back(k.link.port_from);
    texts.port_to.push_back(k.link.port_to);
  }
}

}  // namespace ferrule
