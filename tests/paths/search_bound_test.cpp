// The path search, which makes no partial path that cannot be completed
// within 11 links, against the full search it replaced
// (reference_path_search.h): the same paths in the same order on random
// networks, paths of 11 links included, under both rules, and far fewer
// partial paths on a deep layered network.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "paths/adjacency.h"
#include "paths/connectivity_rows.h"
#include "paths/path_search.h"
#include "reference_path_search.h"

namespace {

using ferrule::Adjacency;
using ferrule::ConnectivityRows;
using ferrule::FoundPaths;
using ferrule::PathRules;

// The rows a load would make of some links: one per direction walked.
class NetworkRows {
 public:
  // A link from device from to device to; a bidirectional one also gets
  // its reversed row.
  void link(int from, int to, int weight, bool bidirectional) {
    const int id = static_cast<int>(++links_);
    add(id, from, to, weight);
    if (bidirectional) add(-id, to, from, ferrule::ReversedWeight(weight));
  }

  // Cache order is the load's business: any order must give the same
  // answer from both searches.
  void shuffle(std::mt19937& rng) {
    std::vector<std::size_t> order(rows_.linkid.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), rng);
    ConnectivityRows shuffled;
    for (const std::size_t i : order)
      add_to(shuffled, rows_.linkid[i], rows_.node_from[i], rows_.node_to[i],
             rows_.link_weight[i]);
    rows_ = std::move(shuffled);
  }

  Adjacency index() const { return Adjacency(rows_); }
  const int* weights() const { return rows_.link_weight.data(); }

 private:
  static void add_to(ConnectivityRows& rows, int linkid, int from, int to, int weight) {
    rows.linkid.push_back(linkid);
    rows.node_from.push_back(from);
    rows.node_to.push_back(to);
    rows.link_weight.push_back(weight);
  }
  void add(int linkid, int from, int to, int weight) { add_to(rows_, linkid, from, to, weight); }

  ConnectivityRows rows_;
  std::size_t links_ = 0;
};

struct Answers {
  FoundPaths searched, reference;
};

Answers BothSearches(const NetworkRows& net, int source_device, PathRules rules,
                     const std::vector<int>& target_devices) {
  const Adjacency index = net.index();
  std::vector<char> target(static_cast<std::size_t>(index.slot_count()), 0);
  for (const int device : target_devices)
    if (index.slot_of(device) >= 0) target[index.slot_of(device)] = 1;
  const int source = index.slot_of(source_device);
  return {ferrule::SearchPaths(index, net.weights(), source, rules, target),
          reference::SearchPaths(index, net.weights(), source, rules, target)};
}

int Longest(const FoundPaths& found) {
  std::size_t longest = 0;
  for (int p = 0; p < found.count(); ++p)
    longest = std::max(longest, found.starts[p + 1] - found.starts[p]);
  return static_cast<int>(longest);
}

// Devices 1..n on a chain (so that long paths exist) with random links
// across it: weights 0 to 3, some bidirectional.
NetworkRows RandomNetwork(std::mt19937& rng, int devices) {
  auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  NetworkRows net;
  const int chain_weights[] = {0, 0, 0, 1};
  for (int d = 1; d < devices; ++d) net.link(d, d + 1, chain_weights[below(4)], below(10) < 3);
  const int across_weights[] = {0, 0, 1, 2, 3};
  const int extra = devices / 2 + below(devices);
  for (int e = 0; e < extra; ++e) {
    const int from = 1 + below(devices);
    int to = 1 + below(devices - 1);
    if (to >= from) ++to;
    net.link(from, to, across_weights[below(5)], below(10) < 3);
  }
  net.shuffle(rng);
  return net;
}

TEST(SearchBound, FindsTheSamePathsInTheSameOrderAsTheFullSearchOnRandomNetworks) {
  std::mt19937 rng(20240617);
  auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  int longest = 0, with_paths = 0;
  for (int round = 0; round < 400; ++round) {
    const int devices = 6 + below(17);
    const NetworkRows net = RandomNetwork(rng, devices);
    const PathRules rules = round % 3 == 2 ? PathRules::ToWeightTwo : PathRules::ToTargets;
    int source = 1 + below(devices);
    std::vector<int> targets;
    if (round % 4 == 0 && devices >= 12) {
      source = 1;  // from the chain's start to 11 links along it
      targets = {12};
    } else {
      for (int t = 1 + below(3); t > 0; --t) targets.push_back(1 + below(devices));
    }

    const Answers a = BothSearches(net, source, rules, targets);
    SCOPED_TRACE("round " + std::to_string(round));
    ASSERT_EQ(a.searched.starts, a.reference.starts);
    ASSERT_EQ(a.searched.rows, a.reference.rows);
    EXPECT_LE(a.searched.made, a.reference.made);
    longest = std::max(longest, Longest(a.searched));
    with_paths += a.searched.count() > 0 ? 1 : 0;
  }
  EXPECT_EQ(longest, ferrule::kMaxPathLinks) << "paths of the longest length were compared";
  EXPECT_GT(with_paths, 200);
}

// A source feeding a mesh of switches, a ring of routers and racks of
// servers, each server reached from its rack switch on a link of weight 2:
// between the source and one server, almost every partial path runs into
// another rack.
TEST(SearchBound, MakesOnlyThePartialPathsThatCanLeadToATargetOnADeepNetwork) {
  NetworkRows net;
  const int source = 1, first_layer = 10, second_layer = 20, ring = 30, racks = 100,
            servers = 1000;
  for (int a = 0; a < 3; ++a) {
    net.link(source, first_layer + a, 1, false);
    for (int b = 0; b < 3; ++b) net.link(first_layer + a, second_layer + b, 0, false);
  }
  for (int b = 0; b < 3; ++b)
    for (int r = 0; r < 4; ++r) net.link(second_layer + b, ring + r, 1, false);
  for (int r = 0; r < 4; ++r) net.link(ring + r, ring + (r + 1) % 4, 0, true);
  for (int rack = 0; rack < 20; ++rack) {
    for (int r = 0; r < 4; ++r) net.link(ring + r, racks + rack, 0, false);
    for (int s = 0; s < 10; ++s) net.link(racks + rack, servers + 10 * rack + s, 2, true);
  }
  const int target = servers + 10 * 7 + 3;

  const Answers a = BothSearches(net, source, PathRules::ToTargets, {target});
  EXPECT_EQ(a.searched.starts, a.reference.starts);
  EXPECT_EQ(a.searched.rows, a.reference.rows);
  // Source to ring: 9 ways; round the ring: 7 ways to each router; each
  // router reaches the rack.
  EXPECT_EQ(a.searched.count(), 3 * 3 * 4 * 7);
  EXPECT_LT(a.searched.made * 10, a.reference.made)
      << a.searched.made << " partial paths against " << a.reference.made;
}

TEST(SearchBound, AllPathsFromADeviceEndOnWeightTwoWithinTheLimitAsBefore) {
  // A ring of weight-0 links, each device with a weight-2 link out: from
  // every device, a path ends on each of those links.
  NetworkRows net;
  for (int d = 1; d <= 14; ++d) {
    net.link(d, d % 14 + 1, 0, true);
    net.link(d, 100 + d, 2, false);
    net.link(d, 200 + d, 3, false);  // dead after the first link
  }
  const Answers a = BothSearches(net, 1, PathRules::ToWeightTwo, {});
  EXPECT_EQ(a.searched.starts, a.reference.starts);
  EXPECT_EQ(a.searched.rows, a.reference.rows);
  EXPECT_EQ(Longest(a.searched), ferrule::kMaxPathLinks);
  EXPECT_LT(a.searched.made, a.reference.made);
}

}  // namespace
