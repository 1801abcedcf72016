// Conversions between subsystem names and subsystem sets (products of the
// subsystems' prime ids), against the table loaded at connection, and the
// words of hardware status codes.
#pragma once

#include <climits>
#include <cstddef>

#include "session.h"

namespace ferrule {

// A comma-separated list of subsystem names is read two ways. A write
// stores the set its list names, so each name must be in the table and
// the set must fit the stored column. A lookup or selection reads it as it
// always has: the first name must be known, later unknown names are
// skipped. Both count a subsystem named twice once, and both refuse a list
// with an empty name: a leading or trailing comma, or two in a row.

// The largest set a row can store (2147483647): the subsystem sets are
// integer columns, bound from ints.
constexpr int kLargestStoredSet = INT_MAX;

// What a write makes of a list: the set to store, or why there is none.
enum class StoredSetFault {
  None,
  NoSet,     // a null or empty list, an empty name, or a name not in the table
  TooLarge,  // the product of the primes is above kLargestStoredSet
};
struct StoredSet {
  int value = -1;  // the set when fault is None, else -1
  StoredSetFault fault = StoredSetFault::NoSet;
  bool refused() const { return fault != StoredSetFault::None; }
};

// The set a write stores: the product of the ids of the subsystems the list
// names, each subsystem once however often it is named. Every name must be
// in the table and none empty. A list with a name not in the table, or an
// empty one, is NoSet wherever its names stand, before the size of the
// product is looked at.
StoredSet SystemNamesToStoredSet(const char* names);
// Its value alone: -1 when the list gives no set to store.
int SystemNamesToStoredSysID(const char* names);
// The reason of a write refused for its set: no_set for NoSet, the reason
// that says the set is too large for TooLarge, null when nothing is wrong.
const char* StoredSetRefusal(const StoredSet& set, const char* no_set);

// The set a list selects: the product of the ids of its names, each
// subsystem once. An unknown name after a known one is skipped; an unknown
// first name and a null list give -1, which divides every set. An empty
// text gives 1. A product beyond an int is too_large (value -1): no stored
// set belongs to every one of those subsystems. A list with an empty name
// is empty_name (value -1): the caller refuses it.
struct SelectedSet {
  int value = -1;
  bool too_large = false;
  bool empty_name = false;
};
SelectedSet SystemNamesToSelectedSet(const char* names);
// Its value alone (-1 when too large or with an empty name).
int SystemNamesToSysID(const char* names);

// The ids of the names as "id,id,...": unknown names are skipped. -1 for a
// null list, a list with an empty name, or when the text would not fit in
// size bytes (nothing written).
int SystemNamesToSysIDList(const char* names, char* out, std::size_t size);

// Names of the subsystems whose id divides the value, comma separated, in
// table order; "none" for -1; "ERROR_INVALID_SYSID" (and -1) when none
// divides it or the text would not fit in size bytes.
int SysIDToSystemNames(int value, char* out, std::size_t size);

// Status word of a hardware status code; "INVALID" (and -1) outside 1..7.
int StatusCodeToName(int code, char* out, std::size_t size);

// Room for every subsystem name of a full table, commas included.
constexpr std::size_t kSystemNamesTextSize = kSubsystemSlots * (kSubsystemNameBytes + 1);

}  // namespace ferrule
