// The statements behind the ConnectivityCache: the version read that
// decides whether a kept copy is still the network, the load of the used
// links with the version they were read at, and the read of the texts of
// the links that a search's outputs show.
#pragma once

#include <string>
#include <vector>

#include "paths/adjacency.h"
#include "paths/connectivity_filter.h"
#include "paths/connectivity_rows.h"

namespace ferrule {

// What one statement read: the database and version of the connectivity
// ("" when the database holds no version), whether this session holds
// writes it has not committed, and (mode 0) the subsystem sets of the
// devices named dfrom and dto.
struct VersionRead {
  std::string stamp;
  bool own_writes = true;
  std::string device_sets;
};

// Loaded rows with their index, and what they were loaded for and at.
struct Connectivity {
  ConnectivityRows rows;
  Adjacency index;
  // Filled as searches need them; the copy is otherwise never changed.
  mutable LinkTexts texts;
  std::string key;    // the filter they answer (FilterKey)
  std::string stamp;  // database and version of the load ("" when unknown)
  bool own_writes = true;  // loaded while this session held uncommitted writes
};

// Whether a load reads the texts of every link with the rows, or leaves
// them to ReadLinkTexts.
enum class TextLoad { Later, WithRows };

// The key of the rows a filter selects: by devices, their subsystem sets
// decide the rows, not their names.
std::string FilterKey(const ConnectivityFilter& filter, const std::string& device_sets);

int ReadConnectivityVersion(const ConnectivityFilter& filter, VersionRead& out, char* ErrMess);

// Loads the rows in cache order, with their index; out.stamp, out.key and
// out.own_writes come from the same statement as the rows.
int LoadConnectivity(const ConnectivityFilter& filter, TextLoad texts, Connectivity& out,
                     char* ErrMess);

// Reads the texts of the stored links (entries of connectivity.texts) in
// one statement with the version. When the version is no longer the one
// the rows were loaded at (or is unknown), the texts would not be those of
// the rows: stale is set and nothing is written.
int ReadLinkTexts(const Connectivity& connectivity, const std::vector<int>& stored, bool& stale,
                  char* ErrMess);

}  // namespace ferrule
