#include "paths/connectivity_rows.h"

#include <algorithm>
#include <climits>

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

bool LoadedDevices::find(std::string_view name, int& deviceid) const {
  if (!names) return false;
  for (std::size_t entry = 0; entry < ids.size(); ++entry) {
    if (names->view(entry) != name) continue;
    deviceid = ids[entry];
    return true;
  }
  return false;
}

void ConnectivityBuilder::add_device(int deviceid, std::string_view name) {
  name_of_device_.add(deviceid, static_cast<int>(names_->size()));
  names_->push(name);
  device_ids_.push_back(deviceid);
}

int ConnectivityBuilder::name_of(int deviceid) const {
  int name = -1;
  return name_of_device_.find(deviceid, name) ? name : -1;
}

void ConnectivityBuilder::keep_known_links() {
  auto related = [&](int set) {
    return std::any_of(related_to_.begin(), related_to_.end(),
                       [&](int to) { return SetsRelated(set, to); });
  };
  std::size_t kept = 0;
  for (Kept& k : links_) {
    if (filtered_ && !related(k.link.system_name)) continue;
    if (!device_of_port_.find(k.link.port_from, k.from) ||
        !device_of_port_.find(k.link.port_to, k.to))
      continue;
    k.from_name = name_of(k.from);
    k.to_name = name_of(k.to);
    links_[kept++] = k;
  }
  links_.resize(kept);
  // Usually the order they came in.
  auto by_linkid = [](const Kept& a, const Kept& b) { return a.link.linkid < b.link.linkid; };
  if (!std::is_sorted(links_.begin(), links_.end(), by_linkid))
    std::sort(links_.begin(), links_.end(), by_linkid);
}

void ConnectivityBuilder::add_row(ConnectivityRows& rows, std::size_t link, bool reversed) const {
  const Kept& k = links_[link];
  // The cache linkid of a reversed row is -linkid, which for INT_MIN does
  // not fit an int.
  rows.linkid.push_back(!reversed ? k.link.linkid
                        : k.link.linkid == INT_MIN ? INT_MAX
                                                   : -k.link.linkid);
  rows.node_from.push_back(reversed ? k.to : k.from);
  rows.node_to.push_back(reversed ? k.from : k.to);
  rows.link_type.push_back(k.link.link_type);
  rows.bidirectional_link_used.push_back(k.link.bidirectional_link_used);
  rows.lkused.push_back(1);  // only used links are loaded
  rows.link_weight.push_back(reversed ? ReversedWeight(k.link.link_weight) : k.link.link_weight);
  rows.stored.push_back(static_cast<int>(link));
  rows.reversed.push_back(reversed ? 1 : 0);
  rows.name_from.push(reversed ? k.to_name : k.from_name);
  rows.name_to.push(reversed ? k.from_name : k.to_name);
}

void ConnectivityBuilder::build(ConnectivityRows& rows, LinkTexts& texts) {
  keep_known_links();
  const std::size_t links = links_.size();
  std::size_t n = links;
  for (const Kept& k : links_) n += reversed_too(k) ? 1 : 0;

  rows = ConnectivityRows{};
  rows.name_from = NameColumn(names_);
  rows.name_to = NameColumn(names_);
  rows.devices = LoadedDevices{names_, std::move(device_ids_)};
  for (auto* column : {&rows.linkid, &rows.node_from, &rows.node_to, &rows.link_type,
                       &rows.bidirectional_link_used, &rows.lkused, &rows.link_weight,
                       &rows.stored})
    column->reserve(n);
  rows.reversed.reserve(n);
  rows.name_from.reserve(n);
  rows.name_to.reserve(n);

  // Cache order is ascending cache linkid: the forward rows by ascending
  // linkid merged with the reversed rows (cache linkid -linkid, compared
  // in 64 bits) by descending linkid; on a tie the forward row first.
  auto previous_reversed = [&](std::size_t from) {
    while (from > 0 && !reversed_too(links_[from - 1])) --from;
    return from;  // one past the link, 0 for none
  };
  std::size_t forward = 0, backward = previous_reversed(links);
  while (forward < links || backward > 0) {
    const bool reversed =
        backward > 0 &&
        (forward == links || -static_cast<long long>(links_[backward - 1].link.linkid) <
                                 static_cast<long long>(links_[forward].link.linkid));
    if (reversed) {
      add_row(rows, backward - 1, true);
      backward = previous_reversed(backward - 1);
    } else {
      add_row(rows, forward++, false);
    }
  }

  texts = LinkTexts{};
  texts.linkid.reserve(links);
  texts.port_from.reserve(links);
  texts.port_to.reserve(links);
  for (const Kept& k : links_) {
    texts.linkid.push_back(k.link.linkid);
    texts.port_from.push_back(k.link.port_from);
    texts.port_to.push_back(k.link.port_to);
  }
  links_.clear();
  links_.shrink_to_fit();
}

}  // namespace ferrule
