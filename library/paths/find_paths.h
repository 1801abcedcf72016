// The search between devices behind the four path query exports: every
// loop-free path of used links from the device dfrom to the device dto, or
// to any device of the type dto, as one entry per link of every path.
#pragma once

#include <string>
#include <vector>

namespace ferrule {

// The entries of every path found, unbounded: each text holds one item per
// entry, each item with its NUL.
struct PathEntries {
  std::string nfrom, nto, pfrom, pto, lkinfo;
  std::vector<int> way_a, way_b, pathid, link_pos;
  int paths = 0;

  int count() const { return static_cast<int>(pathid.size()); }
};

// Runs the search. 0 when it ran to its end, whether or not it found a
// path; otherwise -1 with "ERROR in <appliName> : <reason>" in ErrMess.
// dto_typegiven 1: dto names a device type; any other value: a device
// (its name, or the beginning of it).
int SearchBetweenDevices(const char* appliName, const char* systemname, const char* dfrom,
                         const char* dto, int dto_typegiven, PathEntries& out, char* ErrMess);

// The caller's outputs of a search between devices. Capacities on entry
// (entries, and bytes of each text); the needs on return.
struct PathOutputs {
  int* len_array;
  int* len_pfrom;
  int* len_nfrom;
  int* len_pto;
  int* len_nto;
  int* len_lkinfo;
  char* nfrom_buf;
  char* nto_buf;
  char* pfrom_buf;
  int* way_a;
  char* pto_buf;
  int* way_b;
  int* pathid;
  int* link_pos;
  char* lkinfo_buf;
};

// The search with its outputs: all of them are copied when each is larger
// than its need, else none, and each need plus one is written back with
// "BUFFER_TOO_SMALL". 0 when at least one path was copied out.
int FindPathsBetweenDevices(const char* appliName, const char* systemname, const char* dfrom,
                            const char* dto, int dto_typegiven, const PathOutputs& out,
                            char* ErrMess);

}  // namespace ferrule
