#include "row_lookup.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "report.h"
#include "session.h"
#include "statement_text.h"
#include "step_chain.h"
#include "subsystems.h"

namespace ferrule {

namespace {

constexpr const char* kNoRows = "NO_ROWS_SELECTED";
// A define buffer always holds the replacement words of a NULL or cut value.
constexpr int kMinDefineSize = 32;

struct FetchedColumn {
  std::unique_ptr<char[]> text;
  int size = 0;
  sb2 indicator = 0;
  int number = 0;
  OCIDefine* define = nullptr;
};

// Renders the format with one value per conversion, in column order.
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

// Writes the no-rows word under the length protocol.
int answer_no_rows(int* length, char* row, const char* appliName, char* ErrMess) {
  const int needed = static_cast<int>(std::strlen(kNoRows)) + 1;
  if (*length < needed) {
    *length = needed;
    SetErrMess(appliName, "BUFFER_TOO_SMALL", ErrMess, 1);
    return -1;
  }
  std::memcpy(row, kNoRows, needed);
  return 0;
}

}  // namespace

int RunRowLookup(const RowLookupSpec& spec, const std::vector<KeyBind>& keys, int* length,
                 char* row, char* ErrMess) {
  const char* appliName = spec.appliName;
  for (const KeyBind& key : keys) {
    if (key.is_text && !key.text) {
      SetErrMess(appliName, key.missing_reason, ErrMess, 1);
      return -1;
    }
  }
  if (!length || !row) {
    SetErrMess(appliName, "BUFFER_TOO_SMALL", ErrMess, 1);
    return -1;
  }

  Session& s = session();
  StatementHandle stmt;
  if (!AllocateStatement(stmt, appliName, "OCIStmtHAndleStmt unsuccessful", ErrMess)) return -1;

  const std::string text = ExpandTemplate(spec.statement);

  StepChain chain(s.errhp);
  chain.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt.get(), s.errhp, text); });
  std::vector<int> int_keys(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const KeyBind& key = keys[i];
    OCIBind* bind = nullptr;
    chain.run("OCIBindByPos unsuccessful", [&] {
      const OraText* name = reinterpret_cast<const OraText*>(key.placeholder);
      if (key.is_text)
        return OCIBindByName(stmt.get(), &bind, s.errhp, name, -1, const_cast<char*>(key.text),
                             static_cast<sb4>(std::strlen(key.text) + 1), SQLT_STR, nullptr,
                             nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
      int_keys[i] = key.number;
      return OCIBindByName(stmt.get(), &bind, s.errhp, name, -1, &int_keys[i], sizeof(int),
                           SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
    });
  }
  chain.run("OCIStmtExecute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 0, 0, nullptr, nullptr, OCI_DEFAULT);
  });

  std::vector<FetchedColumn> columns(spec.columns.size());
  for (std::size_t i = 0; i < spec.columns.size(); ++i) {
    const LookupColumn& col = spec.columns[i];
    if (col.kind != ColumnKind::Text) continue;
    void* param = nullptr;
    int size = 0;
    const std::string n = std::to_string(i + 1);
    chain.run(("OCIParamGet" + n + " unsuccessful").c_str(), [&] {
      return OCIParamGet(stmt.get(), OCI_HTYPE_STMT, s.errhp, &param, static_cast<ub4>(i + 1));
    });
    chain.run(("OCIAttrGet" + n + " unsuccessful").c_str(), [&] {
      return OCIAttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, s.errhp);
    });
    if (col.size_trace) std::printf("%s%d\n", col.size_trace, size);
    columns[i].size = size;
  }
  if (chain.ok()) {
    for (std::size_t i = 0; i < spec.columns.size(); ++i) {
      if (spec.columns[i].kind != ColumnKind::Text) continue;
      FetchedColumn& c = columns[i];
      if (spec.columns[i].floor50) EnsureMinColumnLength(&c.size);
      c.size = std::max(c.size + 1, kMinDefineSize);
      c.text.reset(new (std::nothrow) char[c.size]);
      if (!c.text) {
        chain.allocation_failed("  pointer allocation unsuccessful");
        SetErrMess(appliName, "REALLOC UNSUCCESSFUL", ErrMess, 1);
        return -1;
      }
      c.text[0] = '\0';
    }
  }
  for (std::size_t i = 0; i < spec.columns.size(); ++i) {
    FetchedColumn& c = columns[i];
    const std::string label = "OCIDefineByPos" + std::to_string(i) + " unsuccessful";
    chain.run(label.c_str(), [&] {
      const ub4 pos = static_cast<ub4>(i + 1);
      if (spec.columns[i].kind == ColumnKind::Text)
        return OCIDefineByPos(stmt.get(), &c.define, s.errhp, pos, c.text.get(), c.size, SQLT_STR,
                              &c.indicator, nullptr, nullptr, OCI_DEFAULT);
      return OCIDefineByPos(stmt.get(), &c.define, s.errhp, pos, &c.number, sizeof(int), SQLT_INT,
                            nullptr, nullptr, nullptr, OCI_DEFAULT);
    });
  }

  bool fetched = false;
  int fetch_status = OCI_SUCCESS;
  if (chain.ok()) {
    fetch_status = OCIStmtFetch2(stmt.get(), s.errhp, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
    fetched = fetch_status == OCI_SUCCESS || fetch_status == OCI_SUCCESS_WITH_INFO;
  }

  bool fixed_reason = false;
  int result = chain.result();
  if (fetched) {
    std::vector<std::string> values;
    char logmessage[100];
    for (std::size_t i = 0; i < spec.columns.size(); ++i) {
      FetchedColumn& c = columns[i];
      switch (spec.columns[i].kind) {
        case ColumnKind::Text: {
          CheckFetchIndicator(c.indicator, c.text.get(), c.size, logmessage, spec.separator);
          std::string value = c.text.get();
          std::size_t cut = value.find(spec.separator);
          if (cut != std::string::npos) value.resize(cut);
          values.push_back(value);
          break;
        }
        case ColumnKind::Int:
          values.push_back(std::to_string(c.number));
          break;
        case ColumnKind::SubsystemSet: {
          char names[kSystemNamesTextSize];
          SysIDToSystemNames(c.number, names, sizeof names);
          values.push_back(names);
          break;
        }
      }
    }
    // The needed length is measured on the row itself, so that no value can
    // make the printed row longer than the capacity that was tested.
    const std::string text_row = render(spec.format, values);
    // Compared as a signed int: a capacity below 1 is too small, never a
    // huge unsigned one.
    const int needed = static_cast<int>(text_row.size() + 1);
    if (*length < needed) {
      *length = needed;
      SetErrMess(appliName, "BUFFER_TOO_SMALL", ErrMess, 1);
      return -1;
    }
    std::memcpy(row, text_row.c_str(), text_row.size() + 1);
  } else if (chain.ok()) {
    if (spec.no_rows == NoRowsForm::Common) {
      if (answer_no_rows(length, row, appliName, ErrMess) != 0) return -1;
      SetErrMess(appliName, kNoRows, ErrMess, 1);
      fixed_reason = true;
    } else {
      result = ReportOCIStatus(fetch_status, s.errhp, "OCIFETCH unsuccessful");
      if (answer_no_rows(length, row, appliName, ErrMess) != 0) return -1;
    }
  }

  result += stmt.release();
  if (!fixed_reason) {
    const char* name = result != 0 && spec.final_appliName ? spec.final_appliName : appliName;
    SetErrMessFromOCI(s.errhp, name, ErrMess, result != 0);
  }
  return result;
}

}  // namespace ferrule
