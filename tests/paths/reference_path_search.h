// The reference for the path search: the search as it was before it
// dropped the partial paths that cannot be completed, kept unchanged so
// that tests can compare the library's search with it. It makes every
// partial path the level-by-level passes make; FoundPaths::made counts
// every one (complete, open and dead).
#pragma once

#include <algorithm>
#include <vector>

#include "paths/path_search.h"

namespace reference {

using ferrule::Adjacency;
using ferrule::FoundPaths;
using ferrule::kMaxPathLinks;
using ferrule::PathRules;

class FullSearch {
 public:
  FullSearch(const Adjacency& index, const int* link_weight, int source, PathRules rules,
             const std::vector<char>& target)
      : index_(index), weight_(link_weight), source_(source), rules_(rules), target_(target) {}

  FoundPaths run() {
    std::vector<std::vector<Step>> open(kMaxPathLinks);
    for (const int* r = index_.leaving_begin(source_); r != index_.leaving_end(source_); ++r)
      take({-1, *r}, first_status(*r), open, 0);
    for (int level = 1; level < kMaxPathLinks && !open[level - 1].empty(); ++level) {
      const std::vector<Step>& parents = open[level - 1];
      for (int p = 0; p < static_cast<int>(parents.size()); ++p) {
        const int last = index_.to_slot(parents[p].row);
        for (const int* r = index_.leaving_begin(last); r != index_.leaving_end(last); ++r) {
          if (on_path(open, level - 1, p, index_.to_slot(*r))) continue;
          take({p, *r}, next_status(*r), open, level);
        }
      }
    }
    return std::move(found_);
  }

 private:
  enum class Status { Dead, Open, Complete };
  struct Step {
    int parent;
    int row;
  };

  bool is_target(int row) const { return target_[index_.to_slot(row)] != 0; }

  Status first_status(int row) const {
    if (rules_ == PathRules::ToTargets) return is_target(row) ? Status::Complete : Status::Open;
    return weight_[row] == 2 ? Status::Complete : Status::Open;
  }

  Status next_status(int row) const {
    const int weight = weight_[row];
    if (rules_ == PathRules::ToTargets) {
      if (is_target(row)) return Status::Complete;
      return weight == 2 ? Status::Dead : Status::Open;
    }
    if (weight == 2) return Status::Complete;
    return weight == 0 ? Status::Open : Status::Dead;
  }

  bool on_path(const std::vector<std::vector<Step>>& open, int level, int index,
               int slot) const {
    if (slot == source_) return true;
    for (; level >= 0; --level) {
      const Step& step = open[level][index];
      if (index_.to_slot(step.row) == slot) return true;
      index = step.parent;
    }
    return false;
  }

  void take(Step step, Status status, std::vector<std::vector<Step>>& open, int level) {
    ++found_.made;
    if (status == Status::Complete) {
      const std::size_t first = found_.rows.size();
      found_.rows.push_back(step.row);
      for (int l = level - 1, i = step.parent; l >= 0; --l) {
        found_.rows.push_back(open[l][i].row);
        i = open[l][i].parent;
      }
      std::reverse(found_.rows.begin() + static_cast<std::ptrdiff_t>(first), found_.rows.end());
      found_.starts.push_back(found_.rows.size());
    } else if (status == Status::Open && level + 1 < kMaxPathLinks) {
      open[level].push_back(step);
    }
  }

  const Adjacency& index_;
  const int* weight_;
  int source_;
  PathRules rules_;
  const std::vector<char>& target_;
  FoundPaths found_;
};

inline FoundPaths SearchPaths(const Adjacency& index, const int* link_weight, int source_slot,
                              PathRules rules, const std::vector<char>& target) {
  return FullSearch(index, link_weight, source_slot, rules, target).run();
}

}  // namespace reference
