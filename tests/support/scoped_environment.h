// Environment variables set for one test and restored afterwards.
#pragma once

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace testdb {

class ScopedEnvironment {
 public:
  explicit ScopedEnvironment(const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [name, value] : values) {
      const char* old = std::getenv(name.c_str());
      saved_.push_back({name, old ? std::string(old) : std::string(), old != nullptr});
      setenv(name.c_str(), value.c_str(), 1);
    }
  }
  ~ScopedEnvironment() {
    for (const Saved& s : saved_) {
      if (s.was_set)
        setenv(s.name.c_str(), s.value.c_str(), 1);
      else
        unsetenv(s.name.c_str());
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  struct Saved {
    std::string name, value;
    bool was_set;
  };
  std::vector<Saved> saved_;
};

}  // namespace testdb
