#include "row_lookup.h"

#include <cstring>
#include <string>

#include "diagnostics.h"
#include "report.h"
#include "statement_text.h"

namespace ferrule {

namespace {

// Renders the format with one value per conversion, in order.
std::string render(const char* format, const std::vector<std::string>& values) {
  std::string out;
  std::size_t next = 0;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && (p[1] == 's' || p[1] == 'd')) {
      if (next < values.size()) out += values[next++];
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

// The fetched row as text, its values in format order.
std::string fetched_row(LookupQuery& query, const RowLookupSpec& statement, char mark) {
  std::vector<std::string> values;
  if (statement.fields.empty()) {
    for (std::size_t i = 0; i < statement.columns.size(); ++i)
      values.push_back(query.text(i, mark));
  } else {
    for (int position : statement.fields)
      values.push_back(query.text(static_cast<std::size_t>(position - 1), mark));
  }
  return render(statement.format, values);
}

}  // namespace

int RunRowLookup(const RowLookupSpec& spec, const std::vector<KeyBind>& keys, int* length,
                 char* row, char* ErrMess) {
  if (AnswerMissingKey(spec.appliName, keys, ErrMess)) return -1;
  if (!length || !row) {
    ReportFailure(spec.appliName, spec.length.too_small_reason, ErrMess);
    return -1;
  }
  LookupQuery query(spec.appliName, ErrMess, spec.steps);
  if (!query.open()) return -1;
  const NoRows no_rows{spec.no_rows, spec.fetch_label, spec.failed_fetch};

  for (const RowLookupSpec* statement = &spec; statement; statement = statement->fallback) {
    const std::string text = ExpandTemplate(statement->statement);
    query.run(text, keys);
    if (statement->prepare_trace) PrintLine("%s%s", statement->prepare_trace, text.c_str());
    if (!query.define(statement->columns)) return query.finish();
    if (query.fetch()) {
      if (statement->row_trace) PrintLine("%s", statement->row_trace);
      // The needed length is measured on the row itself, so that no value
      // can make the printed row longer than the capacity that was tested.
      // Compared as a signed int: a capacity below 1 is too small.
      const std::string text_row = fetched_row(query, *statement, spec.mark);
      const int needed = static_cast<int>(text_row.size()) + 1 + spec.length.extra;
      if (*length < needed) {
        *length = needed;
        query.answer(spec.length.too_small_reason);
      } else {
        std::memcpy(row, text_row.c_str(), text_row.size() + 1);
      }
      return query.finish(spec.final_success_name, spec.final_appliName);
    }
    // A failed step ends the call; only a fetch without a row goes on.
    query.check_end_of_rows(no_rows);
    if (!query.ok()) break;
  }

  if (query.ok())
    query.answer_no_rows_text(no_rows, row, length, spec.no_rows_text,
                              spec.length.too_small_reason);
  return query.finish(spec.final_success_name, spec.final_appliName);
}

}  // namespace ferrule
