#include "list_lookup.h"

#include <cstring>
#include <new>
#include <string>

#include "report.h"
#include "statement_text.h"

namespace ferrule {

namespace {

constexpr const char* kTooSmall = "BUFFER_TOO_SMALL";
// Entries 0 and 1 of an integer list carry its no-rows answer.
constexpr int kIdNoRowsEntries = 2;

}  // namespace

int RunListLookup(const ListLookupSpec& spec, const std::vector<KeyBind>& keys, int* length,
                  char* list, char* ErrMess) {
  if (AnswerMissingKey(spec.appliName, keys, ErrMess)) return -1;
  if (!length || !list) {
    SetErrMess(spec.appliName, kTooSmall, ErrMess, 1);
    return -1;
  }
  LookupQuery query(spec.appliName, ErrMess);
  if (!query.open()) return -1;
  query.run(ExpandTemplate(spec.statement), keys, spec.prefetch);
  if (!query.define({TextColumn()})) return query.finish();

  std::string gathered;
  int items = 0;
  try {
    while (query.fetch()) {
      if (spec.rows == RowsTaken::CompleteOnly && query.fetch_status() != OCI_SUCCESS) continue;
      gathered += query.cut_text(0, spec.separator);
      gathered += '\0';
      ++items;
    }
  } catch (const std::bad_alloc&) {
    query.answer("REALLOC UNSUCCESSFUL");
    return query.finish();
  }
  if (!query.ok()) return query.finish();

  if (items == 0) {
    if (WriteNoRowsText(list, *length)) {
      query.answer_no_rows(spec.no_rows);
    } else {
      *length = kNoRowsSelectedSize;
      query.answer(kTooSmall);
    }
    return query.finish();
  }
  // Compared as a signed int: a capacity below 1 is too small.
  const int size = static_cast<int>(gathered.size());
  if (*length < size) {
    *length = size;
    query.answer(kTooSmall);
    return query.finish();
  }
  std::memcpy(list, gathered.data(), gathered.size());
  *length = size;
  return query.finish();
}

int RunIdListLookup(const IdListSpec& spec, const std::vector<KeyBind>& keys, int* count,
                    int* ids, char* ErrMess) {
  if (AnswerMissingKey(spec.appliName, keys, ErrMess)) return -1;
  if (!count || !ids) {
    SetErrMess(spec.appliName, kTooSmall, ErrMess, 1);
    return -1;
  }
  LookupQuery query(spec.appliName, ErrMess);
  if (!query.open()) return -1;
  query.run(ExpandTemplate(spec.statement), keys, spec.prefetch);
  if (!query.define({IntColumn()})) return query.finish();

  std::vector<int> gathered;
  try {
    while (query.fetch()) gathered.push_back(query.number(0));
  } catch (const std::bad_alloc&) {
    query.answer("REALLOC UNSUCCESSFUL");
    return query.finish();
  }
  if (!query.ok()) return query.finish();

  if (gathered.empty()) {
    if (*count >= kIdNoRowsEntries) {
      ids[0] = ids[1] = -1;
      query.answer_no_rows(spec.no_rows);
    } else {
      *count = kIdNoRowsEntries;
      query.answer(kTooSmall);
    }
    return query.finish();
  }
  const int found = static_cast<int>(gathered.size());
  if (*count < found) {
    *count = found;
    query.answer(kTooSmall);
    return query.finish();
  }
  std::memcpy(ids, gathered.data(), gathered.size() * sizeof(int));
  *count = found;
  return query.finish();
}

}  // namespace ferrule
