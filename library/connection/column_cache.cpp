#include "column_cache.h"

#include <climits>
#include <cstring>
#include <new>

namespace ferrule {

void StringColumnCache::release() { std::vector<char>().swap(buffer); }

void IntColumnCache::release() { std::vector<int>().swap(array); }

int AppendToStringCache(const char* value, StringColumnCache& column, int first) {
  const char* text = value ? value : "";
  const std::size_t length = std::strlen(text);
  // A column with no storage has nothing to extend: it starts afresh too.
  if (first == 1 || !column.has_storage()) {
    column.release();
    column.total = column.count = column.longest = 0;
  }
  if (length >= static_cast<std::size_t>(INT_MAX - column.total)) {
    column.release();
    return -1;
  }
  const int size = static_cast<int>(length) + 1;
  try {
    column.buffer.insert(column.buffer.end(), text, text + size);
  } catch (const std::bad_alloc&) {
    column.release();
    return -1;
  }
  column.total += size;
  if (size > column.longest) column.longest = size;
  ++column.count;
  return 0;
}

int AppendToIntCache(int value, IntColumnCache& column, int first) {
  if (first == 1 || !column.has_storage()) {
    column.release();
    column.count = 0;
  }
  try {
    column.array.push_back(value);
  } catch (const std::bad_alloc&) {
    column.release();
    return -1;
  }
  ++column.count;
  return 0;
}

int UnpackStringCache(const StringColumnCache& column, int n, int width, char* destination) {
  if (!column.has_storage() || n < 0 || n > column.count || width < 1 || !destination) return -1;
  // Check every slot first, so that a refusal writes nothing.
  const char* read = column.buffer.data();
  const char* end = read + column.buffer.size();
  for (int i = 0; i < n; ++i) {
    const void* nul = std::memchr(read, '\0', static_cast<std::size_t>(end - read));
    if (!nul) return -1;
    const std::size_t size = static_cast<const char*>(nul) - read + 1;
    if (size > static_cast<std::size_t>(width)) return -1;
    read += size;
  }
  read = column.buffer.data();
  for (int i = 0; i < n; ++i) {
    const std::size_t size = std::strlen(read) + 1;
    std::memcpy(destination + static_cast<std::size_t>(i) * width, read, size);
    read += size;
  }
  return 0;
}

int NullIndicator(const char* value) { return value ? 0 : -1; }

}  // namespace ferrule
