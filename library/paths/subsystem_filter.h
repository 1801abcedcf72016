// How a caller's subsystem list selects rows by their subsystem set, and the
// SQL test that says whether one subsystem-set value is selected.
//
// A list that begins with "ALL" (its first three characters) selects every
// row. A list with a comma selects by the ids of its names (names the
// subsystem table lacks are skipped); one with an empty name (a leading or
// trailing comma, two in a row) is refused as a null list is. Anything
// else is one name, which selects by its subsystem set; an unknown name
// gives -1, and since every value is a multiple of -1, it selects every row.
//
// The statements test the distinct subsystem-set values of a table rather
// than every row: the test then runs on a handful of values, and the
// planner sees a plain "system_name in (...)" whose size it can estimate,
// so it joins the rows with hashes instead of one index probe per row.
#pragma once

#include <string>

namespace ferrule {

enum class FilterForm {
  All,      // no filter
  One,      // one name: its subsystem set
  List,     // names with commas: their ids
  Missing,  // a null list, or one with an empty name: refused
  Empty,    // a list none of whose names is known: selects nothing
};

struct SubsystemFilter {
  FilterForm form = FilterForm::All;
  int set = 0;      // One: the subsystem set of the name
  std::string ids;  // List: the ids joined by ","
};

SubsystemFilter ResolveSubsystemFilter(const char* systemnameList);

// How a row's subsystem set must relate to the filter.
enum class SetRelation {
  Belongs,  // divisible by the set or by one of the listed ids
  Related,  // divisible by it, or dividing it
};

// "t.system_name in (select ...)": a condition on column (such as
// "t.system_name") of table (a template field, such as "%(devices)") that
// selects the rows of the filter. Empty for All. Only for All, One and List.
std::string SubsystemCondition(const SubsystemFilter& filter, SetRelation relation,
                               const char* column, const char* table);

// SetRelation::Related between two subsystem sets, as the statements test
// it with vexa_mod: one is a multiple of the other, where a multiple of 0
// is 0 alone and every set is a multiple of -1.
bool SetsRelated(int a, int b);

}  // namespace ferrule
