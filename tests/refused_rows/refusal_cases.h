// The table of the sweep: for every insert and update export, rows it
// accepts and the ways a row of it can be refused, against the network of
// sweep_network.h. The engine (refused_rows_sweep_test.cpp) runs each
// refused row in a batch between two accepted ones, and each refused
// single-row call alone, and compares every table with what the accepted
// rows alone leave.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace sweep {

// One row of a cached export, called with its batch flags.
using CachedRow = std::function<int(int first, int last, char* ErrMess)>;
// One call of a single-row export.
using SingleCall = std::function<int(char* ErrMess)>;

// What a batch holding a refused row leaves behind.
enum class Leaves {
  AcceptedRows,  // what the two accepted rows sent alone leave
  Nothing,       // what was there before the batch (the send was undone)
};

struct CachedRefusal {
  const char* way;  // how the row is refused, for the test's messages
  CachedRow row;
  Leaves leaves;
};

struct SingleRefusal {
  const char* way;
  SingleCall call;
};

struct ExportSweep {
  const char* name;  // the test's name
  // Two rows the cached form accepts; none for an export without one.
  CachedRow first_accepted;
  CachedRow second_accepted;
  std::vector<CachedRefusal> cached;
  std::vector<SingleRefusal> single;
};

// What a failed test prints of its parameter.
inline void PrintTo(const ExportSweep& sweep, std::ostream* out) { *out << sweep.name; }

std::vector<ExportSweep> InsertSweeps();
std::vector<ExportSweep> UpdateSweeps();

// Texts one character longer than columns of 100, 200 and 1000.
extern const char* const kOver100;
extern const char* const kOver200;
extern const char* const kOver1000;

}  // namespace sweep
