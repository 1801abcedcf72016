#include "statement.h"

#include <algorithm>

namespace ferrule::oci {
namespace {

// Type OIDs of the columns that describe as numbers.
bool is_number_type(Oid type) {
  switch (type) {
    case 20:    // int8
    case 21:    // int2
    case 23:    // int4
    case 26:    // oid
    case 700:   // float4
    case 701:   // float8
    case 1700:  // numeric
      return true;
    default:
      return false;
  }
}

constexpr Oid kBpcharOid = 1042;
constexpr Oid kVarcharOid = 1043;
// A character column's type modifier is its declared length plus this.
constexpr int kVarlenaHeaderSize = 4;
// What the classic server describes every number column as.
constexpr ub4 kNumberDataSize = 22;

sword fail(ErrorRecord& error, int number, std::string message) {
  error.set(number, std::move(message));
  return OCI_ERROR;
}

template <class Handle>
Handle* slot_handle(std::vector<std::unique_ptr<Handle>>& slots, size_t index) {
  if (slots.size() <= index) slots.resize(index + 1);
  if (!slots[index]) slots[index] = std::make_unique<Handle>();
  return slots[index].get();
}

}  // namespace

Statement::Statement() = default;
Statement::~Statement() = default;

void Statement::prepare(std::string text) {
  parsed_ = parse_statement(std::move(text));
  savepoint_ = parse_savepoint_command(parsed_.text);
  chunkable_ = parsed_.kind == StatementKind::kBlock && block_runs_in_chunks(parsed_);
  binds_.clear();
  binds_.resize(parsed_.names.size());
  defines_.clear();
  forget_rows();
  row_count_ = 0;
}

void Statement::take_rows(PgResultPtr rows) {
  rows_ = std::move(rows);
  next_row_ = 0;
  row_total_ = PQntuples(rows_.get());
  column_total_ = PQnfields(rows_.get());
}

void Statement::forget_rows() {
  rows_.reset();
  next_row_ = 0;
  row_total_ = column_total_ = 0;
  rows_fetched_ = 0;
}

OCIBind* Statement::bind_by_name(std::string_view name, const BindBuffer& buffer,
                                 ErrorRecord& error) {
  size_t index = parsed_.find_name(name);
  if (index == parsed_.names.size()) {
    error.set(error_number::kIllegalVariableName,
              "illegal variable name/number: " + std::string(name));
    return nullptr;
  }
  OCIBind* bind = slot_handle(binds_, index);
  bind->buffer = buffer;
  return bind;
}

OCIBind* Statement::bind_by_position(ub4 position, const BindBuffer& buffer,
                                     ErrorRecord& error) {
  if (position == 0 || position > parsed_.names.size()) {
    error.set(error_number::kIllegalVariableName,
              "illegal variable name/number: position " + std::to_string(position));
    return nullptr;
  }
  OCIBind* bind = slot_handle(binds_, position - 1);
  bind->buffer = buffer;
  return bind;
}

OCIDefine* Statement::define(ub4 position, const DefineBuffer& buffer, ErrorRecord& error) {
  if (position == 0) {
    error.set(error_number::kNotInSelectList, "variable not in select list: position 0");
    return nullptr;
  }
  OCIDefine* define = slot_handle(defines_, position - 1);
  define->buffer = buffer;
  return define;
}

sword Statement::fetch(ErrorRecord& error, ub4 rows) {
  rows_fetched_ = 0;
  if (!rows_) {
    error.set(error_number::kFetchOutOfSequence, "fetch out of sequence");
    return OCI_ERROR;
  }
  const size_t left = static_cast<size_t>(row_total_ - next_row_);
  const size_t asked = std::min<size_t>(rows, left);
  // Column by column, each over every row asked: the rows delivered are
  // those before the first row that a column cannot store, and that row's
  // failure is the one of its first such column, as storing row by row
  // would find.
  size_t delivered = asked;
  FetchOutcome failure = FetchOutcome::kStored;
  size_t failed_position = 0;
  bool truncated = false;
  for (size_t i = 0; i < defines_.size() && delivered > 0; ++i) {
    if (!defines_[i]) continue;
    if (i >= static_cast<size_t>(column_total_)) {
      delivered = 0;
      failure = FetchOutcome::kNotInSelectList;
      failed_position = i + 1;
      break;
    }
    const ColumnStored stored =
        defines_[i]->buffer.store_rows(rows_.get(), next_row_, static_cast<int>(i), delivered,
                                       encoding_);
    truncated = truncated || stored.truncated;
    if (stored.failure != FetchOutcome::kStored) {
      delivered = stored.rows;
      failure = stored.failure;
    }
  }
  // A row that could not be stored is used up, as it is when fetched alone.
  const size_t used = delivered + (failure != FetchOutcome::kStored ? 1 : 0);
  next_row_ += static_cast<int>(used);
  row_count_ += static_cast<ub4>(used);
  rows_fetched_ = static_cast<ub4>(delivered);

  switch (failure) {
    case FetchOutcome::kStored:
    case FetchOutcome::kTruncated:
      break;
    case FetchOutcome::kNotInSelectList:
      return fail(error, error_number::kNotInSelectList,
                  "variable not in select list: position " + std::to_string(failed_position));
    case FetchOutcome::kNullWithoutIndicator:
      return fail(error, error_number::kFetchedNull, "fetched column value is NULL");
    case FetchOutcome::kNotANumber:
      return fail(error, error_number::kInvalidNumber, "invalid number");
    case FetchOutcome::kNumberTooLarge:
      return fail(error, error_number::kValueTooLargeForColumn,
                  "fetched number does not fit the integer buffer");
  }
  if (asked < rows) {
    error.set(error_number::kNoDataFound, "no data found");
    return OCI_NO_DATA;
  }
  if (truncated) {
    error.set(error_number::kFetchedTruncated, "fetched column value was truncated");
    return OCI_SUCCESS_WITH_INFO;
  }
  return OCI_SUCCESS;
}

ub4 Statement::column_count() const { return static_cast<ub4>(column_total_); }

OCIParam* Statement::column(ub4 position, ErrorRecord& error) {
  if (position == 0 || position > column_count()) {
    error.set(error_number::kNoDescriptorForPosition,
              "no descriptor for this position: " + std::to_string(position));
    return nullptr;
  }
  if (columns_.size() < position) columns_.resize(position);
  auto& column_handle = columns_[position - 1];
  if (!column_handle) column_handle = std::make_unique<OCIParam>(this, position);
  return column_handle.get();
}

ub4 Statement::column_data_size(ub4 position) const {
  if (position == 0 || position > column_count()) return 0;
  const int column = static_cast<int>(position - 1);
  const Oid type = PQftype(rows_.get(), column);
  if (is_number_type(type)) return kNumberDataSize;

  int longest = 1;
  for (int row = 0; row < row_total_; ++row)
    longest = std::max(longest, PQgetlength(rows_.get(), row, column));
  // varchar(n) declares characters; a multi-byte value may be longer in bytes.
  const int modifier = PQfmod(rows_.get(), column);
  if ((type == kVarcharOid || type == kBpcharOid) && modifier >= kVarlenaHeaderSize)
    return static_cast<ub4>(std::max(modifier - kVarlenaHeaderSize, longest));
  return static_cast<ub4>(longest);
}

}  // namespace ferrule::oci
