// The array buffers of one execution of an insert block over the rows of a
// cache: fixed-width copies of the text columns, their indicators, the
// integer columns and the outputs, one element per row, and how they are
// bound to the block.
//
// Each thread keeps its arrays from one send to the next (see Lease):
// fresh arrays for a batch of 10,000 rows are a megabyte of memory touched
// for the first time, a page fault every 4 KiB, which on the machines
// measured took as long as filling them.
#pragma once

#include <cstddef>
#include <vector>

#include "insert/insert_statement.h"
#include "insert/row_cache.h"
#include "oci.h"
#include "step_chain.h"

namespace ferrule {

struct BindArrays {
  std::vector<std::vector<char>> texts;
  std::vector<int> widths;
  std::vector<std::vector<sb2>> indicators;
  std::vector<std::vector<int>> values;
  std::vector<int> numrows;
  std::vector<std::vector<int>> outputs;
  std::vector<std::vector<char>> text_outputs;
  std::vector<int> last_row_flags;

  // The calling thread's arrays for one send. Arrays that grew beyond
  // kKeptBytes are given back when the send ends.
  class Lease {
   public:
    Lease() : arrays_(thread_arrays()) {}
    ~Lease() {
      if (arrays_.bytes() > kKeptBytes) arrays_ = BindArrays();
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    BindArrays& operator*() { return arrays_; }

   private:
    static BindArrays& thread_arrays() {
      static thread_local BindArrays arrays;
      return arrays;
    }
    BindArrays& arrays_;
  };
  static constexpr std::size_t kKeptBytes = std::size_t{16} << 20;

  // False when a column cannot be unpacked (it does not hold every row).
  // Every array is sized and written afresh, the outputs set to 0; what a
  // send before left in them only lends its memory.
  bool fill(const RowCache& cache, const InsertStatement& statement);

  // Binds every array by name to the statement prepared on stmt, each step
  // in the chain.
  void bind(OCIStmt* stmt, OCIError* errhp, const InsertStatement& statement,
            StepChain& chain);

  // The integer output bound as name, or null.
  const std::vector<int>* int_output(const InsertStatement& statement, const char* name) const;
  // The last row's value of the text output bound as name, or null.
  const char* last_text_output(const InsertStatement& statement, const char* name) const;
  // The counts that tell whether each row was done: the output bound as
  // `output`, or :numrows.
  const std::vector<int>& counts(const InsertStatement& statement, const char* output) const;

  // The memory the arrays hold.
  std::size_t bytes() const;
};

}  // namespace ferrule
