#include "lookup_query.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "diagnostics.h"
#include "reasons.h"
#include "report.h"
#include "session.h"
#include "subsystems.h"

namespace ferrule {

namespace {

// A define buffer always holds the replacement words of a NULL or cut value.
constexpr int kMinDefineSize = 32;
// The most a fetch of many rows brings into the column buffers at once.
constexpr std::size_t kFetchBytes = 256 * 1024;
// Room for the longest hardware status word.
constexpr std::size_t kStatusWordSize = 20;

// A fixed label, or "<step><position> unsuccessful".
std::string label(const char* fixed, const char* step, std::size_t position) {
  return fixed ? fixed : step + std::to_string(position) + " unsuccessful";
}

}  // namespace

LookupQuery::LookupQuery(const char* appliName, char* ErrMess, const StepLabels* steps)
    : appliName_(appliName),
      ErrMess_(ErrMess),
      steps_(steps ? *steps : kLookupSteps),
      chain_(session().errhp) {}

bool LookupQuery::open(const char* label) {
  if (AllocateStatement(stmt_, appliName_, label, ErrMess_)) return true;
  answered_ = has_result_ = true;
  result_ = -1;
  return false;
}

void LookupQuery::run(const std::string& text, const std::vector<KeyBind>& keys,
                      unsigned prefetch) {
  Session& s = session();
  columns_.clear();
  chain_.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt_.get(), s.errhp, text); });
  int_keys_.assign(keys.size(), 0);
  std::size_t last = keys.size();
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (keys[i].placeholder) last = i;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const KeyBind& key = keys[i];
    if (!key.placeholder) continue;
    OCIBind* bind = nullptr;
    const OraText* name = reinterpret_cast<const OraText*>(key.placeholder);
    chain_.run(i == last ? steps_.last_bind : steps_.bind, [&] {
      if (key.is_text) {
        // A text without a missing-key reason may be null: it binds as NULL.
        const char* value = key.text ? key.text : "";
        return OCIBindByName(stmt_.get(), &bind, s.errhp, name, -1, const_cast<char*>(value),
                             static_cast<sb4>(std::strlen(value) + 1), SQLT_STR, nullptr,
                             nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
      }
      int_keys_[i] = key.number;
      return OCIBindByName(stmt_.get(), &bind, s.errhp, name, -1, &int_keys_[i], sizeof(int),
                           SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
    });
  }
  ub4 rows = prefetch;
  if (prefetch > 0)
    chain_.run(steps_.prefetch, [&] {
      return OCIAttrSet(stmt_.get(), OCI_HTYPE_STMT, &rows, 0, OCI_ATTR_PREFETCH_ROWS, s.errhp);
    });
  chain_.run(steps_.execute, [&] {
    return OCIStmtExecute(s.svchp, stmt_.get(), s.errhp, 0, 0, nullptr, nullptr, OCI_DEFAULT);
  });
}

bool LookupQuery::define(const std::vector<LookupColumn>& columns, unsigned rows) {
  Session& s = session();
  columns_.clear();
  columns_.resize(columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    Column& c = columns_[i];
    c.spec = columns[i];
    if (c.spec.kind != ColumnKind::Text) continue;
    void* param = nullptr;
    int size = 0;
    chain_.run(label(steps_.describe, "OCIParamGet", i + 1).c_str(), [&] {
      return OCIParamGet(stmt_.get(), OCI_HTYPE_STMT, s.errhp, &param, static_cast<ub4>(i + 1));
    });
    chain_.run(label(steps_.column_size, "OCIAttrGet", i + 1).c_str(), [&] {
      return OCIAttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, s.errhp);
    });
    if (c.spec.size_trace) PrintLine("%s%d", c.spec.size_trace, size);
    c.size = size;
  }
  rows_per_fetch_ = 1;
  if (chain_.ok()) {
    for (Column& c : columns_) {
      if (c.spec.kind != ColumnKind::Text) continue;
      if (c.spec.floor50) EnsureMinColumnLength(&c.size);
      c.size = std::max(c.size + 1, kMinDefineSize);
    }
    rows_per_fetch_ = rows_that_fit(rows);
    if (!allocate_buffers()) {
      chain_.allocation_failed("  pointer allocation unsuccessful");
      answer(steps_.no_buffer);
      return false;
    }
  }
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    Column& c = columns_[i];
    chain_.run(label(steps_.define, "OCIDefineByPos", i).c_str(), [&] {
      const ub4 pos = static_cast<ub4>(i + 1);
      if (c.spec.kind == ColumnKind::Text)
        return OCIDefineByPos(stmt_.get(), &c.define, s.errhp, pos, c.text.get(), c.size, SQLT_STR,
                              c.indicators.data(), nullptr, nullptr, OCI_DEFAULT);
      return OCIDefineByPos(stmt_.get(), &c.define, s.errhp, pos, c.numbers.data(), sizeof(int),
                            SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT);
    });
  }
  return true;
}

bool LookupQuery::allocate_buffers() {
  try {
    for (Column& c : columns_) {
      if (c.spec.kind != ColumnKind::Text) {
        c.numbers.assign(rows_per_fetch_, 0);
        continue;
      }
      c.indicators.assign(rows_per_fetch_, 0);
      c.text.reset(new char[static_cast<std::size_t>(c.size) * rows_per_fetch_]);
      c.text[0] = '\0';
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

unsigned LookupQuery::rows_that_fit(unsigned asked) const {
  std::size_t row_bytes = 0;
  for (const Column& c : columns_)
    row_bytes += c.spec.kind == ColumnKind::Text ? static_cast<std::size_t>(c.size) : sizeof(int);
  const std::size_t fit = kFetchBytes / std::max<std::size_t>(row_bytes, 1);
  return static_cast<unsigned>(std::max<std::size_t>(1, std::min<std::size_t>(asked, fit)));
}

bool LookupQuery::fetch() {
  if (!chain_.ok()) return false;
  fetch_status_ = OCIStmtFetch2(stmt_.get(), session().errhp, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
  return fetch_status_ == OCI_SUCCESS || fetch_status_ == OCI_SUCCESS_WITH_INFO;
}

unsigned LookupQuery::fetch_rows() {
  if (!chain_.ok()) return 0;
  fetch_status_ = OCIStmtFetch2(stmt_.get(), session().errhp, rows_per_fetch_, OCI_FETCH_NEXT,
                                0, OCI_DEFAULT);
  // Read without the error handle, which keeps what the fetch recorded.
  ub4 fetched = 0;
  OCIAttrGet(stmt_.get(), OCI_HTYPE_STMT, &fetched, nullptr, OCI_ATTR_ROWS_FETCHED, nullptr);
  return fetched;
}

void LookupQuery::check_end_of_rows(const NoRows& how) {
  if (how.failed_fetch == FailedFetch::Fails && fetch_status_ != OCI_NO_DATA)
    chain_.run(how.fetch_label, [&] { return fetch_status_; });
}

std::string LookupQuery::text(std::size_t column, char mark) {
  Column& c = columns_[column];
  switch (c.spec.kind) {
    case ColumnKind::Text:
      return std::string(cut_text(column, mark));
    case ColumnKind::Int:
      return std::to_string(c.numbers[0]);
    case ColumnKind::SubsystemSet: {
      char names[kSystemNamesTextSize];
      SysIDToSystemNames(c.numbers[0], names, sizeof names);
      return names;
    }
    case ColumnKind::StatusWord: {
      char word[kStatusWordSize];
      StatusCodeToName(c.numbers[0], word, sizeof word);
      return word;
    }
  }
  return {};
}

void LookupQuery::apply_indicator(Column& c, char* value, unsigned row, char mark) {
  char logmessage[100];
  CheckFetchIndicator(c.indicators[row], value, static_cast<std::size_t>(c.size), logmessage,
                      mark);
}

int LookupQuery::answer(const char* reason, int result) {
  ReportFailure(appliName_, reason, ErrMess_);
  answered_ = has_result_ = true;
  result_ = result;
  return result;
}

int LookupQuery::answer_no_rows(const NoRows& how, bool written, const char* too_small) {
  // The end of the rows is traced whether or not the output holds the answer.
  const int traced = how.form == NoRowsForm::Common
                         ? 0
                         : ReportOCIStatus(fetch_status_, session().errhp, how.fetch_label);
  if (!written) return answer(too_small);
  switch (how.form) {
    case NoRowsForm::Common:
    case NoRowsForm::Hybrid:
      return answer(reason::kNoRowsSelected, 0);
    case NoRowsForm::Reported:
      has_result_ = true;
      result_ = traced;
      return result_;
    case NoRowsForm::HybridWithStatus:
      return answer(reason::kNoRowsSelected, traced);
  }
  return result_;
}

int LookupQuery::answer_no_rows_text(const NoRows& how, char* out, int* length,
                                     const char* text, const char* too_small) {
  // Compared as a signed int: a capacity below 1 is too small.
  const int size = static_cast<int>(std::strlen(text)) + 1;
  const bool written = *length >= size;
  if (written)
    std::memcpy(out, text, static_cast<std::size_t>(size));
  else
    *length = size;
  return answer_no_rows(how, written, too_small);
}

int LookupQuery::finish(const char* success_name, const char* failure_name) {
  const int release = stmt_.release();
  if (answered_) return result_;
  const int result = (has_result_ ? result_ : chain_.result()) + release;
  const char* name = result != 0 ? failure_name : success_name;
  ReportOCIOutcome(result == 0, session().errhp, name ? name : appliName_, ErrMess_);
  return result;
}

}  // namespace ferrule
