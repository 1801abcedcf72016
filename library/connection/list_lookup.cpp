#include "list_lookup.h"

#include <cstring>
#include <new>
#include <string>

#include "gathering_buffer.h"
#include "reasons.h"
#include "report.h"
#include "statement_text.h"

namespace ferrule {

namespace {

// Entries 0 and 1 of an integer list carry its no-rows answer.
constexpr int kIdNoRowsEntries = 2;
constexpr const char* kBoundsMissing = " min_date and max_date MUST be given";

// The statement text is expanded already.
int run_list(const ListLookupSpec& spec, const std::vector<KeyBind>& keys,
             const std::string& text, int* length, char* list, char* ErrMess) {
  if (!length || !list) {
    ReportFailure(spec.appliName, reason::kBufferTooSmall, ErrMess);
    return -1;
  }
  LookupQuery query(spec.appliName, ErrMess, spec.steps);
  if (!query.open()) return -1;
  query.run(text, keys, spec.prefetch);
  if (!query.define({TextColumn()}, spec.prefetch)) return query.finish();

  GatheringBuffer::Lease gathered;
  int items = 0;
  do {
    const unsigned rows = query.fetch_rows();
    for (unsigned row = 0; row < rows; ++row) {
      if (spec.rows == RowsTaken::CompleteOnly && !query.row_complete(row)) continue;
      if (!gathered->append(query.cut_text(0, spec.mark, row), '\0')) {
        query.answer(reason::kReallocUnsuccessful);
        return query.finish();
      }
      ++items;
    }
  } while (query.more_rows());
  query.check_end_of_rows(spec.no_rows);
  if (!query.ok()) return query.finish();

  if (items == 0) {
    query.answer_no_rows_text(spec.no_rows, list, length);
    return query.finish();
  }
  // Compared as a signed int: a capacity below 1 is too small.
  const int size = static_cast<int>(gathered->size());
  if (*length < size) {
    *length = size;
    query.answer(reason::kBufferTooSmall);
    return query.finish();
  }
  std::memcpy(list, gathered->data(), gathered->size());
  *length = size;
  return query.finish();
}

bool open_bound(const char* date) { return std::strncmp(date, "none", 4) == 0; }

}  // namespace

int RunListLookup(const ListLookupSpec& spec, const std::vector<KeyBind>& keys, int* length,
                  char* list, char* ErrMess) {
  if (AnswerMissingKey(spec.appliName, keys, ErrMess)) return -1;
  return run_list(spec, keys, ExpandTemplate(spec.statement), length, list, ErrMess);
}

int RunDatedListLookup(const ListLookupSpec& spec, std::vector<KeyBind> keys, DateBounds bounds,
                       int* length, char* list, char* ErrMess) {
  if (AnswerMissingKey(spec.appliName, keys, ErrMess)) return -1;
  if (!bounds.min_date || !bounds.max_date) {
    ReportFailure(spec.appliName, kBoundsMissing, ErrMess);
    return -1;
  }
  const bool lower = !open_bound(bounds.min_date);
  const bool upper = !open_bound(bounds.max_date);
  std::string condition;
  if (lower || upper) condition = " and " + ExpandTemplate(spec.dated_text);
  if (lower && upper)
    condition += " between :mindate and :maxdate";
  else if (lower)
    condition += ">=:mindate";
  else if (upper)
    condition += "<=:maxdate";
  if (lower) keys.push_back(KeyBind::Text(":mindate", bounds.min_date, nullptr));
  if (upper) keys.push_back(KeyBind::Text(":maxdate", bounds.max_date, nullptr));
  return run_list(spec, keys, ExpandTemplate(spec.statement, {{"date_bounds", condition}}),
                  length, list, ErrMess);
}

int RunIdListLookup(const IdListSpec& spec, const std::vector<KeyBind>& keys, int* count,
                    int* ids, char* ErrMess) {
  if (AnswerMissingKey(spec.appliName, keys, ErrMess)) return -1;
  if (!count || !ids) {
    ReportFailure(spec.appliName, reason::kBufferTooSmall, ErrMess);
    return -1;
  }
  LookupQuery query(spec.appliName, ErrMess);
  if (!query.open()) return -1;
  query.run(ExpandTemplate(spec.statement), keys, spec.prefetch);
  if (!query.define({IntColumn()}, spec.prefetch)) return query.finish();

  std::vector<int> gathered;
  try {
    do {
      const unsigned rows = query.fetch_rows();
      for (unsigned row = 0; row < rows; ++row) gathered.push_back(query.number(0, row));
    } while (query.more_rows());
  } catch (const std::bad_alloc&) {
    query.answer(reason::kReallocUnsuccessful);
    return query.finish();
  }
  if (!query.ok()) return query.finish();

  if (gathered.empty()) {
    const bool written = *count >= kIdNoRowsEntries;
    if (written)
      ids[0] = ids[1] = -1;
    else
      *count = kIdNoRowsEntries;
    query.answer_no_rows(spec.no_rows, written);
    return query.finish();
  }
  const int found = static_cast<int>(gathered.size());
  if (*count < found) {
    *count = found;
    query.answer(reason::kBufferTooSmall);
    return query.finish();
  }
  std::memcpy(ids, gathered.data(), gathered.size() * sizeof(int));
  *count = found;
  return query.finish();
}

}  // namespace ferrule
