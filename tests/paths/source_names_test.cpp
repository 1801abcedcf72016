// The path searches on random networks whose device names begin with one
// another ("sw1", "sw10", "sw100"), against an answer found by brute force:
// every loop-free path walked from the source, depth first.
#include <algorithm>
#include <cstring>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "path_fixture.h"

namespace {

// A path as the cache linkids of its links: negative for a link walked
// against its stored direction.
using LinkPath = std::vector<int>;

struct NetDevice {
  std::string name;
  int set;
};

struct NetLink {
  int id;
  std::string from, to;
  int weight, set;
  bool bidirectional;
};

// The ErrMess text of a failure, else the paths in any order.
struct Answer {
  std::string failure;
  std::vector<LinkPath> paths;

  void sort() { std::sort(paths.begin(), paths.end()); }
  bool operator==(const Answer& o) const { return failure == o.failure && paths == o.paths; }
};

std::ostream& operator<<(std::ostream& os, const Answer& a) {
  if (!a.failure.empty()) return os << a.failure;
  for (const LinkPath& p : a.paths) {
    os << '[';
    for (const int id : p) os << ' ' << id;
    os << " ]";
  }
  return os;
}

bool Begins(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// One direction of one link.
struct Walk {
  int id;
  std::string from, to;
  int weight;
};

enum class Step { Dead, Open, Complete };
using Rule = std::function<Step(const Walk&, bool first)>;

class BruteForce {
 public:
  BruteForce(const std::vector<NetDevice>& devices, const std::vector<NetLink>& links,
             const std::function<bool(const NetLink&)>& loaded, bool every_reversed)
      : devices_(devices) {
    for (const NetLink& l : links) {
      if (!loaded(l)) continue;
      walks_.push_back({l.id, l.from, l.to, l.weight});
      if (every_reversed || l.bidirectional)
        walks_.push_back({-l.id, l.to, l.from, l.weight == 1 ? 2 : l.weight == 2 ? 1 : 0});
    }
    std::sort(walks_.begin(), walks_.end(),
              [](const Walk& a, const Walk& b) { return a.id < b.id; });
  }

  // The answer of the search from the device named name; failures give
  // the reasons as the search names them.
  Answer from(const std::string& name, const Rule& rule, const std::string& no_source) const {
    if (walks_.empty()) return {"ERROR in LoadConnectivityTable_InCache : NO_ROWS_SELECTED", {}};
    std::string source;
    const bool exact = std::any_of(devices_.begin(), devices_.end(),
                                   [&](const NetDevice& d) { return d.name == name; });
    for (const Walk& w : walks_) {
      if (exact ? w.from == name : Begins(w.from, name)) {
        source = w.from;
        break;
      }
    }
    if (source.empty()) return {no_source, {}};
    Answer answer;
    std::vector<std::string> on_path{source};
    LinkPath links;
    walk(rule, on_path, links, answer.paths);
    if (answer.paths.empty()) answer.failure = "NO_ROWS_SELECTED";
    answer.sort();
    return answer;
  }

 private:
  void walk(const Rule& rule, std::vector<std::string>& on_path, LinkPath& links,
            std::vector<LinkPath>& found) const {
    for (const Walk& w : walks_) {
      if (w.from != on_path.back()) continue;
      if (std::find(on_path.begin(), on_path.end(), w.to) != on_path.end()) continue;
      const Step step = rule(w, links.empty());
      if (step == Step::Dead) continue;
      links.push_back(w.id);
      if (step == Step::Complete) {
        found.push_back(links);
      } else if (links.size() < kMaxLinks) {
        on_path.push_back(w.to);
        walk(rule, on_path, links, found);
        on_path.pop_back();
      }
      links.pop_back();
    }
  }

  static constexpr std::size_t kMaxLinks = 11;
  const std::vector<NetDevice>& devices_;
  std::vector<Walk> walks_;
};

bool Related(int a, int b) { return a % b == 0 || b % a == 0; }

class SourceNames : public PathTest {
 protected:
  void Write(const std::vector<NetDevice>& devices, const std::vector<NetLink>& links) {
    testdb::exec(
        "delete from vexa_macroscopic_connectivity; delete from vexa_port_properties; "
        "delete from vexa_lg_devices where deviceid <> -1");
    int id = 0;
    for (const NetDevice& d : devices) Device(d.name, ++id, d.set, d.name[0] == 'h');
    for (const NetLink& l : links) {
      LinkOptions options = LinkOptions().weight(l.weight).subsystems(l.set);
      if (l.bidirectional) options.bidirectional();
      Link(l.id, l.from, l.to, options);
    }
  }

  // The search between devices; the port texts tell the link and the way
  // it was walked ("o<id>" its from port, "i<id>" its to port).
  Answer Between(const std::string& dfrom, const std::string& dto) {
    std::vector<PathEntry> entries;
    if (Paths(dfrom.c_str(), dto.c_str(), 0, &entries) != 0)
      return {std::string(err_).substr(std::strlen(kBetween)), {}};
    Answer answer;
    for (const PathEntry& e : entries) {
      if (e.link_pos == 1) answer.paths.emplace_back();
      const int id = std::stoi(e.pfrom.substr(1));
      answer.paths.back().push_back(e.pfrom[0] == 'o' ? id : -id);
    }
    EXPECT_TRUE(ShortestFirst(answer.paths));
    answer.sort();
    return answer;
  }

  Answer AllFrom(const std::string& device) {
    std::vector<int> linkid(100000), pathid(100000), link_pos(100000);
    int n = 100000;
    const int rc = Quietly([&] {
      return GetAllPathsPerDevice("ALL", device.c_str(), &n, linkid.data(), pathid.data(),
                                  link_pos.data(), err_);
    });
    if (rc != 0) return {std::string(err_).substr(std::strlen(kAll)), {}};
    Answer answer;
    for (int i = 0; i < n; ++i) {
      if (link_pos[i] == 1) answer.paths.emplace_back();
      answer.paths.back().push_back(linkid[i]);
    }
    EXPECT_TRUE(ShortestFirst(answer.paths));
    answer.sort();
    return answer;
  }

  static bool ShortestFirst(const std::vector<LinkPath>& paths) {
    return std::is_sorted(paths.begin(), paths.end(), [](const LinkPath& a, const LinkPath& b) {
      return a.size() < b.size();
    });
  }

  static constexpr const char* kBetween = "ERROR in GetDetailedConnBetweenDeviceDevType : ";
  static constexpr const char* kAll = "ERROR in GetAllPathsPerDevice : ";
};

TEST_F(SourceNames, SearchesStartAtTheDeviceOfExactlyThatNameOnRandomNetworks) {
  const std::vector<std::string> pool = {"sw",  "sw1", "sw10", "sw100", "sw2",
                                         "sw20", "h",   "h1",   "h10",   "x"};
  const int sets[] = {2, 3, 5, 6, 10, 15, 30};
  const int weights[] = {0, 0, 0, 1, 2, 2, 3};
  std::mt19937 rng(20250301);
  auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };

  int answered = 0, compared = 0;
  for (int round = 0; round < 30; ++round) {
    std::vector<std::string> names = pool;
    std::shuffle(names.begin(), names.end(), rng);
    names.resize(static_cast<std::size_t>(5 + below(4)));
    std::vector<NetDevice> devices;
    for (const std::string& name : names) devices.push_back({name, sets[below(7)]});
    // Link ids in random order, so that cache order is not the order of
    // writing.
    std::vector<int> ids(40);
    for (int i = 0; i < 40; ++i) ids[i] = i + 1;
    std::shuffle(ids.begin(), ids.end(), rng);
    std::vector<NetLink> links;
    const int count = 6 + below(9);
    for (int l = 0; l < count; ++l) {
      const int from = below(static_cast<int>(names.size()));
      int to = below(static_cast<int>(names.size()) - 1);
      if (to >= from) ++to;
      links.push_back({ids[l], names[from], names[to], weights[below(7)], sets[below(7)],
                       below(10) < 3});
    }
    Write(devices, links);
    SCOPED_TRACE("round " + std::to_string(round));

    for (int q = 0; q < 4; ++q) {
      const std::string dfrom = pool[below(static_cast<int>(pool.size()))];
      const std::string dto = pool[below(static_cast<int>(pool.size()))];
      const auto set = std::find_if(devices.begin(), devices.end(),
                                    [&](const NetDevice& d) { return d.name == dfrom; });
      const BruteForce by_device(
          devices, links,
          [&](const NetLink& l) { return set != devices.end() && Related(l.set, set->set); },
          false);
      const Answer expected = by_device.from(
          dfrom,
          [&](const Walk& w, bool first) {
            if (Begins(w.to, dto)) return Step::Complete;
            return !first && w.weight == 2 ? Step::Dead : Step::Open;
          },
          "Not existent device");
      EXPECT_EQ(Between(dfrom, dto), expected) << dfrom << " to " << dto;
      ++compared;
      answered += expected.paths.empty() ? 0 : 1;
    }
    const BruteForce every(devices, links, [](const NetLink&) { return true; }, true);
    for (int q = 0; q < 3; ++q) {
      const std::string device = pool[below(static_cast<int>(pool.size()))];
      const Answer expected = every.from(
          device,
          [](const Walk& w, bool first) {
            if (w.weight == 2) return Step::Complete;
            return first || w.weight == 0 ? Step::Open : Step::Dead;
          },
          "GetIndexForTabCHAR_second pb");
      EXPECT_EQ(AllFrom(device), expected) << "all paths from " << device;
      ++compared;
      answered += expected.paths.empty() ? 0 : 1;
    }
  }
  EXPECT_GT(answered, compared / 4) << "enough of the searches found paths";
}

}  // namespace
