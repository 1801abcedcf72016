#include "paths/table_load.h"

#include <climits>
#include <new>

#include "closing_mark.h"
#include "diagnostics.h"
#include "paths/subsystem_filter.h"
#include "reasons.h"
#include "report.h"
#include "statement_text.h"

namespace ferrule {

namespace {

// The statement for the caller's filter; false for a null list.
bool StatementFor(const TableLoad& load, const char* systemnameList, std::string& sql) {
  std::vector<std::string> conditions;
  if (load.where) conditions.emplace_back(load.where);
  if (load.filtered_table) {
    const SubsystemFilter filter = ResolveSubsystemFilter(systemnameList);
    switch (filter.form) {
      case FilterForm::Missing:
        return false;
      case FilterForm::All:
        break;
      case FilterForm::Empty:
        conditions.emplace_back("false");
        break;
      default:
        conditions.push_back(SubsystemCondition(filter, SetRelation::Belongs, "t.system_name",
                                                load.filtered_table));
    }
  }
  std::string tmpl = load.select;
  for (std::size_t i = 0; i < conditions.size(); ++i)
    tmpl += (i == 0 ? " where " : " and ") + conditions[i];
  sql = ExpandTemplate(tmpl.c_str());
  return true;
}

}  // namespace

int NeedAsInt(std::size_t need) {
  return need > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(need);
}

int RunTableLoad(const TableLoad& load, const char* systemnameList, LoadedTable& out,
                 char* ErrMess) {
  out = LoadedTable{};
  std::string sql;
  if (!StatementFor(load, systemnameList, sql)) {
    ReportFailure(load.appliName, reason::kSystemListNull, ErrMess);
    return -1;
  }
  for (const QueryColumn kind : load.columns) {
    if (kind == QueryColumn::Int)
      out.numbers.emplace_back();
    else
      out.texts.emplace_back();
  }
  int result = 0;
  try {
    result = RunQuery(
        load.appliName, sql, {}, load.columns,
        [&](const QueryRow& row) {
          std::size_t number = 0, text = 0;
          for (std::size_t i = 0; i < load.columns.size(); ++i) {
            if (load.columns[i] == QueryColumn::Int) {
              out.numbers[number++].push_back(row.number(i));
              continue;
            }
            std::string_view value = row.text(i);
            char replaced[32] = "";
            if (load.check_indicators && row.indicator(i) != 0) {
              CheckFetchIndicator(row.indicator(i), replaced, sizeof replaced, nullptr,
                                  load.marker);
              value = replaced;
            }
            std::string& packed = out.texts[text++];
            packed += ValueBeforeMark(value, load.marker);
            packed.push_back('\0');
          }
          ++out.rows;
        },
        ErrMess);
  } catch (const std::bad_alloc&) {
    out = LoadedTable{};
    ReportFailure(load.appliName, reason::kMallocUnsuccessful, ErrMess);
    return -1;
  }
  if (load.trace_counts) {
    PrintLine("after defining");
    PrintLine("value of i=%d and value of rescode%d", out.rows, result);
  }
  if (result == 0 && out.rows == 0) PrintLine("%s", load.no_rows_trace);
  return result;
}

}  // namespace ferrule
