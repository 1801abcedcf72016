#include "insert/row_cache.h"

namespace ferrule {

int RowCache::append(const RowValues& row, int first) {
  int sum = 0;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const char* text = i < row.texts.size() ? row.texts[i] : nullptr;
    sum += AppendToStringCache(text, texts[i], first);
  }
  for (std::size_t i = 0; i < values.size(); ++i)
    sum += AppendToIntCache(i < row.values.size() ? row.values[i] : 0, values[i], first);
  for (std::size_t i = 0; i < indicators.size(); ++i) {
    const char* text = i < row.texts.size() ? row.texts[i] : nullptr;
    sum += AppendToIntCache(NullIndicator(text), indicators[i], first);
  }
  return sum;
}

int RowCache::release() {
  for (auto& column : texts) column.release();
  for (auto& column : values) column.release();
  for (auto& column : indicators) column.release();
  initialised = 0;
  return 0;
}

int RowCache::rows() const { return lead_has_storage() ? texts.front().count : 0; }

}  // namespace ferrule
