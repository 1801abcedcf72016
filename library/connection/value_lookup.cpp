#include "value_lookup.h"

#include "report.h"
#include "statement_text.h"

namespace ferrule {

int RunIdValueLookup(const IdValueSpec& spec, const std::vector<KeyBind>& keys, int* value,
                     char* ErrMess) {
  if (AnswerMissingKey(spec.appliName, keys, ErrMess)) return -1;
  if (!value) {
    SetErrMess(spec.appliName, "BUFFER_TOO_SMALL", ErrMess, 1);
    return -1;
  }
  LookupQuery query(spec.appliName, ErrMess);
  if (!query.open()) return -1;
  query.run(ExpandTemplate(spec.statement), keys);
  if (!query.define({IntColumn()})) return query.finish();
  if (query.fetch()) {
    // Several rows: the first one returned is the answer.
    *value = query.number(0);
  } else if (query.ok()) {
    if (spec.no_rows_writes_minus_one) *value = -1;
    query.answer_no_rows(spec.no_rows);
  }
  return query.finish();
}

int RunNameValueLookup(const RowLookupSpec& spec, const std::vector<KeyBind>& keys, char* name,
                       char* ErrMess) {
  int capacity = kNameBufferSize;
  return RunRowLookup(spec, keys, &capacity, name, ErrMess);
}

}  // namespace ferrule
