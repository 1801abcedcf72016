// The private batch of one cached multi-row function: one column per text
// and per integer of its rows, an indicator column per text, and the flag
// that tells whether a batch is open.
#pragma once

#include <cstddef>
#include <vector>

#include "column_cache.h"

namespace ferrule {

// Rows at which a batch is sent without waiting for the row marked last.
constexpr int kMaxCachedRows = 10000;

// One row as a call hands it over: texts and integers in column order.
struct RowValues {
  std::vector<const char*> texts;
  std::vector<int> values;
  // The export's own check refused the row (batch_protocol.h: RowCheck).
  bool check_failed = false;
};

struct RowCache {
  RowCache(std::size_t text_columns, std::size_t value_columns)
      : texts(text_columns), values(value_columns), indicators(text_columns) {}

  std::vector<StringColumnCache> texts;  // texts[0] is the lead column
  std::vector<IntColumnCache> values;
  std::vector<IntColumnCache> indicators;  // NullIndicator of each cached text
  int initialised = 0;                     // 1 while a batch is open

  // Appends the row to every column with the given first flag; returns the
  // sum of the append results (0 when every column grew).
  int append(const RowValues& row, int first);
  // Frees every column's storage and closes the batch; returns 0.
  int release();
  // Rows of the batch: the lead column's count while it has storage.
  int rows() const;
  bool lead_has_storage() const { return !texts.empty() && texts.front().has_storage(); }
};

}  // namespace ferrule
