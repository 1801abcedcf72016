#include "value_lookup.h"

#include <string>

#include "reasons.h"
#include "report.h"
#include "statement_text.h"
#include "subsystems.h"

namespace ferrule {

namespace {

// Runs the statement of one integer column; `take` receives the query with
// the first row fetched (several rows: the first one returned is the
// answer), `no_row` is called before the no-rows answer.
template <class Take, class NoRow>
int run_int_value(const IdValueSpec& spec, const std::vector<KeyBind>& keys, bool has_output,
                  char* ErrMess, Take&& take, NoRow&& no_row) {
  if (AnswerMissingKey(spec.appliName, keys, ErrMess)) return -1;
  if (!has_output) {
    ReportFailure(spec.appliName, reason::kBufferTooSmall, ErrMess);
    return -1;
  }
  LookupQuery query(spec.appliName, ErrMess, spec.steps);
  if (!query.open()) return -1;
  query.run(ExpandTemplate(spec.statement), keys);
  if (!query.define({IntColumn()})) return query.finish();
  if (query.fetch()) {
    take(query);
    return query.finish();
  }
  query.check_end_of_rows(spec.no_rows);
  if (query.ok()) {
    no_row();
    query.answer_no_rows(spec.no_rows);
  }
  return query.finish();
}

}  // namespace

int RunIdValueLookup(const IdValueSpec& spec, const std::vector<KeyBind>& keys, int* value,
                     char* ErrMess) {
  return run_int_value(
      spec, keys, value != nullptr, ErrMess, [&](LookupQuery& query) { *value = query.number(0); },
      [&] {
        if (spec.no_rows_writes_minus_one) *value = -1;
      });
}

int RunStatusWordLookup(const IdValueSpec& spec, const std::vector<KeyBind>& keys, char* word,
                        char* ErrMess) {
  return run_int_value(
      spec, keys, word != nullptr, ErrMess,
      [&](LookupQuery& query) {
        const int code = query.number(0);
        if (StatusCodeToName(code, word, kStatusWordBufferSize) != 0)
          query.answer(("INVALID STATUS CODE " + std::to_string(code)).c_str());
      },
      [] {});
}

int RunNameValueLookup(const RowLookupSpec& spec, const std::vector<KeyBind>& keys, char* name,
                       char* ErrMess) {
  int capacity = kNameBufferSize;
  return RunRowLookup(spec, keys, &capacity, name, ErrMess);
}

}  // namespace ferrule
