// The columns of a cached batch: a text column keeps its values back to back,
// each with its NUL, and an integer column one int per row. A cached
// multi-row function owns one column per text and per integer of its rows and
// appends to every column once per call, so the columns of one batch stay
// aligned by position.
#pragma once

#include <vector>

namespace ferrule {

struct StringColumnCache {
  std::vector<char> buffer;  // values back to back, each followed by its NUL
  int total = 0;             // bytes in use
  int count = 0;             // rows appended since the column was started
  int longest = 0;           // size of the longest value, its NUL counted

  // No storage: the column was never filled, or its owner released it.
  bool has_storage() const { return !buffer.empty(); }
  // Frees the storage; the counters stay until the next start.
  void release();
};

struct IntColumnCache {
  std::vector<int> array;
  int count = 0;

  bool has_storage() const { return !array.empty(); }
  void release();
};

// Appends value as the column's next row. A null value keeps its place as an
// empty text (its indicator tells it apart). first == 1 starts the column
// afresh. Returns 0, or -1 (the column left without storage) when it cannot
// grow.
int AppendToStringCache(const char* value, StringColumnCache& column, int first);
int AppendToIntCache(int value, IntColumnCache& column, int first);

// Copies the first n values of the column, each with its NUL, into n slots of
// width bytes at destination (n * width bytes of caller memory); the bytes of
// a slot after the NUL are not written. Returns -1, writing nothing, when the
// column has no storage, holds fewer than n rows, or a value does not fit its
// slot.
int UnpackStringCache(const StringColumnCache& column, int n, int width, char* destination);

// -1 for a null text, 0 otherwise (an empty text included).
int NullIndicator(const char* value);

}  // namespace ferrule
