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

std::string DeviceSetCondition(const char* column, const char* table) {
  return DistinctSetsWhere(
      column, table,
      "exists (select 1 from %(devices) l where l.devicename in (:dfrom,:dto) and "
      "(vexa_mod(l.system_name,d.s)=0 or vexa_mod(d.s,l.system_name)=0))");
}

}  // namespace ferrule
