// The breadth-first search of the path queries: every loop-free path of
// cache rows from one device, grown one link per pass, at most 11 links. A
// path visits no device twice, the source included: no link of a path, its
// first one included, arrives at the source or at a device already on it.
// A partial path is open (it grows), complete (it is returned and grows no
// further) or dead (dropped); the rules of the two kinds of search decide
// which. Paths come out shortest first; paths of one length in the order
// their partial paths were made: parent order, then cache order of the
// rows leaving the parent's last device.
//
// A partial path is stored as its last row and its parent, so a pass costs
// the rows it walks, and memory grows by two ints per partial path. An open
// partial path that cannot be completed within the links it has left is
// not made at all (see path_search.cpp): on a deep network that is most of
// them, and dropping them changes neither the paths nor their order.
#pragma once

#include <cstddef>
#include <vector>

#include "paths/adjacency.h"

namespace ferrule {

constexpr int kMaxPathLinks = 11;

enum class PathRules {
  // Complete when the row arrives at a target. The first link is otherwise
  // open; a later one is dead when its link_weight is 2, else open.
  ToTargets,
  // Complete when the row's link_weight is 2. The first link is otherwise
  // open; a later one is open when its link_weight is 0, else dead.
  ToWeightTwo,
};

struct FoundPaths {
  std::vector<int> rows;            // the cache rows of every path, one path after another
  std::vector<std::size_t> starts;  // path i is rows[starts[i], starts[i+1])
  long long made = 0;               // partial paths made, complete ones included

  FoundPaths() : starts{0} {}
  int count() const { return static_cast<int>(starts.size()) - 1; }
  std::size_t entries() const { return rows.size(); }
};

// target: one flag per slot of the index (ToTargets only). link_weight: per
// cache row. Throws std::bad_alloc when memory runs out.
FoundPaths SearchPaths(const Adjacency& index, const int* link_weight, int source_slot,
                       PathRules rules, const std::vector<char>& target);

}  // namespace ferrule
