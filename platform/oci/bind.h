// A bind: where the caller keeps the value of one placeholder (for arrays,
// of every row), how to read it as a parameter and how to write a block's
// output back into it.
#pragma once

#include "handle.h"

#include <libpq-fe.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ferrule::oci {

// The parameter values of one execution, every row's, kept as
// NUL-terminated texts in a single buffer, with their lengths.
class ParamValues {
 public:
  void clear() {
    bytes_.clear();
    entries_.clear();
  }
  // Room for `values` more values of about `bytes` bytes in all.
  void reserve(size_t values, size_t bytes) {
    entries_.reserve(entries_.size() + values);
    bytes_.reserve(bytes_.size() + bytes);
  }
  void add_null() { entries_.push_back({kNull, 0}); }
  void add(std::string_view text) {
    entries_.push_back({bytes_.size(), text.size()});
    bytes_.append(text);
    bytes_ += '\0';
  }
  size_t size() const { return entries_.size(); }
  // Null for a NULL value. Valid until the next add.
  const char* value(size_t index) const {
    return entries_[index].offset == kNull ? nullptr : bytes_.data() + entries_[index].offset;
  }
  size_t length(size_t index) const { return entries_[index].length; }
  bool same_as(size_t index, bool is_null, std::string_view text) const {
    const Entry& entry = entries_[index];
    if (entry.offset == kNull || is_null) return entry.offset == kNull && is_null;
    return entry.length == text.size() &&
           std::string_view(bytes_.data() + entry.offset, entry.length) == text;
  }

 private:
  static constexpr size_t kNull = SIZE_MAX;
  struct Entry {
    size_t offset;
    size_t length;
  };
  std::string bytes_;
  std::vector<Entry> entries_;
};

struct BindBuffer {
  char* value = nullptr;
  sb4 value_size = 0;
  ub2 type = 0;              // SQLT_STR, SQLT_CHR or SQLT_INT
  char* indicator = nullptr;  // sb2 per row, or null
  char* lengths = nullptr;    // ub2 per row (SQLT_CHR), or null
  ub4 value_skip = 0;         // bytes between rows
  ub4 indicator_skip = sizeof(sb2);
  ub4 length_skip = sizeof(ub2);

  // Texts go out untyped (OID 0) so that the server infers their type from
  // the context, as `integer_column = $1` needs.
  Oid type_oid() const;
  // The type of the matching parameter of a block's procedure.
  const char* sql_type() const;

  // Appends the value of `row` (NULL for a null pointer, a zero length, an
  // empty text or indicator -1).
  void append_value(size_t row, ParamValues& out) const;

  // Stores a block's output into `row`: NULL sets the indicator to -1 and
  // empties a text; a text is cut to fit, on a whole character of
  // `encoding`, its indicator telling the full length.
  void write_back(size_t row, bool is_null, std::string_view text, int encoding) const;
};

// Checks a bind's type and size; false with the reason otherwise.
bool check_bind_type(ub2 type, sb4 value_size, std::string& problem);

}  // namespace ferrule::oci

struct OCIBind final : ferrule::oci::Handle {
  OCIBind() : Handle(OCI_HTYPE_BIND) {}
  ferrule::oci::BindBuffer buffer;
};
