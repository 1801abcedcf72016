#include "paths/path_search.h"

#include <algorithm>

namespace ferrule {

namespace {

enum class Status { Dead, Open, Complete };

// More links than any path may have: the slot cannot complete a path.
constexpr int kNever = kMaxPathLinks + 1;

// A partial path: its last row, and its parent in the previous level (-1 for
// a one-link path).
struct Step {
  int parent;
  int row;
};

class Search {
 public:
  Search(const Adjacency& index, const int* link_weight, int source, PathRules rules,
         const std::vector<char>& target)
      : index_(index), weight_(link_weight), source_(source), rules_(rules), target_(target) {}

  FoundPaths run() {
    links_still_needed();
    std::vector<std::vector<Step>> open(kMaxPathLinks);
    for (const int* r = index_.leaving_begin(source_); r != index_.leaving_end(source_); ++r) {
      // A link from one port of the source to another of its own would
      // visit the source twice: the first link gets the loop test too.
      if (index_.to_slot(*r) == source_) continue;
      const Status status = first_status(*r);
      if (may_complete(status, *r, 1)) take({-1, *r}, status, open, 0);
    }
    for (int level = 1; level < kMaxPathLinks && !open[level - 1].empty(); ++level) {
      const std::vector<Step>& parents = open[level - 1];
      for (int p = 0; p < static_cast<int>(parents.size()); ++p) {
        const int last = index_.to_slot(parents[p].row);
        for (const int* r = index_.leaving_begin(last); r != index_.leaving_end(last); ++r) {
          const Status status = next_status(*r);
          if (!may_complete(status, *r, level + 1)) continue;
          if (on_path(open, level - 1, p, index_.to_slot(*r))) continue;
          take({p, *r}, status, open, level);
        }
      }
    }
    return std::move(found_);
  }

 private:
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

  // Whether a partial path of links links that ends with row, of status
  // status, can still be (or is) a path of at most kMaxPathLinks links.
  bool may_complete(Status status, int row, int links) const {
    if (status == Status::Complete) return true;
    return status == Status::Open && links + need_[index_.to_slot(row)] <= kMaxPathLinks;
  }

  // need_[slot]: the fewest links that complete a path from an open partial
  // path ending at slot, counted backwards from the rows that complete a
  // path, breadth first, over the rows that leave a path open. Every link
  // after the first is ruled by next_status, and the bound ignores the loop
  // test, so no path that the search would find is longer than its bound.
  void links_still_needed() {
    const int slots = index_.slot_count();
    need_.assign(static_cast<std::size_t>(slots), kNever);
    std::vector<int> queue;
    queue.reserve(static_cast<std::size_t>(slots));
    for (int s = 0; s < slots; ++s) {
      for (const int* r = index_.leaving_begin(s); r != index_.leaving_end(s); ++r) {
        if (next_status(*r) != Status::Complete) continue;
        need_[s] = 1;
        queue.push_back(s);
        break;
      }
    }
    // A partial path has at least one link, so a bound above
    // kMaxPathLinks - 1 links is as good as none.
    for (std::size_t head = 0; head < queue.size(); ++head) {
      const int slot = queue[head];
      const int further = need_[slot] + 1;
      if (further > kMaxPathLinks - 1) continue;
      for (const int* r = index_.arriving_begin(slot); r != index_.arriving_end(slot); ++r) {
        const int from = index_.from_slot(*r);
        if (need_[from] != kNever || next_status(*r) != Status::Open) continue;
        need_[from] = further;
        queue.push_back(from);
      }
    }
  }

  // Whether the device of slot is the source or the end of a row of the
  // partial path open[level][index].
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

  // A complete path is returned at once, which keeps the order of the
  // passes: every path of one length is made before any longer one.
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
  std::vector<int> need_;
  FoundPaths found_;
};

}  // namespace

FoundPaths SearchPaths(const Adjacency& index, const int* link_weight, int source_slot,
                       PathRules rules, const std::vector<char>& target) {
  return Search(index, link_weight, source_slot, rules, target).run();
}

}  // namespace ferrule
