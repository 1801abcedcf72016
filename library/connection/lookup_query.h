// The steps every lookup shares, whatever the shape of its answer: the
// statement on the connection, the key binds and the execution, the define
// buffers of the select list and the values of a fetched row, the three
// forms of the no-rows answer, and the closing ErrMess. The engines (a row
// of text, a packed list, an integer list, a single value) are built on it.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "closing_mark.h"
#include "lookup_keys.h"
#include "oci.h"
#include "reasons.h"
#include "step_chain.h"

namespace ferrule {

enum class ColumnKind {
  Text,          // fetched as text, read without the mark that closes it
  Int,           // fetched as a 32-bit integer, printed with %d
  SubsystemSet,  // fetched as an integer, printed as subsystem names
  StatusWord,    // fetched as an integer, printed as its hardware status word
};

struct LookupColumn {
  ColumnKind kind;
  bool floor50 = false;               // define buffer at least 50 + 1 bytes
  const char* size_trace = nullptr;   // prints "<label><size>" after describe
  bool closed_by_mark = true;         // texts: the statement appends the lookup's mark
};

// Named constructors, so that a table of columns reads at the row.
enum class MinLength { Described, Fifty };
inline constexpr MinLength kFloor50 = MinLength::Fifty;
inline LookupColumn TextColumn(MinLength min = MinLength::Described,
                               const char* size_trace = nullptr) {
  return {ColumnKind::Text, min == MinLength::Fifty, size_trace};
}
// A text that the statement selects as it is stored, without a mark: it is
// read whole, and a NULL reads "NULL".
inline LookupColumn UnmarkedTextColumn(MinLength min = MinLength::Described) {
  return {ColumnKind::Text, min == MinLength::Fifty, nullptr, false};
}
inline LookupColumn IntColumn() { return {ColumnKind::Int}; }
inline LookupColumn SubsystemSetColumn() { return {ColumnKind::SubsystemSet}; }
inline LookupColumn StatusWordColumn() { return {ColumnKind::StatusWord}; }

// The diagnostic context of each step, printed once when that step is the
// first to fail. The lookups number the column steps by position; a family
// whose statements have one column fixes those labels instead.
struct StepLabels {
  const char* bind = "OCIBindByPos unsuccessful";       // a key bind that another follows
  const char* last_bind = "OCIBindByPos unsuccessful";  // the last key bind
  const char* prefetch = "OCIAttrSet unsuccessful";
  const char* execute = "OCIStmtExecute unsuccessful";
  const char* describe = nullptr;     // null: "OCIParamGet<position> unsuccessful"
  const char* column_size = nullptr;  // null: "OCIAttrGet<position> unsuccessful"
  const char* define = nullptr;       // null: "OCIDefineByPos<position - 1> unsuccessful"
  // reason when a define buffer cannot be had
  const char* no_buffer = reason::kReallocUnsuccessful;
};

inline const StepLabels kLookupSteps{};

// How a lookup answers when its fetch brings no row. The output receives
// its no-rows value ("NO_ROWS_SELECTED", or -1 in entries 0 and 1 of an
// integer list) in every form.
enum class NoRowsForm {
  Common,            // "NO_ROWS_SELECTED" as the reason, result 0, no line
  Reported,          // fetch status traced and kept as result; the database's text as reason
  Hybrid,            // fetch status traced; "NO_ROWS_SELECTED" as the reason, result 0
  HybridWithStatus,  // fetch status traced and kept as result; "NO_ROWS_SELECTED" as the reason
};

// What a fetch status other than a row or the end of the data means.
enum class FailedFetch {
  EndsRows,  // the rows fetched so far are the answer, as at the end of the data
  Fails,     // the call fails with that status, traced with the fetch label: an
             // incomplete answer is never given as a whole one
};

struct NoRows {
  NoRowsForm form = NoRowsForm::Common;
  const char* fetch_label = "OCIFETCH unsuccessful";  // context of the traced fetch status
  FailedFetch failed_fetch = FailedFetch::EndsRows;
};

class LookupQuery {
 public:
  // Steps are labelled as `steps` says (null: as the lookups label them).
  LookupQuery(const char* appliName, char* ErrMess, const StepLabels* steps = nullptr);

  // Allocates the statement; false when the call is answered already
  // ("NOT CONNECTED TO ANY DB" without a connection).
  bool open(const char* label = "OCIStmtHAndleStmt unsuccessful");

  // Prepares the text (forgetting any earlier one and its defines), binds
  // the keys (a key without placeholder is only checked, never bound), sets
  // the row prefetch (0: none) and executes, each step only while every
  // earlier one succeeded.
  void run(const std::string& text, const std::vector<KeyBind>& keys, unsigned prefetch = 0);

  // Describes the text columns, allocates their buffers and defines every
  // column. False when a buffer cannot be had: the call is then answered
  // with the labels' no-buffer reason and -1. With `rows` above 1 the
  // buffers hold up to that many rows (fewer for wide columns), which
  // fetch_rows() fills in one call.
  bool define(const std::vector<LookupColumn>& columns, unsigned rows = 1);

  // Fetches the next row (only while no step failed). True for a row, that
  // is fetch status 0 or 1 (a value was cut); fetch_status() tells which.
  bool fetch();
  int fetch_status() const { return fetch_status_; }

  // Fetches the next rows, as many as define() made room for, into rows 0
  // .. n-1 of the buffers (only while no step failed) and returns n. The
  // rows are those that fetching one at a time would bring with status 0
  // or 1, up to the status that would end them: fetch_status() is 0 or 1
  // while more rows may follow, else that ending status.
  unsigned fetch_rows();
  // More rows may follow: no step failed and the last fetch did not end.
  bool more_rows() const {
    return chain_.ok() &&
           (fetch_status_ == OCI_SUCCESS || fetch_status_ == OCI_SUCCESS_WITH_INFO);
  }
  // Row `row` of the last fetch_rows() came whole: fetched alone, its
  // status would have been 0 rather than 1 (a value cut).
  bool row_complete(unsigned row) const {
    // Only a text can be cut; its indicator then holds its length (or -2).
    for (const Column& c : columns_)
      if (c.spec.kind == ColumnKind::Text && c.indicators[row] != 0 && c.indicators[row] != -1)
        return false;
    return true;
  }

  // Once fetch() brought no row: under FailedFetch::Fails a status other
  // than the end of the data becomes the call's failure (ok() turns false).
  void check_end_of_rows(const NoRows& how);

  // A column of the fetched row: texts with their fetch indicator applied
  // and without the mark that closes them (closing_mark.h); subsystem sets
  // and status codes as words.
  std::string text(std::size_t column, char mark);
  // The same for a text column, without a copy: valid until the next
  // fetch. `row` counts the rows of the last fetch_rows(). Inline, as the
  // lists call it for every row.
  std::string_view cut_text(std::size_t column, char mark, unsigned row = 0) {
    Column& c = columns_[column];
    char* value = c.text.get() + static_cast<std::size_t>(c.size) * row;
    const char closing = c.spec.closed_by_mark ? mark : kNoMark;
    // A complete value needs no replacement (and the log text is never shown).
    if (c.indicators[row] != 0) apply_indicator(c, value, row, closing);
    return ValueBeforeMark(value, closing);
  }
  int number(std::size_t column, unsigned row = 0) const { return columns_[column].numbers[row]; }

  bool ok() const { return chain_.ok(); }
  StepChain& chain() { return chain_; }

  // A fixed reason (-1 unless said otherwise) that stays in ErrMess.
  int answer(const char* reason, int result = -1);

  // The no-rows answer: traces the fetch status where the form says so
  // (whatever the output can hold), then, when `written` (the output
  // received its no-rows value), writes the form's reason; otherwise answers
  // `too_small` and -1. Returns the result code.
  int answer_no_rows(const NoRows& how, bool written = true,
                     const char* too_small = reason::kBufferTooSmall);

  // The same into a caller text buffer of *length bytes, which receives
  // `text` with its NUL, or, when it cannot hold them, is left alone while
  // *length receives their size.
  int answer_no_rows_text(const NoRows& how, char* out, int* length,
                          const char* text = reason::kNoRowsSelected,
                          const char* too_small = reason::kBufferTooSmall);

  // Releases the statement and writes the closing ErrMess from this call's
  // outcome, unless a fixed reason was answered. Returns the result code.
  int finish(const char* success_name = nullptr, const char* failure_name = nullptr);


 private:
  struct Column {
    LookupColumn spec;
    std::unique_ptr<char[]> text;  // `size` bytes for each row
    int size = 0;
    std::vector<sb2> indicators;   // one per row
    std::vector<int> numbers;      // one per row
    OCIDefine* define = nullptr;
  };

  // Rows that define() makes room for, from the rows asked and the width
  // of a row.
  unsigned rows_that_fit(unsigned asked) const;
  // Buffers for rows_per_fetch_ rows of every column; false when one
  // cannot be had.
  bool allocate_buffers();
  // Replaces a NULL or cut value by the words that say so.
  void apply_indicator(Column& c, char* value, unsigned row, char mark);

  const char* appliName_;
  char* ErrMess_;
  const StepLabels& steps_;
  StatementHandle stmt_;
  StepChain chain_;
  std::vector<int> int_keys_;
  std::vector<Column> columns_;
  unsigned rows_per_fetch_ = 1;
  int fetch_status_ = OCI_SUCCESS;
  bool has_result_ = false;  // result_ decided here rather than by the chain
  int result_ = 0;
  bool answered_ = false;    // ErrMess holds a fixed reason
};


}  // namespace ferrule
