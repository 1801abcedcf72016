#include "paths/subsystem_filter.h"

#include <cstring>

#include "subsystems.h"

namespace ferrule {

namespace {

// "select d.s from (select distinct system_name s from <table>) d where <test>",
// the test written on d.s.
std::string DistinctSetsWhere(const char* column, const char* table, const std::string& test) {
  return std::string(column) + " in (select d.s from (select distinct system_name s from " +
         table + ") d where " + test + ")";
}

// vexa_mod(a, b): a for b 0, else the remainder with the sign of a; -1
// divides every int (INT_MIN % -1 would overflow).
int SetMod(int a, int b) {
  if (b == 0) return a;
  if (b == -1) return 0;
  return a % b;
}

}  // namespace

SubsystemFilter ResolveSubsystemFilter(const char* systemnameList) {
  SubsystemFilter filter;
  if (!systemnameList) {
    filter.form = FilterForm::Missing;
  } else if (std::strncmp(systemnameList, "ALL", 3) == 0) {
    filter.form = FilterForm::All;
  } else if (std::strchr(systemnameList, ',')) {
    char ids[kSystemNamesTextSize] = "";
    if (SystemNamesToSysIDList(systemnameList, ids, sizeof ids) != 0) {
      filter.form = FilterForm::Missing;
    } else {
      filter.ids = ids;
      filter.form = filter.ids.empty() ? FilterForm::Empty : FilterForm::List;
    }
  } else {
    filter.form = FilterForm::One;
    filter.set = SystemNamesToSysID(systemnameList);
  }
  return filter;
}

// vexa_mod and not mod: a set of 0 would make mod divide by zero.
std::string SubsystemCondition(const SubsystemFilter& filter, SetRelation relation,
                               const char* column, const char* table) {
  const bool related = relation == SetRelation::Related;
  switch (filter.form) {
    case FilterForm::One: {
      const std::string p = std::to_string(filter.set);
      std::string test = "vexa_mod(d.s," + p + ")=0";
      if (related) test = "(" + test + " or vexa_mod(" + p + ",d.s)=0)";
      return DistinctSetsWhere(column, table, test);
    }
    case FilterForm::List: {
      std::string test = "vexa_mod(d.s,l.systemID)=0";
      if (related) test = "(" + test + " or vexa_mod(l.systemID,d.s)=0)";
      return DistinctSetsWhere(column, table,
                               "exists (select 1 from %(subsystem_list) l where l.systemID in (" +
                                   filter.ids + ") and " + test + ")");
    }
    default:
      return "";
  }
}

bool SetsRelated(int a, int b) { return SetMod(a, b) == 0 || SetMod(b, a) == 0; }

}  // namespace ferrule
