// The routes of a network found the slow, literal way, as a reference for
// the server's routing and destination tables: every loop-free walk from
// the start, step by step, under the rules of database/README.md ("What a
// route is"), and of those the shortest to each device.
//
// A step is a used link (lkused 1) in its stored direction, or a used
// bidirectional link backwards, where weights 1 and 2 swap and any other
// weight reads 0. A route visits no device twice and passes through a
// device only when the step into it is its first step or does not read
// weight 2.
#pragma once

#include <map>
#include <set>
#include <tuple>
#include <vector>

namespace reference {

struct Link {
  int from_port, to_port, from_dev, to_dev;
  int bidirectional, weight, used;
};

struct Step {
  int from_dev, to_dev, near_port, far_port, weight;
};

struct Route {
  std::vector<int> devices;  // start first, destination last
  int first_near, first_far, last_far;
  int steps() const { return static_cast<int>(devices.size()) - 1; }
};

inline std::vector<Step> StepsOf(const std::vector<Link>& links) {
  std::vector<Step> steps;
  for (const Link& l : links) {
    if (l.used != 1) continue;
    steps.push_back({l.from_dev, l.to_dev, l.from_port, l.to_port, l.weight});
    if (l.bidirectional == 1) {
      const int backwards = l.weight == 1 ? 2 : l.weight == 2 ? 1 : 0;
      steps.push_back({l.to_dev, l.from_dev, l.to_port, l.from_port, backwards});
    }
  }
  return steps;
}

// The shortest routes from start of at most bound steps, by destination.
class ShortestRoutes {
 public:
  ShortestRoutes(const std::vector<Step>& steps, int start, int bound) : steps_(steps) {
    Route route{{start}, 0, 0, 0};
    walk(route, bound);
  }

  const std::map<int, std::vector<Route>>& by_destination() const { return best_; }

  // The pairs of first-step ports (output port, port across) of the
  // shortest routes to dest.
  std::set<std::pair<int, int>> first_ports(int dest) const {
    std::set<std::pair<int, int>> ports;
    for (const Route& r : best_.at(dest)) ports.insert({r.first_near, r.first_far});
    return ports;
  }

  // Whether a shortest route to dest begins with the ports (near, far) and
  // arrives at dest's port last_far.
  bool has(int dest, int near, int far, int last_far) const {
    for (const Route& r : best_.at(dest))
      if (std::tie(r.first_near, r.first_far, r.last_far) == std::tie(near, far, last_far))
        return true;
    return false;
  }

  // Whether a shortest route to dest passes exactly these devices.
  bool has_devices(int dest, const std::vector<int>& devices) const {
    for (const Route& r : best_.at(dest))
      if (r.devices == devices) return true;
    return false;
  }

 private:
  void walk(Route& route, int bound) {
    const int at = route.devices.back();
    for (const Step& s : steps_) {
      if (s.from_dev != at) continue;
      bool visited = false;
      for (int d : route.devices) visited = visited || d == s.to_dev;
      if (visited) continue;
      const bool first = route.steps() == 0;
      Route next = route;
      next.devices.push_back(s.to_dev);
      if (first) {
        next.first_near = s.near_port;
        next.first_far = s.far_port;
      }
      next.last_far = s.far_port;
      keep(next);
      const bool goes_on = first || s.weight != 2;
      if (goes_on && next.steps() < bound) walk(next, bound);
    }
  }

  void keep(const Route& r) {
    std::vector<Route>& best = best_[r.devices.back()];
    if (!best.empty() && best.front().steps() < r.steps()) return;
    if (!best.empty() && best.front().steps() > r.steps()) best.clear();
    best.push_back(r);
  }

  const std::vector<Step>& steps_;
  std::map<int, std::vector<Route>> best_;
};

}  // namespace reference
